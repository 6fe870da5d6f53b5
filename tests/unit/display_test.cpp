// The display: the pixel canvas, the particle pass, the spring model with its emitters and
// centre-line crossings, and the saver as a whole (set-up, frames, input, timers, its ending).
#include <gtest/gtest.h>

#include <cctype>
#include <algorithm>
#include <cmath>
#include <string_view>
#include <string>
#include <vector>

#include "display/frame_pacer.h"
#include "display/memory_surface.h"
#include "display/monitor_layout.h"
#include "display/particle_field.h"
#include "display/random_source.h"
#include "display/saver.h"

namespace lw::display {
namespace {

struct FakeClock final : Clock {
  double Milliseconds() const override { return now; }
  double SecondsSinceMidnight() const override { return seconds; }
  double now = 0, seconds = 3600.5;
};

// Returns the scripted draws in order, then 0.5 for ever.
struct ScriptedRandom final : RandomSource {
  explicit ScriptedRandom(std::vector<double> d = {}) : draws(std::move(d)) {}
  void Seed(double) override { ++seeds; }
  double Next() override { return ++drawn, next < draws.size() ? draws[next++] : 0.5; }
  std::vector<double> draws;
  std::size_t next = 0;
  int seeds = 0, drawn = 0;
};

// The music and the window in one log, so order across both shows.
#define LW_LOGGED(name) \
  void name() override { Add(#name); }
struct Recorder final : music::SaverMusic, SaverHost {
  std::string log;
  bool cdActive = true;
  FakeClock* clock = nullptr;
  double openMs = 0;  // how long opening the music takes
  void Add(const char* name) { log += (log.empty() ? "" : " ") + std::string(name); }
  void CD_Open() override { Add("CD_Open"), clock->now += openMs; }
  void MP3_Play() override { Add("MP3_Play"), clock->now += openMs; }
  LW_LOGGED(CD_Check) LW_LOGGED(CD_PrevTrack) LW_LOGGED(CD_NextTrack) LW_LOGGED(CD_Stop)
  LW_LOGGED(WAV_Play) LW_LOGGED(WAV_Stop) LW_LOGGED(MP3_Replay) LW_LOGGED(MP3_Stop)
  LW_LOGGED(SizeToScreen) LW_LOGGED(SetNormalState) LW_LOGGED(Show) LW_LOGGED(MakeTopmost) LW_LOGGED(ShowPointer)
  LW_LOGGED(SetScreenSaveActive) LW_LOGGED(Unload) LW_LOGGED(EndProcess)
  bool CD_Active() const override { return cdActive; }
  void PumpEvents() override {}
};
#undef LW_LOGGED

settings::Settings Music(std::int16_t source, std::wstring file, std::int16_t count = 600) {
  return settings::Settings{L"", count, source, 0, std::move(file)};
}

// A saver on a memory screen with every port faked, loaded.
struct Rig {
  explicit Rig(settings::Settings s = Music(0, L""), std::wstring args = L"/S", int width = 1920, int height = 1080,
               double openMs = 0)
      : settings(std::move(s)), surface(width, height), saver(settings, args, {clock, recorder, recorder}, {surface, random}) {
    recorder.clock = &clock, recorder.openMs = openMs;
    saver.Form_Load();
  }
  // A number is a frame at that many milliseconds; q ShutDown, c click, m mouse move, < > ^ _ the
  // Left, Right, Up and Space keys, g the CD stops being active.
  void Run(std::string_view script) {
    for (std::size_t i = 0; i < script.size(); ++i) {
      const char e = script[i];
      if (std::isdigit(static_cast<unsigned char>(e))) {
        clock.now = std::stod(std::string(script.substr(i)));
        saver.Frame();
        while (i + 1 < script.size() && std::isdigit(static_cast<unsigned char>(script[i + 1]))) ++i;
      } else if (e == 'q') saver.ShutDown();
      else if (e == 'c') saver.Form_Click();
      else if (e == 'm') saver.Form_MouseMove();
      else if (e == 'g') recorder.cdActive = false;
      else if (e != ' ') saver.Form_KeyDown(e == '<' ? 37 : e == '>' ? 39 : e == '^' ? 38 : 32);
    }
  }
  settings::Settings settings;
  FakeClock clock;
  ScriptedRandom random;
  MemorySurface surface;
  Recorder recorder;
  Saver saver;
};

// Points in twips at 15 twips a pixel; what is outside the canvas changes nothing.
TEST(DisplayCanvas, PresentsOnlyChangedTilesAndColoursInDibOrder) {
  MemorySurface surface(300, 200);
  PixelCanvas& canvas = *surface.Canvas();
  canvas.TakeDirtyRects();
  const struct { std::vector<std::pair<float, float>> points; std::vector<PixelRect> rects; } cases[] = {
      {{}, {}},
      {{{1064.9f, 164.9f}}, {{64, 0, 80, 16}}},  // pixel (70, 10)
      {{{1050, 150}}, {}},                       // the same colour again
      {{{0, 0}, {240, 0}, {4499.9f, 15}}, {{0, 0, 32, 16}, {288, 0, 300, 16}}},
      {{{75, 75}, {75, 300}, {75, 600}}, {{0, 0, 16, 48}}},
      {{{90, 90}, {90, 2985}}, {{0, 0, 16, 16}, {0, 192, 16, 200}}},
      {{{4500, 0}, {0, 3000}, {-0.01f, 5}, {NAN, 5}, {1e30f, -1e30f}}, {}},
  };
  for (const auto& c : cases) {
    for (auto [x, y] : c.points) canvas.PSet(x, y, kYellow);
    EXPECT_EQ(canvas.TakeDirtyRects(), c.rects) << ::testing::PrintToString(c.points);
    EXPECT_FALSE(canvas.AnyDirty());
  }
  EXPECT_EQ(surface.pixels()[70 + 10 * 300], 0x00FFFF00u);  // red and green set
  EXPECT_EQ(surface.LitPixels(), 9u);
  surface.Cls();
  EXPECT_EQ(canvas.TakeDirtyRects(), (std::vector<PixelRect>{{0, 0, 300, 200}}));
  canvas.PSet(1064.9f, 164.9f, kYellow);
  canvas.Blank();  // black, and nothing to present: the window is blanked by other means
  EXPECT_EQ(surface.LitPixels(), 0u);
  EXPECT_FALSE(canvas.AnyDirty());
  MemorySurface fine(20, 10, 1.0f, 0.5f);  // 1440 and 2880 dots per inch
  fine.PSet(5, 3, kYellow);
  // (-15, 7) is outside, though its index would land on (5, 6).
  EXPECT_EQ(std::make_pair(fine.Pixel(5, 6), fine.Pixel(-15, 7)), std::make_pair(kYellow, kBlack));
}

TEST(DisplayParticles, DrawOrderWithinAPass) {
  // Draws: step Y, step X, [life, emission step Y, emission step X].
  MemorySurface surface(200, 300);
  ParticleField field(0);
  field.posX[0] = field.posY[0] = 150, field.life[0] = 5;
  field.stepX[0] = -30, field.stepY[0] = 15;  // moves right two pixels and up one
  ScriptedRandom random({0.25, 0.75});
  field.Pass(0, 0, kBlack, surface, random);
  EXPECT_EQ(std::vector({field.stepY[0], field.stepX[0], field.life[0]}), std::vector({25.0, -25.0, 4.0}));
  EXPECT_EQ(surface.Pixel(12, 9), kYellow);
  EXPECT_EQ(random.drawn, 2);

  ScriptedRandom emit({0.1, 0.2, 0.4, 0.6, 0.8});
  field.life[0] = 1;
  field.Pass(1500, 3000, kBlack, surface, emit);
  EXPECT_EQ(std::vector({field.life[0], field.stepY[0], field.stepX[0], field.posX[0], field.posY[0]}),
            std::vector({200.0, -9.0, -3.0, 1500.0, 3000.0}));
  EXPECT_EQ(surface.Pixel(100, 200), kYellow);
  EXPECT_EQ(surface.LitPixels(), 1u) << "black trail erased the old pixel";
  const std::pair<std::int16_t, std::size_t> sizes[] = {{600, 601}, {0, 1}, {-1, 0}, {-32768, 0}, {32767, 32768}};
  for (const auto& [count, size] : sizes) EXPECT_EQ(ParticleField(count).size(), size) << count;
}

// A mass on an anchor has no direction to be pulled in, and a spring shorter than its rest length
// pulls nothing. The swing does pass that close to the anchors, but too briefly for the flips to
// show whether the slack spring pushed.
TEST(DisplaySpring, AMassOnAnAnchorStaysFinite) {
  SpringModel m;  // at distance 0 from the right anchor
  m.bobX = 1, m.bobY = m.bobVX = m.bobVY = 0;
  m.Step();
  EXPECT_TRUE(std::isfinite(m.bobX) && std::isfinite(m.bobY));
  EXPECT_EQ(m.force2, 0.0f) << "a slack spring pulls nothing";
}

TEST(DisplayEmitters, MapMirrorAndFlipAtTheCentreLine) {
  MemorySurface surface(1920, 1080);
  SpringModel m;
  EmitterState s;
  EmitterStep(m, s, 14400, 8100, surface);
  for (const auto& [got, want] : {std::pair{s.emitX[0], 19241.1}, {s.emitY[0], 5046.5}, {s.emitX[1], 19241.1},
                                 {s.emitY[1], 11153.5}})
    EXPECT_NEAR(got, want, 0.1);
  EXPECT_EQ(std::make_pair(s.refY, s.firstTick), std::make_pair(5047, false));
  std::vector<int> flips;
  for (int step = 2; step <= 5000; ++step) {
    const std::uint32_t before = s.trailColour;
    EmitterStep(m, s, 14400, 8100, surface);
    if (s.trailColour != before) flips.push_back(step);
    EXPECT_EQ(s.trailColour, flips.size() % 2 ? kYellow : kBlack);
  }
  ASSERT_GE(flips.size(), 4u);
  EXPECT_EQ(std::make_pair(flips[0], flips[1]), std::make_pair(187, 421));
  for (std::size_t i = 2; i < flips.size(); ++i) EXPECT_NEAR(flips[i] - flips[i - 1], 235, 30) << "flip " << i;
  EXPECT_EQ(surface.clsCount(), static_cast<int>(flips.size()));

  // 4400 pixels tall at 15 twips: emitter Y passes 32767 twips and the reference keeps it.
  MemorySurface tall(100, 4400);
  SpringModel below;
  below.bobY = -1.0f;
  EmitterState t;
  EmitterStep(below, t, 750, 33000, tall);
  EXPECT_GT(t.refY, 32767);
  EXPECT_EQ(t.refY, std::lround(t.emitY[0]));
  // Below the centre but above its reference, a downward crossing waits.
  t.refY = 40000, t.downArmed = true;
  EmitterStep(below, t, 750, 33000, tall);
  EXPECT_EQ(std::make_tuple(tall.clsCount(), t.refY, t.downArmed), std::make_tuple(1, 40000, true));
}

// A whole session: what loading starts, what each event and timer tick sends, and that nothing at
// all happens after the end. The window's steps at load and the ending's are added by the test.
TEST(DisplaySaver, Sessions) {
  const struct { settings::Settings settings; std::wstring args; const char *atLoad, *script, *expected; bool ends;
                 double openMs = 0; } cases[] = {
      {Music(0, L"C:\\a.mp3"), L"", "", "250 2000 q", "", true},
      {Music(7, L"C:\\a.wav"), L"/s", "", "250 q", "ShowPointer", true},
      {Music(2, L"C:\\SONG.Mp3"), L"/S", "MP3_Play", "999 1000 5000 5100 6100 _",
       "MP3_Replay MP3_Replay MP3_Replay MP3_Stop ShowPointer", true},
      {Music(2, L"wav"), L"", "WAV_Play", "250 q", "WAV_Stop", true},
      {Music(2, L"x.mid"), L"/S", "", "250 mmmmmmmmmm", "", false},
      {Music(2, L"x.ogg"), L"/S", "", "250 mmmmmmmmmmm", "ShowPointer", true},
      {Music(2, L""), L"/S", "", "250 c", "ShowPointer", true},
      {Music(1, L"C:\\a.mp3"), L"/S", "CD_Open", "100 200 g 400 600 800", "CD_Check CD_Check", false},
      {Music(1, L""), L"/s", "CD_Open", "250 q", "CD_Check CD_Stop ShowPointer", true},
      {Music(1, L""), L"/S", "CD_Open", "g 250 ^", "CD_Check ShowPointer", true},
      {Music(1, L""), L"/S", "CD_Open", "250 < >", "CD_Check CD_PrevTrack CD_NextTrack", false},
      // The intervals count from after a slow open.
      {Music(2, L"a.mp3"), L"/S", "MP3_Play", "1899 1900 2899", "MP3_Replay", false, 900},
      {Music(1, L""), L"/S", "CD_Open", "1099 1100 1299", "CD_Check", false, 900},
  };
  for (const auto& c : cases) {
    Rig rig(c.settings, c.args, 1920, 1080, c.openMs);
    rig.Run(c.script);
    std::string expected = std::string("SizeToScreen ") + c.atLoad + (*c.atLoad ? " " : "") + "SetNormalState";
    expected += std::string(" Show MakeTopmost") + (*c.expected ? " " : "") + c.expected;
    if (c.ends) expected += " SetScreenSaveActive Unload EndProcess";
    EXPECT_EQ(rig.recorder.log, expected) << c.script;
    EXPECT_EQ(rig.saver.endFlag(), c.ends) << c.script;
    if (!c.ends) continue;
    const float bobX = rig.saver.spring().bobX;
    rig.Run("<_cmmmmmmmmmmmm 9000");
    EXPECT_EQ(rig.recorder.log, expected) << c.script << ": events after the end";
    EXPECT_EQ(rig.saver.spring().bobX, bobX) << c.script << ": a timer ticked after the end";
  }
  Rig tiny(Music(0, L""), L"/S", 1, 1);  // a one-pixel screen: its centre, and a frame drawn inside it
  EXPECT_EQ(std::make_pair(tiny.saver.centerX(), tiny.saver.centerY()), std::make_pair(7, 7));
  EXPECT_TRUE(tiny.saver.emitters().firstTick && tiny.saver.emitters().downArmed);
  EXPECT_EQ(tiny.random.seeds, 1);
  tiny.saver.Frame();
  // The emitter step's 1 ms timer is raised to 10 ms; the first frame steps before its pass.
  Rig rig(Music(0, L"", -1));
  float lastX = rig.saver.spring().bobX;
  for (const auto& [at, steps] : {std::pair{1.0, true}, {9.0, false}, {10.0, true}, {100.0, true}, {101.0, false}}) {
    rig.clock.now = at;
    rig.saver.Frame();
    EXPECT_EQ(rig.saver.spring().bobX != lastX, steps) << at;
    lastX = rig.saver.spring().bobX;
  }
}

// The display loop's pace, on a clock whose wait ends at the deadline or at the next input (one
// that came during a frame was pumped by it). Whatever the input, no frame comes more than a
// period after the one before (after a slower frame, at once), and no second holds more than 60.
TEST(DisplayPacer, SixtyFramesASecondThroughInputAndStalls) {
  struct InputWait final : FrameWait {
    FakeClock clock;
    std::vector<double> inputs;
    void WaitUntil(double deadline) override {
      auto next = std::upper_bound(inputs.begin(), inputs.end(), clock.now);
      clock.now = next != inputs.end() && *next < deadline ? *next : deadline;
    }
  };
  const struct { const char* name; double inputFrom, inputTo, inputEvery, stallAt, stallMs; } cases[] = {
      {"steady run", 0, 0, 1, -1, 0},
      {"a key held at 30 presses a second", 1000, 6000, 33.3, -1, 0},
      {"a message every millisecond", 1000, 2000, 1, -1, 0},
      {"a frame that takes 2 s", 0, 0, 1, 1000, 2000},
      {"a frame of half a second amid input", 1000, 4000, 7, 2000, 500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InputWait wait;
    for (double t = c.inputFrom; t < c.inputTo; t += c.inputEvery) wait.inputs.push_back(t);
    FakeClock& clock = wait.clock;
    FramePacer pacer(clock, wait);
    std::vector<double> presents, work;
    for (double stallAt = c.stallAt; clock.now < 8000;) {
      if (!pacer.WaitForFrame()) continue;
      presents.push_back(clock.now);
      work.push_back(stallAt >= 0 && clock.now >= stallAt ? c.stallMs : 2.0);
      if (clock.now >= stallAt) stallAt = -1;
      clock.now += work.back();
    }
    for (std::size_t i = 1, first = 0; i < presents.size(); ++i) {
      ASSERT_LE(presents[i] - presents[i - 1], std::max(FramePacer::kPeriodMs, work[i - 1]) + 1e-6) << presents[i];
      while (presents[first] <= presents[i] - 1000 + 1e-6) ++first;
      ASSERT_LE(i - first + 1, 60u) << "presents in the second up to " << presents[i];
    }
  }
}

// Each row is also a display change from the row before: `kept` names, for each new window, the
// window of the row before that stays for it (-1: one opens).
TEST(DisplayMonitors, PlanPutsThePrimaryFirstAndDropsWhatCannotBeCovered) {
  const struct { std::vector<MonitorArea> monitors; std::vector<SaverWindowPlan> expected; std::vector<int> kept; } cases[] = {
      {{{-1024, 0, 0, 768, 96, false}, {0, 0, 1920, 1080, 96, true}, {1920, 0, 3200, 1024, 96, false}},
       {{0, 0, 1920, 1080, 15}, {-1024, 0, 1024, 768, 15}, {1920, 0, 1280, 1024, 15}}, {-1, -1, -1}},
      {{{1920, 0, 3200, 1024, 96, false}, {0, 0, 1920, 1080, 96, true}},  // the left one unplugged
       {{0, 0, 1920, 1080, 15}, {1920, 0, 1280, 1024, 15}}, {0, 2}},
      {{{0, 0, 1600, 900, 96, true}, {1920, 0, 3200, 1024, 144, false}},  // both changed: nothing stays
       {{0, 0, 1600, 900, 15}, {1920, 0, 1280, 1024, 10}}, {-1, -1}},
      {{{1920, 0, 3200, 1024, 144, true}, {0, 0, 1600, 900, 96, false}},  // the primary moved: neither stays
       {{1920, 0, 1280, 1024, 10}, {0, 0, 1600, 900, 15}}, {-1, -1}},
      {{{-800, -600, 0, 0, 96, false}, {0, 0, 800, 600, 96, false}},  // none marked primary
       {{0, 0, 800, 600, 15}, {-800, -600, 800, 600, 15}}, {-1, -1}},
      {{{0, 0, 1024, 768, 0, true}, {0, 0, 1024, 768, 96, false}, {1024, 0, 1024, 768, 96, false}},
       {{0, 0, 1024, 768, 15}}, {-1}},  // a DPI of 0, a mirror, an empty area
      {{}, {{0, 0, 1366, 768, 15}}, {-1}},
      {{{0, 0, 800, 600, 2400, true}, {800, 0, 1600, 600, 2401, false}, {1600, 0, 2400, 600, 23, false}},
       {{0, 0, 800, 600, 0.6f}, {800, 0, 800, 600, 15}, {1600, 0, 800, 600, 15}}, {-1, -1, -1}},  // DPI limits 24 and 2400
  };
  std::vector<SaverWindowPlan> open;
  for (const auto& c : cases) {
    const std::vector<SaverWindowPlan> plans = PlanSaverWindows(c.monitors, 1366, 768);
    EXPECT_EQ(plans, c.expected);
    EXPECT_EQ(KeptSaverWindows(open, plans), c.kept) << ::testing::PrintToString(c.kept);
    open = plans;
  }
  const SaverWindowPlan a{0, 0, 800, 600, 15};  // repeats, which the plan never holds: each window once
  EXPECT_EQ(KeptSaverWindows({a, a, a}, {a, a, a, a}), (std::vector<int>{0, 1, 2, -1}));
}

}  // namespace
}  // namespace lw::display
