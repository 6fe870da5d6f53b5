// The button's face: border-piece geometry, gradient vertices and the caption's place.
#include <gtest/gtest.h>

#include "tests/unit/controls_fakes.h"

namespace lw::controls {
namespace {

using testing::RecordingHost;
using testing::RecordingSurface;

TEST(CommandPaint, PieceGeometry) {
  struct Case {
    double w, h, twipsPerPixel;
    std::array<SkinPiece, 8> expected;
  };
  // Corners copied unscaled (4 px), top and bottom strips stretched or squeezed from 56 px, side
  // strips copied 1:1 (17 px). Sources: corners and strips of the 64 x 25 skin.
  const PixelRect cornerTL{0, 0, 4, 4}, top{4, 0, 56, 4}, cornerTR{60, 0, 4, 4}, right{60, 4, 4, 17},
      cornerBR{60, 21, 4, 4}, bottom{4, 21, 56, 4}, cornerBL{0, 21, 4, 4}, left{0, 4, 4, 17};
  const Case cases[] = {
      {1215, 375, 15,
       {{{{0, 0, 4, 4}, cornerTL}, {{4, 0, 73, 4}, top}, {{77, 0, 4, 4}, cornerTR}, {{77, 4, 4, 17}, right},
         {{77, 21, 4, 4}, cornerBR}, {{4, 21, 73, 4}, bottom}, {{0, 21, 4, 4}, cornerBL}, {{0, 4, 4, 17}, left}}}},
      {435, 375, 15,
       {{{{0, 0, 4, 4}, cornerTL}, {{4, 0, 21, 4}, top}, {{25, 0, 4, 4}, cornerTR}, {{25, 4, 4, 17}, right},
         {{25, 21, 4, 4}, cornerBR}, {{4, 21, 21, 4}, bottom}, {{0, 21, 4, 4}, cornerBL}, {{0, 4, 4, 17}, left}}}},
      // 144 dots per inch: everything half as large again; edges meet (115.5 rounds to even 116).
      {1215, 375, 10,
       {{{{0, 0, 6, 6}, cornerTL}, {{6, 0, 110, 6}, top}, {{116, 0, 6, 6}, cornerTR}, {{116, 6, 6, 26}, right},
         {{116, 32, 6, 6}, cornerBR}, {{6, 32, 110, 6}, bottom}, {{0, 32, 6, 6}, cornerBL}, {{0, 6, 6, 26}, left}}}},
      // Narrower than two corners: the strips are empty.
      {100, 375, 15,
       {{{{0, 0, 4, 4}, cornerTL}, {{4, 0, 0, 4}, top}, {{3, 0, 4, 4}, cornerTR}, {{3, 4, 4, 17}, right},
         {{3, 21, 4, 4}, cornerBR}, {{4, 21, 0, 4}, bottom}, {{0, 21, 4, 4}, cornerBL}, {{0, 4, 4, 17}, left}}}},
      // Beyond 16-bit twips the middle sizes stay 0.
      {40000, 375, 15,
       {{{{0, 0, 4, 4}, cornerTL}, {{4, 0, 0, 4}, top}, {{2663, 0, 4, 4}, cornerTR}, {{2663, 4, 4, 17}, right},
         {{2663, 21, 4, 4}, cornerBR}, {{4, 21, 0, 4}, bottom}, {{0, 21, 4, 4}, cornerBL}, {{0, 4, 4, 17}, left}}}},
  };
  for (const auto& c : cases) {
    const auto pieces = SkinPieces(c.w, c.h, c.twipsPerPixel);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      EXPECT_EQ(pieces[i].dest, c.expected[i].dest) << c.w << "x" << c.h << " piece " << i + 1;
      EXPECT_EQ(pieces[i].source, c.expected[i].source) << c.w << "x" << c.h << " piece " << i + 1;
    }
  }
}

TEST(CommandPaint, OnePaint) {
  struct Case {
    double w, h;
    std::size_t piecesDrawn;
    GradientFill gradient;
    double captionTop;
  };
  const Case cases[] = {
      {1215, 375, 8, {0, 0, 80, 24, kGradientWhite, kFaceTint}, 80},
      {435, 375, 8, {0, 0, 28, 24, kGradientWhite, kFaceTint}, 80},
      {1215, 600, 8, {0, 0, 80, 39, kGradientWhite, kFaceTint}, 192.5},
      {100, 100, 4, {0, 0, 6, 6, kGradientWhite, kFaceTint}, -57.5},  // only the corners fit
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    surface.width = c.w;
    surface.height = c.h;
    RecordingHost host;
    Command button(surface, host);
    button.ReadProperties(PropertyBag{}, testing::AmbientFont());
    ASSERT_EQ(surface.paints.size(), 1u);
    const auto& paint = surface.paints.front();
    EXPECT_EQ(paint.skin(), Skin::Normal);
    EXPECT_EQ(paint.pieces.size(), c.piecesDrawn) << c.w << "x" << c.h;
    EXPECT_EQ(paint.gradient, c.gradient) << c.w << "x" << c.h;
    EXPECT_EQ(surface.presents, 2);  // after the gradient and after the border
    EXPECT_EQ(button.Label().top, c.captionTop);
    EXPECT_EQ(button.Label().left, 0);
    EXPECT_EQ(button.Label().width, c.w);
    EXPECT_EQ(button.Label().height, 195);
  }
}

}  // namespace
}  // namespace lw::controls
