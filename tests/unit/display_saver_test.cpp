// The saver as a whole: set-up, frames, input, timers and the order of its ending.
#include <gtest/gtest.h>

#include "display_fakes.h"

namespace lw::display {
namespace {

using testing::Log;
using testing::SaverRig;

settings::Settings Music(std::int16_t source, std::wstring file, std::int16_t count = 600) {
  settings::Settings s;
  s.particleCount = count;
  s.bgmSource = source;
  s.bgmFile = std::move(file);
  return s;
}

TEST(DisplaySaver, LoadStartsMusicBySourceAndEnding) {
  const struct {
    const char* name;
    settings::Settings settings;
    Log music;
    bool timer1, timer2;
  } cases[] = {
      {"no music", Music(0, L"C:\\a.mp3"), {}, false, false},
      {"CD", Music(1, L"C:\\a.mp3"), {"CD_Open"}, false, true},
      {"wav", Music(2, L"C:\\song.wav"), {"WAV_Play"}, false, false},
      {"Mp3 any case", Music(2, L"C:\\SONG.Mp3"), {"MP3_Play"}, true, false},
      {"ogg", Music(2, L"C:\\song.ogg"), {}, false, false},
      {"empty path", Music(2, L""), {}, false, false},
      {"two characters", Music(2, L"p3"), {}, false, false},
      {"unknown source", Music(7, L"C:\\a.wav"), {}, false, false},
  };
  for (const auto& c : cases) {
    SaverRig rig(c.settings);
    rig.saver.Form_Load();
    Log expected{"SizeToScreen"};
    expected.insert(expected.end(), c.music.begin(), c.music.end());
    expected.insert(expected.end(), {"SetNormalState", "Show", "MakeTopmost"});
    EXPECT_EQ(rig.log, expected) << c.name;
    EXPECT_EQ(rig.saver.timer1().enabled(), c.timer1) << c.name;
    EXPECT_EQ(rig.saver.timer2().enabled(), c.timer2) << c.name;
    EXPECT_TRUE(rig.saver.timer3().enabled()) << c.name;
    EXPECT_EQ(rig.random.seeds, 1) << c.name;
  }
}

TEST(DisplaySaver, LoadSetsCentreAndStartState) {
  const struct {
    int width, height;
    std::int32_t centerX, centerY;
  } cases[] = {{1920, 1080, 14400, 8100}, {1, 1, 7, 7}, {5000, 4000, 37500, 30000}};
  for (const auto& c : cases) {
    SaverRig rig(SaverRig::Defaults(), L"/S", c.width, c.height);
    rig.saver.Form_Load();
    EXPECT_EQ(rig.saver.centerX(), c.centerX);
    EXPECT_EQ(rig.saver.centerY(), c.centerY);
    EXPECT_EQ(rig.saver.particles().size(), 601u);
    EXPECT_TRUE(rig.saver.emitters().firstTick && rig.saver.emitters().downArmed);
    EXPECT_FALSE(rig.saver.endFlag());
  }
}

TEST(DisplaySaver, FirstFrameEmitsEveryParticleAtEmitterZero) {
  SaverRig rig(Music(0, L"", 9));
  rig.saver.Form_Load();
  rig.clock.now = 16;  // Timer3 is due at the first pump
  rig.saver.Frame();
  const EmitterState& e = rig.saver.emitters();
  const ParticleField& f = rig.saver.particles();
  ASSERT_NEAR(e.emitX[0], 19241.1, 0.1);
  // Every draw was 0.5: after emission at emitter 0 (life 250, step (0, -7.5)) the second pass
  // moved each particle by its emission step.
  for (std::size_t i = 0; i < f.size(); ++i) {
    EXPECT_EQ(f.posX[i], static_cast<double>(e.emitX[0])) << i;
    EXPECT_EQ(f.posY[i], static_cast<double>(e.emitY[0]) + 7.5) << i;
    EXPECT_EQ(f.life[i], 249.0) << i;
  }
  EXPECT_EQ(rig.random.drawn, 10 * (5 + 2));
  EXPECT_EQ(rig.surface.LitPixels(), 1u);  // all ten on one pixel; (0, 0) painted black
  EXPECT_EQ(rig.surface.Pixel(static_cast<int>(e.emitX[0] / 15), static_cast<int>((e.emitY[0] + 7.5) / 15)), kYellow);
  EXPECT_EQ(rig.surface.refreshCount(), 1);
}

TEST(DisplaySaver, NoParticlesStillMovesEmittersAndRefreshes) {
  const struct {
    std::int16_t count;
    std::size_t lit;
  } cases[] = {{0, 1}, {-1, 0}, {-500, 0}};
  for (const auto& c : cases) {
    SaverRig rig(Music(0, L"", c.count));
    rig.saver.Form_Load();
    for (int frame = 1; frame <= 200; ++frame) {
      rig.clock.now = frame * 16.0;
      rig.saver.Frame();
    }
    EXPECT_EQ(rig.surface.refreshCount(), 200) << c.count;
    EXPECT_EQ(rig.surface.clsCount(), 1) << c.count << ": the flip at step 187 clears";
    EXPECT_LE(rig.surface.LitPixels(), c.lit * 2) << c.count;
  }
}

TEST(DisplaySaver, ShutDownOrder) {
  const Log tail{"SetScreenSaveActive", "Unload", "EndProcess"};
  const struct {
    const char* name;
    settings::Settings settings;
    std::wstring args;
    bool cdStillActive;
    Log expected;  // before the tail
  } cases[] = {
      {"no music, /S", Music(0, L""), L"/S", true, {"ShowPointer"}},
      {"no music, no argument", Music(0, L""), L"", true, {}},
      {"no music, lower-case /s", Music(0, L""), L"/s", true, {"ShowPointer"}},
      {"CD supervised", Music(1, L""), L"/S", true, {"CD_Stop", "ShowPointer"}},
      {"CD gone before", Music(1, L""), L"/S", false, {"ShowPointer"}},
      {"wav", Music(2, L"x.WaV"), L"", true, {"WAV_Stop"}},
      {"mp3", Music(2, L"x.mp3"), L"/S", true, {"MP3_Stop", "ShowPointer"}},
      {"mid", Music(2, L"x.mid"), L"/S", true, {"ShowPointer"}},
      {"mp3 name but CD source", Music(1, L"x.mp3"), L"", true, {"CD_Stop"}},
  };
  for (const auto& c : cases) {
    SaverRig rig(c.settings, c.args);
    rig.music.cdActive = c.cdStillActive;
    rig.saver.Form_Load();
    rig.clock.now = 250;
    rig.saver.Frame();  // Timer2 ticks once
    rig.log.clear();
    rig.saver.ShutDown();
    Log expected = c.expected;
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(rig.log, expected) << c.name;
    EXPECT_TRUE(rig.saver.endFlag()) << c.name;
    EXPECT_FALSE(rig.saver.timer1().enabled() || rig.saver.timer2().enabled()) << c.name;
  }
}

TEST(DisplaySaver, KeysByMusicSource) {
  const struct {
    std::int16_t source;
    std::int16_t key;
    Log expected;
    bool ends;
  } cases[] = {
      {1, 37, {"CD_PrevTrack"}, false}, {1, 39, {"CD_NextTrack"}, false},
      {1, 38, {"CD_Stop", "ShowPointer"}, true}, {1, 32, {"CD_Stop", "ShowPointer"}, true},
      {0, 37, {"ShowPointer"}, true}, {0, 39, {"ShowPointer"}, true},
      {2, 39, {"ShowPointer"}, true},  // a music file named nothing: no stop
  };
  for (const auto& c : cases) {
    SaverRig rig(Music(c.source, L""));
    rig.saver.Form_Load();
    rig.log.clear();
    rig.saver.Form_KeyDown(c.key);
    Log got(rig.log.begin(), rig.log.begin() + std::min<std::size_t>(rig.log.size(), c.expected.size()));
    EXPECT_EQ(got, c.expected) << c.source << "/" << c.key;
    EXPECT_EQ(rig.saver.endFlag(), c.ends) << c.source << "/" << c.key;
  }
}

TEST(DisplaySaver, ClickAndEleventhMouseMoveEnd) {
  const struct {
    const char* name;
    int moves;
    bool click;
    bool ends;
  } cases[] = {{"ten moves", 10, false, false}, {"eleven moves", 11, false, true}, {"one click", 0, true, true}};
  for (const auto& c : cases) {
    SaverRig rig;
    rig.saver.Form_Load();
    rig.host.onPump = [&] {
      for (int i = 0; i < c.moves; ++i) rig.saver.Form_MouseMove();
      if (c.click) rig.saver.Form_Click();
    };
    rig.saver.Frame();
    EXPECT_EQ(rig.saver.endFlag(), c.ends) << c.name;
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "EndProcess"), c.ends ? 1 : 0) << c.name;
  }
}

TEST(DisplaySaver, TimersTickAtMostOncePerPump) {
  const struct {
    const char* name;
    settings::Settings settings;
    std::vector<double> pumpsAt;
    Log music;
    double openMs = 0;  // how long the music call of the load takes
  } cases[] = {
      {"mp3 replay each second, no catch-up", Music(2, L"a.mp3"), {999, 1000, 5000, 5100, 6100},
       {"MP3_Replay", "MP3_Replay", "MP3_Replay"}},
      {"CD check until inactive", Music(1, L""), {100, 200, 400, 600, 800}, {"CD_Check", "CD_Check"}},
      {"mp3 interval counted from after a slow open", Music(2, L"a.mp3"), {1899}, {}, 900},
      {"CD interval counted from after a slow open", Music(1, L""), {1099}, {}, 900},
  };
  for (const auto& c : cases) {
    SaverRig rig(c.settings);
    rig.music.whileOpening = [&] { rig.clock.now += c.openMs; };
    rig.saver.Form_Load();
    rig.log.clear();
    int pump = 0;
    for (double t : c.pumpsAt) {
      rig.clock.now = t;
      rig.music.cdActive = ++pump < 3;
      rig.saver.Frame();
    }
    EXPECT_EQ(rig.log, c.music) << c.name;
  }
}

// The first frame steps whether or not Timer3 is due, so no pass emits at (0, 0).
TEST(DisplaySaver, EmitterStepsFollowTheTenMillisecondFloor) {
  SaverRig rig(Music(0, L"", -1));
  rig.saver.Form_Load();
  const struct {
    double at;
    bool steps;
  } pumps[] = {{1, true}, {9, false}, {10, true}, {12, false}, {20, true}, {100, true}, {101, false}};
  float lastX = rig.saver.spring().bobX;
  for (const auto& p : pumps) {
    rig.clock.now = p.at;
    rig.saver.Frame();
    EXPECT_EQ(rig.saver.spring().bobX != lastX, p.steps) << p.at;
    lastX = rig.saver.spring().bobX;
  }
}

TEST(DisplaySaver, TwoSaversSideBySideAreIndependent) {
  struct RealRig {
    explicit RealRig(double seconds) { clock.secondsSinceMidnight = seconds; }
    settings::Settings settings = SaverRig::Defaults();
    Log log;
    testing::FakeClock clock;
    UniformRandom random;
    MemorySurface surface{640, 480};
    testing::RecordingMusic music{log};
    testing::RecordingHost host{log};
    Saver saver{settings, L"/S", SaverPorts{surface, clock, random, music, host}};
  };
  // `alone` runs by itself; `a` (same seed) and `b` (another seed, mouse moves) are interleaved.
  RealRig alone(100), a(100), b(200);
  for (RealRig* r : {&alone, &a, &b}) r->saver.Form_Load();
  for (int i = 0; i < 300; ++i) {
    alone.clock.now += 16;
    alone.saver.Frame();
  }
  for (int i = 0; i < 300; ++i) {
    for (RealRig* r : {&a, &b}) {
      r->clock.now += 16 + (r == &b ? 3 : 0);
      r->saver.Frame();
    }
    if (i < 10) b.saver.Form_MouseMove();
  }
  EXPECT_EQ(a.surface.pixels(), alone.surface.pixels());
  EXPECT_EQ(a.saver.particles().posX, alone.saver.particles().posX);
  EXPECT_EQ(a.saver.spring().bobX, alone.saver.spring().bobX);
  EXPECT_NE(b.saver.particles().posX, a.saver.particles().posX);
  EXPECT_EQ(a.saver.moveCount(), 0);
  EXPECT_EQ(b.saver.moveCount(), 10);
  EXPECT_FALSE(a.saver.endFlag() || b.saver.endFlag());
}

}  // namespace
}  // namespace lw::display
