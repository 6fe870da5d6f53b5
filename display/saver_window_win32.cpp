// Minimal run-mode window: a black full-screen window titled "Lumenweave_Main" that a key ends.
#include <windows.h>

#include "display/saver_entry_win32.h"
#include "platform/window_win32.h"
#include "startup/command_line.h"

namespace lw::display {
namespace {

class MinimalSaverWindow final : public win32::Window {
 public:
  explicit MinimalSaverWindow(bool saverMode) : saverMode_(saverMode) {}
  bool Open() {
    return Create(L"Lumenweave.Saver", L"Lumenweave_Main", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, 0, 0,
                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, 0,
                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_KEYDOWN:
      case WM_LBUTTONUP:
        if (saverMode_) ShowCursor(TRUE);
        SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
        ExitProcess(0);
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
  }

 private:
  bool saverMode_;
};

}  // namespace

void RunSaver(settings::Settings&, std::wstring_view args) {
  MinimalSaverWindow window(startup::ModeLetter(args) == L'S');
  if (!window.Open()) return;
  win32::RunMessageLoop();
}

}  // namespace lw::display
