// The spring model, the emitter mapping and the centre-line crossings.
#include <gtest/gtest.h>

#include <cmath>

#include "display/memory_surface.h"
#include "display/spring_model.h"

namespace lw::display {
namespace {

TEST(DisplaySpring, FirstStepFromStartStateToFiveDigits) {
  SpringModel m;
  m.Step();
  const struct {
    const char* name;
    float value;
    double expected;
  } cases[] = {
      {"Dist1", m.dist1, 2.7857},  {"Dist2", m.dist2, 1.1662},   {"Force1", m.force1, 2.5857},
      {"Force2", m.force2, 0.96619}, {"BobAX", m.bobAX, -2.9104}, {"BobAY", m.bobAY, -1.7567},
      {"BobVX", m.bobVX, 1.3709},  {"BobVY", m.bobVY, 1.7824},   {"BobX", m.bobX, 1.6137},
      {"BobY", m.bobY, 1.0178},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(c.value, c.expected, std::abs(c.expected) * 5e-5) << c.name;
  }
}

TEST(DisplaySpring, SlackOrDegenerateSpringsPullNothing) {
  const struct {
    const char* name;
    float bobX, bobY;
    bool leftSlack, rightSlack;
  } cases[] = {
      {"left within rest length", -0.9f, 0.1f, true, false},
      {"right exactly at rest length", 0.8f, 0.0f, false, true},
      {"on the left anchor (distance 0)", -1.0f, 0.0f, true, false},
      {"on the right anchor (distance 0)", 1.0f, 0.0f, false, true},
  };
  for (const auto& c : cases) {
    SpringModel m;
    m.bobX = c.bobX;
    m.bobY = c.bobY;
    m.bobVX = m.bobVY = 0;
    m.Step();
    EXPECT_TRUE(std::isfinite(m.bobX) && std::isfinite(m.bobY)) << c.name;
    EXPECT_EQ(c.leftSlack, m.force1X == 0.0f && m.force1Y == 0.0f) << c.name;
    EXPECT_EQ(c.rightSlack, m.force2X == 0.0f && m.force2Y == 0.0f) << c.name;
    EXPECT_NE(m.force1 + m.force2, 0.0f) << c.name << ": the other spring still pulls";
  }
}

TEST(DisplayEmitters, FirstStepOnFullHdMapsAndMirrors) {
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
  EXPECT_EQ(surface.clsCount(), 0);
}

TEST(DisplayEmitters, FlipsAlternateAtTheCentreLine) {
  MemorySurface surface(1920, 1080);
  SpringModel m;
  EmitterState s;
  std::vector<int> flips;
  std::vector<std::uint32_t> colours;
  float maxX = 0, maxY = 0;
  for (int step = 1; step <= 5000; ++step) {
    const std::uint32_t before = s.trailColour;
    EmitterStep(m, s, 14400, 8100, surface);
    maxX = std::max(maxX, std::abs(m.bobX));
    maxY = std::max(maxY, std::abs(m.bobY));
    if (s.trailColour != before) {
      flips.push_back(step);
      colours.push_back(s.trailColour);
    }
  }
  ASSERT_GE(flips.size(), 4u);
  EXPECT_EQ(flips[0], 187);
  EXPECT_EQ(flips[1], 421);
  EXPECT_EQ(colours[0], kYellow);
  EXPECT_EQ(colours[1], kBlack);
  for (std::size_t i = 2; i < flips.size(); ++i) {
    EXPECT_NEAR(flips[i] - flips[i - 1], 235, 30) << "flip " << i;
    EXPECT_EQ(colours[i], i % 2 ? kBlack : kYellow);
  }
  EXPECT_EQ(surface.clsCount(), static_cast<int>(flips.size()));
  EXPECT_LT(maxX, 2.32f);
  EXPECT_LT(maxY, 1.68f);
}

TEST(DisplayEmitters, TallScreensKeepAThirtyTwoBitReference) {
  // 4000 pixels tall at 15 twips: emitter Y passes 32767 twips.
  MemorySurface surface(100, 4400);
  SpringModel m;
  m.bobY = -1.0f;  // start below the centre so emitter 0 is far down
  EmitterState s;
  EmitterStep(m, s, 750, 33000, surface);
  EXPECT_GT(s.refY, 32767);
  EXPECT_EQ(s.refY, std::lround(s.emitY[0]));
}

}  // namespace
}  // namespace lw::display
