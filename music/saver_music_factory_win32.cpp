// Until the MCI-backed music exists the saver runs silent: every call does nothing.
#include "music/saver_music_factory_win32.h"

namespace lw::music {
namespace {
class SilentMusic final : public SaverMusic {
 public:
  void CD_Open() override {}
  void CD_Check() override {}
  bool CD_Active() const override { return false; }
  void CD_PrevTrack() override {}
  void CD_NextTrack() override {}
  void CD_Stop() override {}
  void WAV_Play() override {}
  void WAV_Stop() override {}
  void MP3_Play() override {}
  void MP3_Replay() override {}
  void MP3_Stop() override {}
};
}  // namespace

std::unique_ptr<SaverMusic> CreateSaverMusic(const settings::Settings&) { return std::make_unique<SilentMusic>(); }
}  // namespace lw::music
