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
  };
  for (const auto& c : cases) EXPECT_EQ(PlanSaverWindows(c.monitors, 1366, 768), c.expected);
}

// Two side monitors (width, height, twips per pixel); at frame 101 the first is unplugged and an
// 800 x 600 one plugged in; in the last frame twelve moves and a click arrive in one pump.
TEST(DisplayMonitors, EachMonitorSwingsAboutItsOwnCentreWhileLoopMusicAndEndingAreShared) {
  const std::vector<std::tuple<int, int, float>> layouts[] = {
      {{1024, 768, 15}, {1280, 1024, 15}}, {{1080, 1920, 10}, {640, 480, 15}}, {{2560, 1440, 10}, {800, 600, 15}}};
  for (const auto& layout : layouts) {
    testing::SaverRig alone, rig([] {
      settings::Settings s = testing::SaverRig::Defaults();
      s.bgmSource = settings::kSourceFile;
      s.bgmFile = L"a.mp3";
      return s;
    }());
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
    alone.saver.Form_Load();
    rig.saver.Form_Load();
    for (int frame = 1; frame <= 200; ++frame) {
      if (frame == 101) plug(800, 600, 15);
      if (frame == 200) rig.host.onPump = [&] {
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
