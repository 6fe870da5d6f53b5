#pragma once
#include "settings/settings.h"

namespace lw::dialog {
// Shows the settings dialog modally; returns when it has closed.
void RunSettingsDialog(settings::Settings& settings);
}  // namespace lw::dialog
