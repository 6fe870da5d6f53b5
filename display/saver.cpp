#include "display/saver.h"

#include <cmath>
#include <cwctype>

#include "platform/conversions.h"
#include "startup/command_line.h"

namespace lw::display {

void SaverTimer::SetEnabled(bool on, double nowMs) {
  if (on && !enabled_) due_ = nowMs + interval_;
  enabled_ = on;
}

bool SaverTimer::Due(double nowMs) {
  if (!enabled_ || nowMs < due_) return false;
  due_ = nowMs + interval_;
  return true;
}

Saver::Saver(const settings::Settings& settings, std::wstring_view args, SaverPorts ports)
    : settings_(settings), args_(args), ports_(ports) {
  timer3_.SetEnabled(true, ports_.clock.Milliseconds());
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
  Resize();
  emitters_.trailColour = kBlack;
  spring_ = SpringModel{};

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
  ports_.random.Seed(ports_.clock.SecondsSinceMidnight());
  particles_ = ParticleField(settings_.particleCount);
  endFlag_ = false;
  emitters_.firstTick = true;
  emitters_.downArmed = true;
}

void Saver::Resize() {
  // Centres are 32 bits wide so very large screens keep them; a width beyond that keeps 0.
  if (auto w = RoundToInt32(ports_.surface.ScaleWidth())) centerX_ = *w / 2;
  if (auto h = RoundToInt32(ports_.surface.ScaleHeight())) centerY_ = *h / 2;
}

void Saver::RunDisplayLoop() {
  do {
    Frame();
  } while (!endFlag_);
}

void Saver::Frame() {
  ports_.host.PumpEvents();
  RunDueTimers();
  particles_.Pass(emitters_.emitX[0], emitters_.emitY[0], emitters_.trailColour, ports_.surface, ports_.random);
  particles_.Pass(emitters_.emitX[1], emitters_.emitY[1], emitters_.trailColour, ports_.surface, ports_.random);
  ports_.surface.Refresh();
}

void Saver::RunDueTimers() {
  if (shutDown_) return;  // a tick due while shutting down is never delivered
  const double now = ports_.clock.Milliseconds();
  // The emitters move before the first pass, or its particles would all start at (0, 0).
  if (timer3_.Due(now) || !emittersMoved_) {
    emittersMoved_ = true;
    Timer3_Timer();
  }
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

void Saver::Timer3_Timer() { EmitterStep(spring_, emitters_, centerX_, centerY_, ports_.surface); }

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
