// Entry point of Lumenweave.scr: wires the start procedure to Windows and to each mode's window.
#include <windows.h>

#include <string>
#include <vector>

#include "dialog/dialog_entry_win32.h"
#include "display/saver_entry_win32.h"
#include "platform/file_store.h"
#include "platform/text_codec.h"
#include "startup/command_line.h"
#include "startup/preview_win32.h"
#include "startup/startup.h"

namespace {

// The running executable's full path; empty when the system cannot tell.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// `path` in the form one of GetLongPathNameW / GetShortPathNameW gives; empty when it fails.
std::wstring PathForm(const std::wstring& path, DWORD(WINAPI* convert)(LPCWSTR, LPWSTR, DWORD)) {
  const DWORD size = convert(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring out(size, L'\0');
  const DWORD n = convert(path.c_str(), out.data(), size);
  if (n == 0 || n >= size) return {};
  out.resize(n);
  return out;
}

// The names the shell may have put unquoted at the start of the command line.
std::vector<std::wstring> OwnPaths() {
  const std::wstring path = ModulePath();
  if (path.empty()) return {};
  return {path, PathForm(path, GetLongPathNameW), PathForm(path, GetShortPathNameW)};
}

// The folder of the running executable, without a trailing separator except at a drive root.
std::wstring ProgramFolder() {
  std::wstring path = ModulePath();
  if (path.empty()) return L".";
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
  const std::wstring args = lw::startup::ArgumentText(GetCommandLineW(), OwnPaths());
  lw::startup::Main(args, host);
  return 0;
}
