// The running saver: set-up, the frame loop, the input handlers, the three timers and the orderly
// ending. All of its state lives in one Saver object; the window, clock, random source, drawing
// surface and music are handed in as ports, so a test steps it frame by frame with fakes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "display/display_surface.h"
#include "display/particle_field.h"
#include "display/random_source.h"
#include "display/spring_model.h"
#include "music/saver_music.h"
#include "settings/settings.h"

namespace lw::display {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Milliseconds() const = 0;         // monotonic
  virtual double SecondsSinceMidnight() const = 0;  // local time of day
};

// What the saver asks of its window and process.
class SaverHost {
 public:
  virtual ~SaverHost() = default;
  virtual void SizeToScreen() = 0;       // the whole screen, at (0, 0)
  virtual void SetNormalState() = 0;     // neither minimised nor maximised
  virtual void Show() = 0;               // visible, modeless
  virtual void MakeTopmost() = 0;        // above all others, keeping position, size and activation
  virtual void PumpEvents() = 0;         // handles every pending event, then returns
  virtual void ShowPointer() = 0;        // undoes one hide
  virtual void SetScreenSaveActive() = 0;
  virtual void Unload() = 0;             // the window goes away
  virtual void EndProcess() = 0;         // does not return on a real system
};

// A window timer seen as a due time checked by the event pump: at most one tick per check, and
// intervals below 10 ms raised to 10 ms as the platform does.
class SaverTimer {
 public:
  explicit SaverTimer(double intervalMs) : interval_(intervalMs < 10.0 ? 10.0 : intervalMs) {}
  bool enabled() const { return enabled_; }
  double interval() const { return interval_; }
  // Switching on restarts the interval; switching on a running timer changes nothing.
  void SetEnabled(bool on, double nowMs);
  // True (and the next tick scheduled an interval after now) when the timer is due.
  bool Due(double nowMs);

 private:
  double interval_;
  bool enabled_ = false;
  double due_ = 0;
};

struct SaverPorts {
  DisplaySurface& surface;
  Clock& clock;
  RandomSource& random;
  music::SaverMusic& music;
  SaverHost& host;
};

class Saver {
 public:
  static constexpr std::int16_t kKeyLeft = 37;
  static constexpr std::int16_t kKeyRight = 39;

  // Timer3 runs from here on, as from the moment the form is loaded.
  Saver(const settings::Settings& settings, std::wstring_view args, SaverPorts ports);

  // Set-up up to the display loop: size, centre, spring start state, music, show topmost, seed,
  // particle arrays, flags.
  void Form_Load();
  // The drawing area changed size (a resized window): the centre follows it.
  void Resize();
  // Frames until EndFlag is found set at the end of one.
  void RunDisplayLoop();
  // One frame: pump events (input, then due timers), pass at emitter 0, pass at emitter 1, Refresh.
  void Frame();

  void Form_KeyDown(std::int16_t keyCode);
  void Form_Click();
  void Form_MouseMove();
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void ShutDown();

  const SpringModel& spring() const { return spring_; }
  const EmitterState& emitters() const { return emitters_; }
  const ParticleField& particles() const { return particles_; }
  ParticleField& particles() { return particles_; }
  std::int32_t centerX() const { return centerX_; }
  std::int32_t centerY() const { return centerY_; }
  std::int16_t moveCount() const { return moveCount_; }
  bool endFlag() const { return endFlag_; }
  const SaverTimer& timer1() const { return timer1_; }
  const SaverTimer& timer2() const { return timer2_; }
  const SaverTimer& timer3() const { return timer3_; }

 private:
  void RunDueTimers();
  bool FileEndsWith(std::wstring_view upperEnding) const;

  const settings::Settings& settings_;
  std::wstring args_;
  SaverPorts ports_;
  SpringModel spring_;
  EmitterState emitters_;
  ParticleField particles_;
  SaverTimer timer1_{1000};
  SaverTimer timer2_{200};
  SaverTimer timer3_{1};
  bool emittersMoved_ = false;
  std::int32_t centerX_ = 0;
  std::int32_t centerY_ = 0;
  std::int16_t moveCount_ = 0;
  bool endFlag_ = false;
  bool shutDown_ = false;  // ShutDown ran; only a surviving test process can see this
};

}  // namespace lw::display
