#include "display/saver.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "display/frame_pacer.h"
#include "platform/conversions.h"
#include "startup/command_line.h"

namespace lw::display {

Saver::Saver(const settings::Settings& settings, std::wstring_view args, SaverPorts ports, MonitorPorts primary)
    : settings_(settings), args_(args), ports_(ports) {
  monitors_.emplace_back(primary.surface, primary.random, ports_.clock.Milliseconds());
}

bool Saver::FileEndsWith(std::wstring_view upperEnding) const {
  const std::wstring& file = settings_.bgmFile;
  if (file.size() < upperEnding.size()) return false;
  for (std::size_t i = 0; i < upperEnding.size(); ++i) {
    const auto c = static_cast<wchar_t>(std::towupper(file[file.size() - upperEnding.size() + i]));
    if (c != upperEnding[i]) return false;
  }
  return true;
}

void Saver::Form_Load() {
  ports_.host.SizeToScreen();
  // The timers count from after the music call, so a slow open still gets its full interval.
  if (settings_.bgmSource == settings::kSourceCd) {
    ports_.music.CD_Open();
    timer2_.SetEnabled(true, ports_.clock.Milliseconds());
  } else if (settings_.bgmSource == settings::kSourceFile) {
    if (FileEndsWith(L"WAV")) ports_.music.WAV_Play();
    if (FileEndsWith(L"MP3")) {
      ports_.music.MP3_Play();
      timer1_.SetEnabled(true, ports_.clock.Milliseconds());
    }
  }
  moveCount_ = 0;
  ports_.host.SetNormalState();
  ports_.host.Show();
  ports_.host.MakeTopmost();
  // Centre, start state, seed and particles per monitor; the primary's seed is the time of day.
  loaded_ = true;
  for (MonitorAnimation& monitor : monitors_) StartMonitor(monitor);
  endFlag_ = false;
}

void Saver::StartMonitor(MonitorAnimation& monitor) {
  monitor.Start(settings_.particleCount, ports_.clock.SecondsSinceMidnight() + seedOffset_);
  seedOffset_ += 1.0;
}

void Saver::SetMonitors(DisplaySurface& primary, const std::vector<MonitorPorts>& others) {
  if (&primary != &monitors_[0].surface()) monitors_[0].Rebind(primary);
  std::vector<MonitorAnimation> next;
  next.push_back(std::move(monitors_[0]));
  for (const MonitorPorts& p : others) {
    auto kept = std::find_if(monitors_.begin() + 1, monitors_.end(),
                             [&](const MonitorAnimation& m) { return &m.surface() == &p.surface; });
    if (kept != monitors_.end()) {
      next.push_back(std::move(*kept));
      continue;
    }
    next.emplace_back(p.surface, p.random, ports_.clock.Milliseconds());
    if (loaded_) StartMonitor(next.back());
  }
  monitors_ = std::move(next);
}


void Saver::Resize() { monitors_[0].Rebind(monitors_[0].surface()); }

void Saver::RunDisplayLoop(FramePacer& pacer) {
  do {
    if (pacer.WaitForFrame()) {
      Frame();
    } else {
      ports_.host.PumpEvents();
    }
  } while (!endFlag_);
}

void Saver::Frame() {
  ports_.host.PumpEvents();
  RunDueTimers();
  for (MonitorAnimation& monitor : monitors_) monitor.Passes();
  for (std::size_t i = monitors_.size(); i-- > 0;) monitors_[i].surface().Refresh();
}

void Saver::RunDueTimers() {
  if (shutDown_) return;  // a tick due while shutting down is never delivered
  const double now = ports_.clock.Milliseconds();
  for (MonitorAnimation& monitor : monitors_) monitor.RunDueTimer(now);
  if (timer1_.Due(now)) Timer1_Timer();
  if (timer2_.Due(now)) Timer2_Timer();
}

void Saver::Form_KeyDown(std::int16_t keyCode) {
  if (shutDown_) return;
  if (settings_.bgmSource == settings::kSourceCd) {
    if (keyCode == kKeyLeft) return ports_.music.CD_PrevTrack();
    if (keyCode == kKeyRight) return ports_.music.CD_NextTrack();
  }
  ShutDown();
}

void Saver::Form_Click() {
  if (!shutDown_) ShutDown();
}

void Saver::Form_MouseMove() {
  if (shutDown_) return;
  if (moveCount_ < INT16_MAX) ++moveCount_;
  if (moveCount_ > 10) ShutDown();
}

void Saver::Timer1_Timer() { ports_.music.MP3_Replay(); }

void Saver::Timer2_Timer() {
  ports_.music.CD_Check();
  timer2_.SetEnabled(ports_.music.CD_Active(), ports_.clock.Milliseconds());
}

void Saver::ShutDown() {
  shutDown_ = true;
  if (timer2_.enabled()) {
    timer2_.SetEnabled(false, 0);
    ports_.music.CD_Stop();
  }
  if (settings_.bgmSource == settings::kSourceFile) {
    if (FileEndsWith(L"WAV")) {
      ports_.music.WAV_Stop();
    } else if (FileEndsWith(L"MP3")) {
      timer1_.SetEnabled(false, 0);
      ports_.music.MP3_Stop();
    }
  }
  if (startup::ModeLetter(args_) == L'S') ports_.host.ShowPointer();
  ports_.host.SetScreenSaveActive();
  endFlag_ = true;
  ports_.host.Unload();
  ports_.host.EndProcess();
}

}  // namespace lw::display
