// The saver over several monitors: which windows open, one animation per monitor about its own
// centre, and one loop, one music and one ending shared by all.
#include <gtest/gtest.h>

#include <memory>

#include "display/monitor_layout.h"
#include "display_fakes.h"

namespace lw::display {
namespace {

TEST(DisplayMonitors, PlanPutsThePrimaryFirstAndDropsWhatCannotBeCovered) {
  const struct {
    const char* name;
    std::vector<MonitorArea> monitors;
    std::vector<SaverWindowPlan> expected;
  } cases[] = {
      {"left and right of the primary",
       {{-1024, 0, 0, 768, 96, false}, {0, 0, 1920, 1080, 96, true}, {1920, 0, 3200, 1024, 96, false}},
       {{0, 0, 1920, 1080, 15}, {-1024, 0, 1024, 768, 15}, {1920, 0, 1280, 1024, 15}}},
      {"portrait above, 144 DPI",
       {{0, 0, 2560, 1440, 144, true}, {200, -1920, 1280, 0, 144, false}},
       {{0, 0, 2560, 1440, 10}, {200, -1920, 1080, 1920, 10}}},
      {"no primary marked: the one at the origin",
       {{-800, -600, 0, 0, 96, false}, {0, 0, 800, 600, 96, false}},
       {{0, 0, 800, 600, 15}, {-800, -600, 800, 600, 15}}},
      {"mirrored, empty and a DPI of 0",
       {{0, 0, 1024, 768, 0, true}, {0, 0, 1024, 768, 96, false}, {1024, 0, 1024, 768, 96, false}},
       {{0, 0, 1024, 768, 15}}},
      {"nothing reported", {}, {{0, 0, 1366, 768, 15}}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlanSaverWindows(c.monitors, 1366, 768), c.expected) << c.name;
}

struct Size {
  int width, height;
  float twipsPerPixel = 15;
};

// A saver over a primary and further monitors, each with its own memory surface and random source.
struct MultiRig {
  explicit MultiRig(const std::vector<Size>& sizes, std::int16_t count = 600) : rig(Settings(count)) {
    for (const Size& s : sizes) AddMonitor(s);
    rig.saver.SetMonitors(rig.surface, Ports());
  }
  static settings::Settings Settings(std::int16_t count) {
    settings::Settings s = testing::SaverRig::Defaults();
    s.particleCount = count;
    s.bgmSource = settings::kSourceFile;
    s.bgmFile = L"a.mp3";
    return s;
  }
  void AddMonitor(Size s) {
    surfaces.push_back(std::make_unique<MemorySurface>(s.width, s.height, s.twipsPerPixel, s.twipsPerPixel));
    randoms.push_back(std::make_unique<UniformRandom>());
  }
  std::vector<MonitorPorts> Ports() {
    std::vector<MonitorPorts> ports;
    for (std::size_t i = 0; i < surfaces.size(); ++i) ports.push_back({*surfaces[i], *randoms[i]});
    return ports;
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      rig.clock.now += 16;
      rig.saver.Frame();
    }
  }
  testing::SaverRig rig;
  std::vector<std::unique_ptr<MemorySurface>> surfaces;
  std::vector<std::unique_ptr<UniformRandom>> randoms;
};

TEST(DisplayMonitors, EachMonitorSwingsAboutItsOwnCentreAndThePrimaryIsUnchanged) {
  const std::vector<Size> layouts[] = {
      {{1024, 768}, {1280, 1024}},
      {{1080, 1920, 10}},  // portrait at 144 DPI
      {{2560, 1440, 10}, {640, 480}},
  };
  testing::SaverRig alone;
  alone.saver.Form_Load();
  for (int i = 0; i < 200; ++i) {
    alone.clock.now += 16;
    alone.saver.Frame();
  }
  for (const auto& layout : layouts) {
    MultiRig m(layout);
    m.rig.saver.Form_Load();
    m.Frames(200);
    EXPECT_EQ(m.rig.surface.pixels(), alone.surface.pixels()) << layout.size();
    EXPECT_EQ(std::count(m.rig.log.begin(), m.rig.log.end(), "MP3_Play"), 1);
    for (std::size_t i = 0; i < layout.size(); ++i) {
      const MonitorAnimation& a = m.rig.saver.monitors()[i + 1];
      const MemorySurface& s = *m.surfaces[i];
      EXPECT_EQ(a.centerX() / s.TwipsPerPixelX(), s.width() / 2) << i;
      EXPECT_EQ(a.centerY() / s.TwipsPerPixelY(), s.height() / 2) << i;
      EXPECT_EQ(s.refreshCount(), 200) << i;
      EXPECT_EQ(s.clsCount(), 1) << i << ": its own flip at step 187";
      EXPECT_GT(s.LitPixels(), 100u) << i;
      EXPECT_NE(s.pixels(), m.rig.surface.pixels()) << i;
    }
  }
}

TEST(DisplayMonitors, InputFromAnyWindowIsOneCountAndEndsOnceAcrossDisplayChanges) {
  const struct {
    const char* name;
    std::vector<int> movesPerFrame;
    int clicks;
    bool ends;
  } cases[] = {
      {"ten moves over three frames and a monitor removed", {4, 3, 3}, 0, false},
      {"the eleventh move in the third frame", {4, 3, 4}, 0, true},
      {"two clicks and moves in one frame", {0, 0, 12}, 2, true},
  };
  for (const auto& c : cases) {
    MultiRig m({{1024, 768}, {1280, 1024}});
    m.rig.saver.Form_Load();
    int frame = 0;
    m.rig.host.onPump = [&] {
      for (int i = 0; i < c.movesPerFrame[frame]; ++i) m.rig.saver.Form_MouseMove();
      if (frame == 2)
        for (int i = 0; i < c.clicks; ++i) m.rig.saver.Form_Click();
    };
    for (frame = 0; frame < 3; ++frame) {
      if (frame == 1) {  // the first side monitor goes, a new one comes
        m.surfaces.erase(m.surfaces.begin());
        m.randoms.erase(m.randoms.begin());
        m.AddMonitor({800, 600});
        m.rig.saver.SetMonitors(m.rig.surface, m.Ports());
      }
      m.Frames(1);
    }
    EXPECT_EQ(m.rig.saver.monitors().size(), 3u) << c.name;
    EXPECT_EQ(m.surfaces[0]->refreshCount(), 3) << c.name << ": the kept monitor goes on";
    EXPECT_EQ(m.surfaces[1]->refreshCount(), 2) << c.name;
    EXPECT_EQ(m.rig.saver.endFlag(), c.ends) << c.name;
    EXPECT_EQ(std::count(m.rig.log.begin(), m.rig.log.end(), "EndProcess"), c.ends ? 1 : 0) << c.name;
    EXPECT_EQ(std::count(m.rig.log.begin(), m.rig.log.end(), "MP3_Stop"), c.ends ? 1 : 0) << c.name;
  }
}

}  // namespace
}  // namespace lw::display
