// The hack's music: one MP3 or WAV file played over and over by GStreamer's playbin. There is no
// audio CD here. A file that is missing, is not audio or holds no sound is tried once: one line on
// standard error says why, and the hack goes on silent.
#pragma once

#include <string>

#include "music/saver_music.h"

typedef struct _GstElement GstElement;

namespace lw::music {

class GStreamerMusic final : public SaverMusic {
 public:
  explicit GStreamerMusic(std::string path) : path_(std::move(path)) {}
  ~GStreamerMusic() override { Stop(); }
  GStreamerMusic(const GStreamerMusic&) = delete;
  GStreamerMusic& operator=(const GStreamerMusic&) = delete;

  void CD_Open() override {}
  void CD_Check() override {}
  bool CD_Active() const override { return false; }
  void CD_PrevTrack() override {}
  void CD_NextTrack() override {}
  void CD_Stop() override {}
  void WAV_Play() override { Play(); }
  void WAV_Stop() override { Stop(); }
  void MP3_Play() override { Play(); }
  void MP3_Replay() override {}  // the bus handler starts the file again at each end of stream
  void MP3_Stop() override { Stop(); }

 private:
  void Play();
  void Stop();

  std::string path_;
  GstElement* playbin_ = nullptr;
};

}  // namespace lw::music
