// The particle pass, the pixel canvas under it, and the first frames of the saver.
#include <gtest/gtest.h>

#include <cmath>

#include "display/memory_surface.h"
#include "display/particle_field.h"
#include "display_fakes.h"

namespace lw::display {
namespace {

using testing::ScriptedRandom;

TEST(DisplayCanvas, TwipsToPixel) {
  std::vector<std::uint32_t> pixels(20 * 10);
  PixelCanvas canvas(pixels.data(), 20, 10, 15.0f, 15.0f);
  const struct {
    float x, y;
    bool inside;
    int px, py;
  } cases[] = {
      {0, 0, true, 0, 0},          {14.9f, 14.9f, true, 0, 0},   {15, 30, true, 1, 2},
      {299.9f, 149.9f, true, 19, 9}, {300, 0, false, 0, 0},       {0, 150, false, 0, 0},
      {-0.01f, 5, false, 0, 0},    {NAN, 5, false, 0, 0},        {1e30f, -1e30f, false, 0, 0},
  };
  for (const auto& c : cases) {
    int px = -1, py = -1;
    EXPECT_EQ(canvas.ToPixel(c.x, c.y, px, py), c.inside) << c.x << "," << c.y;
    if (c.inside) {
      EXPECT_EQ(std::make_pair(px, py), std::make_pair(c.px, c.py)) << c.x << "," << c.y;
    }
  }
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

// A field of one particle; the pass at emitter (1500, 3000) on a 200 x 300 pixel surface.
struct OneParticle {
  MemorySurface surface{200, 300};
  ParticleField field{0};
};

// A particle emitted in a first pass with life L comes back after max(1, ceil(L)) passes, at the
// emitter of that pass.
TEST(DisplayParticles, ReEmissionByRemainingLife) {
  const struct {
    double life;
    int passes;       // including the pass of the first emission
    float expectedX;  // emitter 0 is at X 300, emitter 1 at 900
  } cases[] = {{0.4, 2, 900.0f}, {1.4, 3, 300.0f}, {1.0, 2, 900.0f}, {0.0, 2, 900.0f}, {3.0, 4, 900.0f}, {2.5, 4, 900.0f}};
  for (const auto& c : cases) {
    OneParticle p;
    // First pass: steps Y, X, then emission with life c.life, step Y 0, step X 0.
    ScriptedRandom random({0.5, 0.5, c.life / 500.0, 0.0, 0.5}, 0.5);
    const float emitX[2] = {300.0f, 900.0f};
    for (int pass = 0; pass < c.passes; ++pass) {
      EXPECT_NE(p.field.life[0], 250.0) << c.life << ": emitted again too early, pass " << pass;
      p.field.Pass(emitX[pass % 2], 600.0f, kBlack, p.surface, random);
    }
    EXPECT_EQ(p.field.posX[0], c.expectedX) << c.life;
    EXPECT_EQ(p.field.life[0], 250.0) << c.life;
  }
}

TEST(DisplayParticles, DrawOrderWithinAPass) {
  // Draws: step Y, step X, [life, emission step Y, emission step X].
  OneParticle p;
  p.field.posX[0] = 150;
  p.field.posY[0] = 150;
  p.field.stepX[0] = -30;  // moves right two pixels
  p.field.stepY[0] = 15;   // moves up one pixel
  p.field.life[0] = 5;
  ScriptedRandom random({0.25, 0.75});
  p.field.Pass(0, 0, kBlack, p.surface, random);
  EXPECT_EQ(p.field.stepY[0], 25.0);
  EXPECT_EQ(p.field.stepX[0], -25.0);
  EXPECT_EQ(p.field.life[0], 4.0);
  EXPECT_EQ(p.surface.Pixel(12, 9), kYellow);
  EXPECT_EQ(p.surface.Pixel(10, 10), kBlack);
  EXPECT_EQ(random.drawn, 2);

  ScriptedRandom emit({0.1, 0.2, 0.4, 0.6, 0.8});
  p.field.life[0] = 1;
  p.field.Pass(1500, 3000, kBlack, p.surface, emit);
  EXPECT_DOUBLE_EQ(p.field.life[0], 200.0);
  EXPECT_DOUBLE_EQ(p.field.stepY[0], -9.0);
  EXPECT_DOUBLE_EQ(p.field.stepX[0], -3.0);
  EXPECT_EQ(std::make_pair(p.field.posX[0], p.field.posY[0]), std::make_pair(1500.0, 3000.0));
  EXPECT_EQ(p.surface.Pixel(100, 200), kYellow);
  EXPECT_EQ(p.surface.LitPixels(), 1u) << "black trail erased the old pixel";
}

TEST(DisplayParticles, TrailColourDecidesWhetherOldPixelsStay) {
  const struct {
    std::uint32_t trail;
    std::size_t lit;
  } cases[] = {{kBlack, 1}, {kYellow, 6}};
  for (const auto& c : cases) {
    OneParticle p;
    p.field.posX[0] = p.field.posY[0] = 1500;
    p.field.life[0] = 100;
    ScriptedRandom random({}, 0.999);  // every step -49.9: moves 3.3 pixels right and down
    for (int pass = 0; pass < 6; ++pass) p.field.Pass(0, 0, c.trail, p.surface, random);
    EXPECT_EQ(p.surface.LitPixels(), c.lit) << c.trail;
  }
}

TEST(DisplayParticles, FieldSizeFollowsParticleCount) {
  const struct {
    std::int16_t count;
    std::size_t size;
  } cases[] = {{600, 601}, {0, 1}, {-1, 0}, {-32768, 0}, {32767, 32768}};
  for (const auto& c : cases) EXPECT_EQ(ParticleField(c.count).size(), c.size) << c.count;
}

}  // namespace
}  // namespace lw::display
