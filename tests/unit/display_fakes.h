// Fakes shared by the display tests: a clock the test moves, a scripted random source, and a
// host and music that write every call into one log so order across both can be checked.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "display/memory_surface.h"
#include "display/saver.h"

namespace lw::display::testing {

class FakeClock final : public Clock {
 public:
  double Milliseconds() const override { return now; }
  double SecondsSinceMidnight() const override { return secondsSinceMidnight; }
  double now = 0;
  double secondsSinceMidnight = 3600.5;
};

// Returns the scripted draws in order, then `rest` for ever.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<double> draws = {}, double rest = 0.5) : draws_(std::move(draws)), rest_(rest) {}
  void Seed(double) override { ++seeds; }
  double Next() override {
    ++drawn;
    return next_ < draws_.size() ? draws_[next_++] : rest_;
  }
  int seeds = 0;
  int drawn = 0;

 private:
  std::vector<double> draws_;
  std::size_t next_ = 0;
  double rest_;
};

using Log = std::vector<std::string>;

class RecordingMusic final : public music::SaverMusic {
 public:
  explicit RecordingMusic(Log& log) : log_(log) {}
  void CD_Open() override { Open("CD_Open"); }
  void CD_Check() override { log_.push_back("CD_Check"); }
  bool CD_Active() const override { return cdActive; }
  void CD_PrevTrack() override { log_.push_back("CD_PrevTrack"); }
  void CD_NextTrack() override { log_.push_back("CD_NextTrack"); }
  void CD_Stop() override { log_.push_back("CD_Stop"); }
  void WAV_Play() override { log_.push_back("WAV_Play"); }
  void WAV_Stop() override { log_.push_back("WAV_Stop"); }
  void MP3_Play() override { Open("MP3_Play"); }
  void MP3_Replay() override { log_.push_back("MP3_Replay"); }
  void MP3_Stop() override { log_.push_back("MP3_Stop"); }
  bool cdActive = true;
  std::function<void()> whileOpening;  // e.g. a slow drive or file moving the clock on

 private:
  void Open(const char* what) {
    log_.push_back(what);
    if (whileOpening) whileOpening();
  }
  Log& log_;
};

class RecordingHost final : public SaverHost {
 public:
  explicit RecordingHost(Log& log) : log_(log) {}
  void SizeToScreen() override { log_.push_back("SizeToScreen"); }
  void SetNormalState() override { log_.push_back("SetNormalState"); }
  void Show() override { log_.push_back("Show"); }
  void MakeTopmost() override { log_.push_back("MakeTopmost"); }
  void PumpEvents() override {
    if (onPump) onPump();
  }
  void ShowPointer() override { log_.push_back("ShowPointer"); }
  void SetScreenSaveActive() override { log_.push_back("SetScreenSaveActive"); }
  void Unload() override { log_.push_back("Unload"); }
  void EndProcess() override { log_.push_back("EndProcess"); }
  std::function<void()> onPump;

 private:
  Log& log_;
};

// A saver on a 1920 x 1080 memory screen with every port faked.
struct SaverRig {
  explicit SaverRig(settings::Settings s = Defaults(), std::wstring args = L"/S", int width = 1920, int height = 1080)
      : settings(std::move(s)), surface(width, height), music(log), host(log),
        saver(settings, args, SaverPorts{surface, clock, random, music, host}) {}
  static settings::Settings Defaults() {
    settings::Settings s;
    s.particleCount = 600;
    return s;
  }
  settings::Settings settings;
  Log log;
  FakeClock clock;
  ScriptedRandom random;
  MemorySurface surface;
  RecordingMusic music;
  RecordingHost host;
  Saver saver;
};

}  // namespace lw::display::testing
