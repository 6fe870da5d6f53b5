// The display: the pixel canvas, the particle pass, the spring model with its emitters and
// centre-line crossings, and the saver as a whole (set-up, frames, input, timers, its ending).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/memory_surface.h"
#include "display/monitor_layout.h"
#include "display/particle_field.h"
#include "display/random_source.h"
#include "display/saver.h"

namespace lw::display {
namespace {

using Log = std::vector<std::string>;

class FakeClock final : public Clock {
 public:
  double Milliseconds() const override { return now; }
  double SecondsSinceMidnight() const override { return seconds; }
  double now = 0, seconds = 3600.5;
};

// Returns the scripted draws in order, then `rest` for ever.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<double> draws = {}, double rest = 0.5) : draws_(std::move(draws)), rest_(rest) {}
  void Seed(double) override { ++seeds; }
  double Next() override { return ++drawn, next_ < draws_.size() ? draws_[next_++] : rest_; }
  int seeds = 0, drawn = 0;

 private:
  std::vector<double> draws_;
  std::size_t next_ = 0;
  double rest_;
};

// The music and the window in one log, so order across both shows.
#define LW_LOGGED(name) \
  void name() override { log.push_back(#name); }
struct Recorder final : music::SaverMusic, SaverHost {
  Log log;
  bool cdActive = true;
  std::function<void()> onPump;
  FakeClock* clock = nullptr;
  double openMs = 0;  // how long opening the music takes
  void CD_Open() override { log.push_back("CD_Open"), clock->now += openMs; }
  void MP3_Play() override { log.push_back("MP3_Play"), clock->now += openMs; }
  LW_LOGGED(CD_Check) LW_LOGGED(CD_PrevTrack) LW_LOGGED(CD_NextTrack) LW_LOGGED(CD_Stop)
  LW_LOGGED(WAV_Play) LW_LOGGED(WAV_Stop) LW_LOGGED(MP3_Replay) LW_LOGGED(MP3_Stop)
  LW_LOGGED(SizeToScreen) LW_LOGGED(SetNormalState) LW_LOGGED(Show) LW_LOGGED(MakeTopmost) LW_LOGGED(ShowPointer)
  LW_LOGGED(SetScreenSaveActive) LW_LOGGED(Unload) LW_LOGGED(EndProcess)
  bool CD_Active() const override { return cdActive; }
  void PumpEvents() override { onPump ? onPump() : void(); }
};
#undef LW_LOGGED

settings::Settings Music(std::int16_t source, std::wstring file, std::int16_t count = 600) {
  return settings::Settings{L"", count, source, 0, std::move(file)};
}

// A saver on a memory screen with every port faked, loaded.
struct Rig {
  explicit Rig(settings::Settings s = Music(0, L""), std::wstring args = L"/S", int width = 1920, int height = 1080,
               double openMs = 0)
      : settings(std::move(s)), surface(width, height), saver(settings, args, {surface, clock, random, recorder, recorder}) {
    recorder.clock = &clock;
    recorder.openMs = openMs;
    saver.Form_Load();
  }
  settings::Settings settings;
  FakeClock clock;
  ScriptedRandom random;
  MemorySurface surface;
  Recorder recorder;
  Saver saver;
  Log& log = recorder.log;
};

TEST(DisplayCanvas, TwipsToPixel) {
  std::vector<std::uint32_t> pixels(20 * 10);
  PixelCanvas canvas(pixels.data(), 20, 10, 15.0f, 15.0f);
  const struct { float x, y; bool inside; int px, py; } cases[] = {
      {0, 0, true, 0, 0},     {14.9f, 14.9f, true, 0, 0}, {15, 30, true, 1, 2},     {299.9f, 149.9f, true, 19, 9},
      {300, 0, false, 0, 0},  {0, 150, false, 0, 0},      {-0.01f, 5, false, 0, 0}, {NAN, 5, false, 0, 0},
      {1e30f, -1e30f, false, 0, 0},
  };
  for (const auto& c : cases) {
    int px = 0, py = 0;
    EXPECT_EQ(canvas.ToPixel(c.x, c.y, px, py), c.inside) << c.x << "," << c.y;
    EXPECT_EQ(std::make_pair(px, py), std::make_pair(c.px, c.py)) << c.x << "," << c.y;
  }
  PixelCanvas fine(pixels.data(), 20, 10, 1.0f, 0.5f);  // 1440 and 2880 dots per inch
  int px = 0, py = 0;
  EXPECT_TRUE(fine.ToPixel(5, 3, px, py));
  EXPECT_EQ(std::make_pair(px, py), std::make_pair(5, 6));
}

TEST(DisplayCanvas, PresentsOnlyChangedTilesAndColoursInDibOrder) {
  MemorySurface surface(300, 200);
  PixelCanvas& canvas = *surface.Canvas();
  canvas.TakeDirtyRects();
  const struct {
    const char* name;
    std::vector<std::pair<int, int>> points;  // pixels
    std::vector<PixelRect> rects;
  } cases[] = {
      {"nothing", {}, {}},
      {"one point", {{70, 10}}, {{64, 0, 80, 16}}},
      {"the same colour again changes nothing", {{70, 10}}, {}},
      {"a row of tiles", {{0, 0}, {16, 0}, {299, 1}}, {{0, 0, 32, 16}, {288, 0, 300, 16}}},
      {"a column merges", {{5, 5}, {5, 20}, {5, 40}}, {{0, 0, 16, 48}}},
      {"a gap splits", {{6, 6}, {6, 199}}, {{0, 0, 16, 16}, {0, 192, 16, 200}}},
  };
  for (const auto& c : cases) {
    for (auto [px, py] : c.points) canvas.PSet(px * 15.0f, py * 15.0f, kYellow);
    EXPECT_EQ(canvas.TakeDirtyRects(), c.rects) << c.name;
    EXPECT_FALSE(canvas.AnyDirty()) << c.name;
  }
  EXPECT_EQ(surface.pixels()[70 + 10 * 300], 0x00FFFF00u);  // red and green set
  EXPECT_EQ(surface.Pixel(70, 10), kYellow);
  surface.Cls();
  EXPECT_EQ(surface.LitPixels(), 0u);
  EXPECT_EQ(canvas.TakeDirtyRects(), (std::vector<PixelRect>{{0, 0, 300, 200}}));
}

// A particle emitted in a first pass with life L comes back after max(1, ceil(L)) passes, at the
// emitter of that pass.
TEST(DisplayParticles, ReEmissionByRemainingLife) {
  const struct {
    double life;
    int passes;       // including the pass of the first emission
    float expectedX;  // emitter 0 is at X 300, emitter 1 at 900
  } cases[] = {{0.4, 2, 900.0f}, {1.4, 3, 300.0f}, {1.0, 2, 900.0f}, {0.0, 2, 900.0f}, {3.0, 4, 900.0f}, {2.5, 4, 900.0f}};
  for (const auto& c : cases) {
    MemorySurface surface(200, 300);
    ParticleField field(0);
    // First pass: steps Y, X, then emission with life c.life, step Y 0, step X 0.
    ScriptedRandom random({0.5, 0.5, c.life / 500.0, 0.0, 0.5}, 0.5);
    const float emitX[2] = {300.0f, 900.0f};
    for (int pass = 0; pass < c.passes; ++pass) {
      EXPECT_NE(field.life[0], 250.0) << c.life << ": emitted again too early, pass " << pass;
      field.Pass(emitX[pass % 2], 600.0f, kBlack, surface, random);
    }
    EXPECT_EQ(field.posX[0], c.expectedX) << c.life;
    EXPECT_EQ(field.life[0], 250.0) << c.life;
  }
  const struct {
    std::int16_t count;
    std::size_t size;
  } sizes[] = {{600, 601}, {0, 1}, {-1, 0}, {-32768, 0}, {32767, 32768}};
  for (const auto& c : sizes) EXPECT_EQ(ParticleField(c.count).size(), c.size) << c.count;
}

TEST(DisplayParticles, DrawOrderWithinAPass) {
  // Draws: step Y, step X, [life, emission step Y, emission step X].
  MemorySurface surface(200, 300);
  ParticleField field(0);
  field.posX[0] = field.posY[0] = 150;
  field.stepX[0] = -30;  // moves right two pixels
  field.stepY[0] = 15;   // moves up one pixel
  field.life[0] = 5;
  ScriptedRandom random({0.25, 0.75});
  field.Pass(0, 0, kBlack, surface, random);
  EXPECT_EQ(std::vector({field.stepY[0], field.stepX[0], field.life[0]}), std::vector({25.0, -25.0, 4.0}));
  EXPECT_EQ(surface.Pixel(12, 9), kYellow);
  EXPECT_EQ(surface.Pixel(10, 10), kBlack);
  EXPECT_EQ(random.drawn, 2);

  ScriptedRandom emit({0.1, 0.2, 0.4, 0.6, 0.8});
  field.life[0] = 1;
  field.Pass(1500, 3000, kBlack, surface, emit);
  EXPECT_DOUBLE_EQ(field.life[0], 200.0);
  EXPECT_DOUBLE_EQ(field.stepY[0], -9.0);
  EXPECT_DOUBLE_EQ(field.stepX[0], -3.0);
  EXPECT_EQ(std::make_pair(field.posX[0], field.posY[0]), std::make_pair(1500.0, 3000.0));
  EXPECT_EQ(surface.Pixel(100, 200), kYellow);
  EXPECT_EQ(surface.LitPixels(), 1u) << "black trail erased the old pixel";

  for (const auto& [trail, lit] : {std::pair<std::uint32_t, std::size_t>{kBlack, 1}, {kYellow, 6}}) {
    MemorySurface s(200, 300);
    ParticleField f(0);
    f.posX[0] = f.posY[0] = 1500;
    f.life[0] = 100;
    ScriptedRandom r({}, 0.999);  // every step -49.9: moves 3.3 pixels right and down
    for (int pass = 0; pass < 6; ++pass) f.Pass(0, 0, trail, s, r);
    EXPECT_EQ(s.LitPixels(), lit) << "trail colour " << trail;
  }
}

TEST(DisplaySpring, FirstStepFromStartStateToFiveDigits) {
  SpringModel m;
  m.Step();
  const std::vector<float> got = {m.dist1, m.dist2, m.force1, m.force2, m.bobAX, m.bobAY, m.bobVX, m.bobVY, m.bobX, m.bobY};
  const std::vector<double> expected = {2.7857, 1.1662, 2.5857, 0.96619, -2.9104, -1.7567, 1.3709, 1.7824, 1.6137, 1.0178};
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], std::abs(expected[i]) * 5e-5) << i;

  const struct { const char* name; float bobX, bobY; bool leftSlack, rightSlack; } cases[] = {
      {"left within rest length", -0.9f, 0.1f, true, false},
      {"right exactly at rest length", 0.8f, 0.0f, false, true},
      {"on the left anchor (distance 0)", -1.0f, 0.0f, true, false},
      {"on the right anchor (distance 0)", 1.0f, 0.0f, false, true},
  };
  for (const auto& c : cases) {
    SpringModel s;
    s.bobX = c.bobX, s.bobY = c.bobY, s.bobVX = s.bobVY = 0;
    s.Step();
    EXPECT_TRUE(std::isfinite(s.bobX) && std::isfinite(s.bobY)) << c.name;
    EXPECT_EQ(c.leftSlack, s.force1X == 0.0f && s.force1Y == 0.0f) << c.name;
    EXPECT_EQ(c.rightSlack, s.force2X == 0.0f && s.force2Y == 0.0f) << c.name;
    EXPECT_NE(s.force1 + s.force2, 0.0f) << c.name << ": the other spring still pulls";
  }
}

TEST(DisplayEmitters, MapMirrorAndFlipAtTheCentreLine) {
  MemorySurface surface(1920, 1080);
  SpringModel m;
  EmitterState s;
  EmitterStep(m, s, 14400, 8100, surface);
  EXPECT_NEAR(s.emitX[0], 19241.1, 0.1);
  EXPECT_NEAR(s.emitY[0], 5046.5, 0.1);
  EXPECT_NEAR(s.emitX[1], 19241.1, 0.1);
  EXPECT_NEAR(s.emitY[1], 11153.5, 0.1);
  EXPECT_EQ(s.refY, 5047);
  EXPECT_FALSE(s.firstTick);
  std::vector<int> flips;
  std::vector<std::uint32_t> colours;
  float maxX = 0, maxY = 0;
  for (int step = 2; step <= 5000; ++step) {
    const std::uint32_t before = s.trailColour;
    EmitterStep(m, s, 14400, 8100, surface);
    maxX = std::max(maxX, std::abs(m.bobX));
    maxY = std::max(maxY, std::abs(m.bobY));
    if (s.trailColour != before) flips.push_back(step), colours.push_back(s.trailColour);
  }
  ASSERT_GE(flips.size(), 4u);
  EXPECT_EQ(flips[0], 187);
  EXPECT_EQ(flips[1], 421);
  for (std::size_t i = 0; i < flips.size(); ++i) {
    if (i >= 2) EXPECT_NEAR(flips[i] - flips[i - 1], 235, 30) << "flip " << i;
    EXPECT_EQ(colours[i], i % 2 ? kBlack : kYellow);
  }
  EXPECT_EQ(surface.clsCount(), static_cast<int>(flips.size()));
  EXPECT_LT(maxX, 2.32f);
  EXPECT_LT(maxY, 1.68f);

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

TEST(DisplaySaver, LoadStartsMusicBySourceAndEnding) {
  const struct { const char* name; settings::Settings settings; Log music; bool timer1, timer2; } cases[] = {
      {"no music", Music(0, L"C:\\a.mp3"), {}, false, false},
      {"CD", Music(1, L"C:\\a.mp3"), {"CD_Open"}, false, true},
      {"wav", Music(2, L"C:\\song.wav"), {"WAV_Play"}, false, false},
      {"Mp3 any case", Music(2, L"C:\\SONG.Mp3"), {"MP3_Play"}, true, false},
      {"ogg", Music(2, L"C:\\song.ogg"), {}, false, false},
      {"two characters", Music(2, L"p3"), {}, false, false},
      {"only the ending", Music(2, L"wav"), {"WAV_Play"}, false, false},
      {"unknown source", Music(7, L"C:\\a.wav"), {}, false, false},
  };
  for (const auto& c : cases) {
    Rig rig(c.settings);
    Log expected{"SizeToScreen"};
    expected.insert(expected.end(), c.music.begin(), c.music.end());
    expected.insert(expected.end(), {"SetNormalState", "Show", "MakeTopmost"});
    EXPECT_EQ(rig.log, expected) << c.name;
    EXPECT_EQ(rig.saver.timer1().enabled(), c.timer1) << c.name;
    EXPECT_EQ(rig.saver.timer2().enabled(), c.timer2) << c.name;
    EXPECT_TRUE(rig.saver.timer3().enabled()) << c.name;
    EXPECT_EQ(rig.random.seeds, 1) << c.name;
  }
  const struct {
    int width, height;
    std::int32_t centerX, centerY;
  } screens[] = {{1920, 1080, 14400, 8100}, {1, 1, 7, 7}, {5000, 4000, 37500, 30000}};
  for (const auto& c : screens) {
    Rig rig(Music(0, L""), L"/S", c.width, c.height);
    EXPECT_EQ(std::make_pair(rig.saver.centerX(), rig.saver.centerY()), std::make_pair(c.centerX, c.centerY));
    EXPECT_EQ(rig.saver.particles().size(), 601u);
    EXPECT_TRUE(rig.saver.emitters().firstTick && rig.saver.emitters().downArmed);
    EXPECT_FALSE(rig.saver.endFlag());
    rig.saver.Frame();  // draws inside a screen of any size
  }
}

TEST(DisplaySaver, FirstFrameEmitsEveryParticleAtEmitterZero) {
  Rig rig(Music(0, L"", 9));
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

  for (const auto& [count, lit] : {std::pair<std::int16_t, std::size_t>{0, 1}, {-1, 0}, {-500, 0}}) {
    Rig empty(Music(0, L"", count));  // no particles: the emitters still move, frames still refresh
    for (int frame = 1; frame <= 200; ++frame) empty.clock.now = frame * 16.0, empty.saver.Frame();
    EXPECT_EQ(empty.surface.refreshCount(), 200) << count;
    EXPECT_EQ(empty.surface.clsCount(), 1) << count << ": the flip at step 187 clears";
    EXPECT_LE(empty.surface.LitPixels(), lit * 2) << count;
  }
}

// Input and the ending: what each event sends, and that nothing at all happens after the end.
TEST(DisplaySaver, InputAndShutDown) {
  const Log tail{"SetScreenSaveActive", "Unload", "EndProcess"};
  const struct {
    const char* name;
    settings::Settings settings;
    std::wstring args;
    bool cdStillActive;
    std::function<void(Saver&)> event;
    Log expected;  // before the tail; no tail when the saver goes on
    bool ends;
  } cases[] = {
      {"no music, /S", Music(0, L""), L"/S", true, [](Saver& s) { s.ShutDown(); }, {"ShowPointer"}, true},
      {"no music, no argument", Music(0, L""), L"", true, [](Saver& s) { s.ShutDown(); }, {}, true},
      {"no music, lower-case /s", Music(0, L""), L"/s", true, [](Saver& s) { s.ShutDown(); }, {"ShowPointer"}, true},
      {"CD supervised", Music(1, L""), L"/S", true, [](Saver& s) { s.ShutDown(); }, {"CD_Stop", "ShowPointer"}, true},
      {"CD gone before", Music(1, L""), L"/S", false, [](Saver& s) { s.ShutDown(); }, {"ShowPointer"}, true},
      {"wav", Music(2, L"x.WaV"), L"", true, [](Saver& s) { s.ShutDown(); }, {"WAV_Stop"}, true},
      {"mp3", Music(2, L"x.mp3"), L"/S", true, [](Saver& s) { s.ShutDown(); }, {"MP3_Stop", "ShowPointer"}, true},
      {"mid", Music(2, L"x.mid"), L"/S", true, [](Saver& s) { s.ShutDown(); }, {"ShowPointer"}, true},
      {"mp3 name but CD source", Music(1, L"x.mp3"), L"", true, [](Saver& s) { s.ShutDown(); }, {"CD_Stop"}, true},
      {"CD, Left", Music(1, L""), L"/S", true, [](Saver& s) { s.Form_KeyDown(37); }, {"CD_PrevTrack"}, false},
      {"CD, Right", Music(1, L""), L"/S", true, [](Saver& s) { s.Form_KeyDown(39); }, {"CD_NextTrack"}, false},
      {"CD, Up", Music(1, L""), L"/S", true, [](Saver& s) { s.Form_KeyDown(38); }, {"CD_Stop", "ShowPointer"}, true},
      {"CD, Space", Music(1, L""), L"/S", true, [](Saver& s) { s.Form_KeyDown(32); }, {"CD_Stop", "ShowPointer"}, true},
      {"no music, Left", Music(0, L""), L"/S", true, [](Saver& s) { s.Form_KeyDown(37); }, {"ShowPointer"}, true},
      {"no file named, Right", Music(2, L""), L"/S", true, [](Saver& s) { s.Form_KeyDown(39); }, {"ShowPointer"}, true},
      {"a click", Music(0, L""), L"/S", true, [](Saver& s) { s.Form_Click(); }, {"ShowPointer"}, true},
      {"ten moves", Music(0, L""), L"/S", true, [](Saver& s) { for (int i = 0; i < 10; ++i) s.Form_MouseMove(); }, {},
       false},
      {"eleven moves", Music(0, L""), L"/S", true, [](Saver& s) { for (int i = 0; i < 11; ++i) s.Form_MouseMove(); },
       {"ShowPointer"}, true},
  };
  for (const auto& c : cases) {
    Rig rig(c.settings, c.args);
    rig.recorder.cdActive = c.cdStillActive;
    rig.clock.now = 250;
    rig.saver.Frame();  // Timer2 ticks once
    rig.log.clear();
    c.event(rig.saver);
    Log expected = c.expected;
    if (c.ends) expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(rig.log, expected) << c.name;
    EXPECT_EQ(rig.saver.endFlag(), c.ends) << c.name;
    if (!c.ends) continue;
    EXPECT_FALSE(rig.saver.timer1().enabled() || rig.saver.timer2().enabled()) << c.name;
    const float bobX = rig.saver.spring().bobX;
    rig.saver.Form_KeyDown(37), rig.saver.Form_KeyDown(32), rig.saver.Form_Click();
    for (int i = 0; i < 12; ++i) rig.saver.Form_MouseMove();
    rig.clock.now = 5000;
    rig.saver.Frame();
    EXPECT_EQ(rig.log, expected) << c.name << ": events after the end";
    EXPECT_EQ(rig.saver.spring().bobX, bobX) << c.name << ": a timer ticked after the end";
  }
}

TEST(DisplaySaver, TimersTickAtMostOncePerPump) {
  const struct {
    const char* name;
    settings::Settings settings;
    std::vector<double> pumpsAt;
    Log music;
    double openMs = 0;
  } cases[] = {
      {"mp3 replay each second, no catch-up", Music(2, L"a.mp3"), {999, 1000, 5000, 5100, 6100},
       {"MP3_Replay", "MP3_Replay", "MP3_Replay"}},
      {"CD check until inactive", Music(1, L""), {100, 200, 400, 600, 800}, {"CD_Check", "CD_Check"}},
      // The intervals count from after a slow open.
      {"mp3 opened in 900 ms", Music(2, L"a.mp3"), {1899, 1900, 2899}, {"MP3_Replay"}, 900},
      {"CD opened in 900 ms", Music(1, L""), {1099, 1100, 1299}, {"CD_Check"}, 900},
  };
  for (const auto& c : cases) {
    Rig rig(c.settings, L"/S", 1920, 1080, c.openMs);
    rig.log.clear();
    int pump = 0;
    for (double t : c.pumpsAt) {
      rig.clock.now = t;
      rig.recorder.cdActive = ++pump < 3;
      rig.saver.Frame();
    }
    EXPECT_EQ(rig.log, c.music) << c.name;
  }
  // The emitter step's 1 ms timer is raised to 10 ms; the first frame steps before its pass.
  Rig rig(Music(0, L"", -1));
  float lastX = rig.saver.spring().bobX;
  for (const auto& [at, steps] : {std::pair{1.0, true}, {9.0, false}, {10.0, true}, {12.0, false}, {20.0, true},
                                  {100.0, true}, {101.0, false}}) {
    rig.clock.now = at;
    rig.saver.Frame();
    EXPECT_EQ(rig.saver.spring().bobX != lastX, steps) << at;
    lastX = rig.saver.spring().bobX;
  }
}

TEST(DisplaySaver, TwoSaversSideBySideAreIndependent) {
  struct RealRig {
    explicit RealRig(double seconds) { clock.seconds = seconds, saver.Form_Load(); }
    settings::Settings settings = Music(0, L"");
    FakeClock clock;
    UniformRandom random;
    MemorySurface surface{640, 480};
    Recorder recorder;
    Saver saver{settings, L"/S", {surface, clock, random, recorder, recorder}};
  };
  // `alone` runs by itself; `a` (same seed) and `b` (another seed, mouse moves) are interleaved.
  RealRig alone(100), a(100), b(200);
  for (int i = 0; i < 300; ++i) alone.clock.now += 16, alone.saver.Frame();
  for (int i = 0; i < 300; ++i) {
    a.clock.now += 16, a.saver.Frame();
    b.clock.now += 19, b.saver.Frame();
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

TEST(DisplayMonitors, PlanPutsThePrimaryFirstAndDropsWhatCannotBeCovered) {
  const struct {
    std::vector<MonitorArea> monitors;
    std::vector<SaverWindowPlan> expected;
  } cases[] = {
      {{{-1024, 0, 0, 768, 96, false}, {0, 0, 1920, 1080, 96, true}, {1920, 0, 3200, 1024, 96, false}},
       {{0, 0, 1920, 1080, 15}, {-1024, 0, 1024, 768, 15}, {1920, 0, 1280, 1024, 15}}},
      {{{0, 0, 2560, 1440, 144, true}, {200, -1920, 1280, 0, 144, false}},  // portrait above
       {{0, 0, 2560, 1440, 10}, {200, -1920, 1080, 1920, 10}}},
      {{{-800, -600, 0, 0, 96, false}, {0, 0, 800, 600, 96, false}},  // none marked primary
       {{0, 0, 800, 600, 15}, {-800, -600, 800, 600, 15}}},
      {{{0, 0, 1024, 768, 0, true}, {0, 0, 1024, 768, 96, false}, {1024, 0, 1024, 768, 96, false}},
       {{0, 0, 1024, 768, 15}}},  // a DPI of 0, a mirror, an empty area
      {{}, {{0, 0, 1366, 768, 15}}},
      {{{0, 0, 800, 600, 2400, true}, {800, 0, 1600, 600, 2401, false}, {1600, 0, 2400, 600, 23, false}},
       {{0, 0, 800, 600, 0.6f}, {800, 0, 800, 600, 15}, {1600, 0, 800, 600, 15}}},  // DPI limits 24 and 2400
  };
  for (const auto& c : cases) EXPECT_EQ(PlanSaverWindows(c.monitors, 1366, 768), c.expected);
}

// Two side monitors (width, height, twips per pixel); at frame 101 the first is unplugged and an
// 800 x 600 one plugged in; in the last frame twelve moves and a click arrive in one pump.
TEST(DisplayMonitors, EachMonitorSwingsAboutItsOwnCentreWhileLoopMusicAndEndingAreShared) {
  const std::vector<std::tuple<int, int, float>> layouts[] = {
      {{1024, 768, 15}, {1280, 1024, 15}}, {{1080, 1920, 10}, {640, 480, 15}}, {{2560, 1440, 10}, {800, 600, 15}}};
  for (const auto& layout : layouts) {
    Rig alone(Music(2, L"a.mp3")), rig(Music(2, L"a.mp3"));
    std::vector<std::unique_ptr<MemorySurface>> surfaces;
    std::vector<std::unique_ptr<UniformRandom>> randoms;
    auto plug = [&](int w, int h, float twips) {  // the newest two are the side monitors
      surfaces.push_back(std::make_unique<MemorySurface>(w, h, twips, twips));
      randoms.push_back(std::make_unique<UniformRandom>());
      std::vector<MonitorPorts> ports;
      for (std::size_t i = surfaces.size() < 2 ? 0 : surfaces.size() - 2; i < surfaces.size(); ++i) {
        ports.push_back({*surfaces[i], *randoms[i]});
      }
      rig.saver.SetMonitors(rig.surface, ports);
    };
    for (auto [w, h, twips] : layout) plug(w, h, twips);
    for (int frame = 1; frame <= 200; ++frame) {
      if (frame == 101) plug(800, 600, 15);
      if (frame == 200) rig.recorder.onPump = [&] {
        for (int i = 0; i < 12; ++i) rig.saver.Form_MouseMove();
        rig.saver.Form_Click();
      };
      rig.clock.now = alone.clock.now = frame * 16.0;
      rig.saver.Frame();
      alone.saver.Frame();
    }
    EXPECT_EQ(rig.surface.pixels(), alone.surface.pixels()) << "the primary as if alone";
    for (std::size_t i = 1; i < 3; ++i) {
      const MonitorAnimation& a = rig.saver.monitors()[i];
      const auto& s = static_cast<const MemorySurface&>(a.surface());
      EXPECT_EQ(a.centerX() / s.TwipsPerPixelX() * 2, s.width()) << i;
      EXPECT_EQ(a.centerY() / s.TwipsPerPixelY() * 2, s.height()) << i;
      EXPECT_EQ(s.refreshCount(), i == 1 ? 200 : 100) << i << ": the kept monitor goes on";
      EXPECT_EQ(s.clsCount(), i == 1 ? 1 : 0) << i << ": its own flip at step 187";
      EXPECT_GT(s.LitPixels(), 100u) << i;
    }
    EXPECT_EQ(surfaces[0]->refreshCount(), 100) << "unplugged, not drawn any more";
    for (const char* once : {"MP3_Play", "MP3_Stop", "EndProcess"}) {
      EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), once), 1) << once;
    }
  }
}

}  // namespace
}  // namespace lw::display
