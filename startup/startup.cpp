#include "startup/startup.h"

#include "startup/command_line.h"

namespace lw::startup {

void Main(std::wstring_view args, StartupHost& host) {
  // Both titles are always looked up: a saver or a settings dialog of ours stops every mode.
  const bool saverOpen = host.TopLevelWindowExists(kSaverTitle);
  const bool dialogOpen = host.TopLevelWindowExists(kDialogTitle);
  if (saverOpen || dialogOpen) return;

  const wchar_t mode = ModeLetter(args);
  if (mode == L'P') {
    host.RunPreview(ParentWindowHandle(args));
    return;
  }

  settings::Settings settings = host.LoadSettings();
  // No argument is how the desktop asks for the settings ("Configure" in Explorer's menu).
  if (mode == L'C' || args.empty()) {
    host.RunSettingsDialog(settings, ParentWindowHandle(args));
    return;
  }
  if (mode != L'S') return;
  host.HidePointer();
  host.RunSaver(settings, args);
}

}  // namespace lw::startup
