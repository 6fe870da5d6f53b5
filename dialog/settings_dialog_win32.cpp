// Minimal configure-mode window titled "<Lumenweave>" that Escape closes.
#include <windows.h>

#include "dialog/dialog_entry_win32.h"
#include "platform/window_win32.h"

namespace lw::dialog {
namespace {

class MinimalDialog final : public win32::Window {
 public:
  bool Open() {
    return Create(L"Lumenweave.Settings", L"<Lumenweave>", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0,
                  CW_USEDEFAULT, CW_USEDEFAULT, 480, 240, nullptr, nullptr, 0,
                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
      DestroyWindow(hwnd());
      return 0;
    }
    if (msg == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
  }
};

}  // namespace

void RunSettingsDialog(settings::Settings&) {
  MinimalDialog dialog;
  if (!dialog.Open()) return;
  win32::RunMessageLoop();
}

}  // namespace lw::dialog
