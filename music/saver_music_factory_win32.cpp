#include "music/saver_music_factory_win32.h"

#include "music/background_music.h"
#include "music/music_ports_win32.h"

namespace lw::music {

std::unique_ptr<SaverMusic> CreateSaverMusic(const settings::Settings& settings) {
  return std::make_unique<BackgroundMusic>(std::make_unique<win32::WinMciPort>(),
                                           std::make_unique<win32::WinSoundPlayer>(), settings);
}

}  // namespace lw::music
