// The running saver: set-up, the frame loop, the input handlers, the three timers and the orderly
// ending. All of its state lives in one Saver object; the window, clock, random source, drawing
// surface and music are handed in as ports, so a test steps it frame by frame with fakes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "display/clock.h"
#include "display/display_surface.h"
#include "display/monitor_animation.h"
#include "display/random_source.h"
#include "display/saver_timer.h"
#include "music/saver_music.h"
#include "settings/settings.h"

namespace lw::display {

class FramePacer;

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

// What the saver keeps for its whole life; each must live as long as the Saver.
struct SaverPorts {
  Clock& clock;
  music::SaverMusic& music;
  SaverHost& host;
};

// One monitor's surface and random source, owned by the platform. The primary's random source
// lives as long as the Saver and its surface until the next SetMonitors; another monitor's both
// live until the next SetMonitors or the end.
struct MonitorPorts {
  DisplaySurface& surface;
  RandomSource& random;
};

class Saver {
 public:
  static constexpr std::int16_t kKeyLeft = 37;
  static constexpr std::int16_t kKeyRight = 39;

  // The primary's emitter timer runs from here on, as from the moment the form is loaded.
  Saver(const settings::Settings& settings, std::wstring_view args, SaverPorts ports, MonitorPorts primary);

  // Set-up up to the display loop: size, centre, spring start state, music, show topmost, seed,
  // particle arrays, flags.
  void Form_Load();
  // The drawing area changed size (a resized window): the centre follows it.
  void Resize();
  // Frames at the pacer's slots until EndFlag is found set at the end of one. A wait the pacer
  // ends early (input) is followed by an event pump alone: input is handled at once, and the
  // animation still steps and presents only at its slots.
  void RunDisplayLoop(FramePacer& pacer);
  // One frame: pump events (input, then due timers), then on every monitor a pass at emitter 0
  // and one at emitter 1, then Refresh on every monitor, the primary's last.
  void Frame();
  // The monitors beside the primary, after a start or a display change; `primary` is the
  // primary's surface (another object when its size changed). A monitor whose surface is still
  // listed keeps its animation; a new one starts its own. Called between frames or from the pump.
  void SetMonitors(DisplaySurface& primary, const std::vector<MonitorPorts>& others);

  void Form_KeyDown(std::int16_t keyCode);
  void Form_Click();
  void Form_MouseMove();
  void Timer1_Timer();
  void Timer2_Timer();
  void ShutDown();

  // The primary's animation, then one per other monitor.
  const std::vector<MonitorAnimation>& monitors() const { return monitors_; }
  const SpringModel& spring() const { return monitors_[0].spring(); }
  const EmitterState& emitters() const { return monitors_[0].emitters(); }
  const ParticleField& particles() const { return monitors_[0].particles(); }
  ParticleField& particles() { return monitors_[0].particles(); }
  std::int32_t centerX() const { return monitors_[0].centerX(); }
  std::int32_t centerY() const { return monitors_[0].centerY(); }
  std::int16_t moveCount() const { return moveCount_; }
  bool endFlag() const { return endFlag_; }
  const SaverTimer& timer1() const { return timer1_; }
  const SaverTimer& timer2() const { return timer2_; }

 private:
  void RunDueTimers();
  bool FileEndsWith(std::wstring_view upperEnding) const;
  void StartMonitor(MonitorAnimation& monitor);

  const settings::Settings& settings_;
  std::wstring args_;
  SaverPorts ports_;
  std::vector<MonitorAnimation> monitors_;
  SaverTimer timer1_{1000};
  SaverTimer timer2_{200};
  bool loaded_ = false;      // Form_Load ran: monitors added later start at once
  double seedOffset_ = 0;    // each monitor's sequence seeded apart from the others
  std::int16_t moveCount_ = 0;  // one count for every window: crossing monitors is just moves
  bool endFlag_ = false;
  bool shutDown_ = false;  // ShutDown ran; only a surviving test process can see this
};

}  // namespace lw::display
