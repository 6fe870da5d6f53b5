// What the saver asks of the background music. The saver calls these at load, on its timers, on
// the arrow keys and at shutdown; none of them reports anything back except CD_Active.
#pragma once

namespace lw::music {

class SaverMusic {
 public:
  virtual ~SaverMusic() = default;
  virtual void CD_Open() = 0;
  virtual void CD_Check() = 0;      // one supervision step; afterwards CD_Active() tells the outcome
  virtual bool CD_Active() const = 0;
  virtual void CD_PrevTrack() = 0;
  virtual void CD_NextTrack() = 0;
  virtual void CD_Stop() = 0;
  virtual void WAV_Play() = 0;
  virtual void WAV_Stop() = 0;
  virtual void MP3_Play() = 0;
  virtual void MP3_Replay() = 0;
  virtual void MP3_Stop() = 0;
};

}  // namespace lw::music
