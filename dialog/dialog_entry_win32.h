#pragma once
#include <windows.h>

#include "settings/settings.h"

namespace lw::dialog {
// Shows the settings dialog modally; returns when it has closed. The dialog is owned by `owner`
// when that is a window (the display settings that opened it), else it has no owner.
void RunSettingsDialog(settings::Settings& settings, HWND owner);
}  // namespace lw::dialog
