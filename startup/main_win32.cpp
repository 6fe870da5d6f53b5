// Entry point of Lumenweave.scr: wires the start procedure to Windows and to each mode's window.
#include <windows.h>

#include <string>

#include "dialog/dialog_entry_win32.h"
#include "display/saver_entry_win32.h"
#include "platform/file_store.h"
#include "platform/text_codec.h"
#include "startup/command_line.h"
#include "startup/preview_win32.h"
#include "startup/startup.h"

namespace {

// The folder of the running executable, without a trailing separator except at a drive root.
std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return L".";
  path.resize(slash);
  if (path.size() == 2 && path[1] == L':') path += L'\\';
  return path;
}

class Win32StartupHost final : public lw::startup::StartupHost {
 public:
  bool TopLevelWindowExists(std::wstring_view title) override {
    const std::wstring text(title);
    return FindWindowW(nullptr, text.c_str()) != nullptr;
  }
  void HidePointer() override { ShowCursor(FALSE); }
  lw::settings::Settings LoadSettings() override {
    return lw::settings::LoadSettings(ProgramFolder(), lw::SystemFileStore(), lw::SystemCp932());
  }
  void RunPreview(std::int32_t parentWnd) override { lw::startup::RunPreview(parentWnd); }
  void RunSettingsDialog(lw::settings::Settings& settings, std::int32_t ownerWnd) override {
    lw::dialog::RunSettingsDialog(settings, static_cast<HWND>(LongToHandle(ownerWnd)));
  }
  void RunSaver(lw::settings::Settings& settings, std::wstring_view args) override {
    lw::display::RunSaver(settings, args);
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Win32StartupHost host;
  const std::wstring args = lw::startup::ArgumentText(GetCommandLineW());
  lw::startup::Main(args, host);
  return 0;
}
