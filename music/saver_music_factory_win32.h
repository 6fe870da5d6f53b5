#pragma once
#include <memory>

#include "music/saver_music.h"
#include "settings/settings.h"

namespace lw::music {
// The saver's music over Windows' MCI and sound player, reading the music settings.
std::unique_ptr<SaverMusic> CreateSaverMusic(const settings::Settings& settings);
}  // namespace lw::music
