#pragma once
#include <string_view>

#include "settings/settings.h"

namespace lw::display {
// Runs the full-screen saver; ends the process when the user ends it.
void RunSaver(settings::Settings& settings, std::wstring_view args);
}  // namespace lw::display
