// The start procedure: single-instance guard, mode table and hand-over to the mode's window.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/settings.h"

namespace lw::startup {

inline constexpr std::wstring_view kSaverTitle = L"Lumenweave_Main";
inline constexpr std::wstring_view kDialogTitle = L"<Lumenweave>";
inline constexpr std::wstring_view kPreviewTitle = L"Preview Window";

// What the start procedure needs from the system and from the windows of each mode.
class StartupHost {
 public:
  virtual ~StartupHost() = default;
  virtual bool TopLevelWindowExists(std::wstring_view title) = 0;
  virtual void HidePointer() = 0;
  virtual settings::Settings LoadSettings() = 0;
  // Each runs its mode until the program is to end.
  virtual void RunPreview(std::int32_t parentWnd) = 0;
  // `ownerWnd` is the window that asked for the dialog ("/c:HWND"), 0 when none was given.
  virtual void RunSettingsDialog(settings::Settings& settings, std::int32_t ownerWnd) = 0;
  virtual void RunSaver(settings::Settings& settings, std::wstring_view args) = 0;
};

// Runs the program for the argument text `args`; returning ends the program.
void Main(std::wstring_view args, StartupHost& host);

}  // namespace lw::startup
