// The settings dialog's placement, control geometry, background gradient and panel tiling.
#include <gtest/gtest.h>

#include <vector>

#include "dialog/dialog_layout.h"

namespace lw::dialog {
namespace {

TEST(DialogLayout, TwipsScaleWithTheDpi) {
  struct Case {
    Box twips;
    Box origin;
    int dpi;
    Box pixels;
  };
  const Case cases[] = {
      {{0, 0, kClientWidthTwips, kClientHeightTwips}, {}, 96, {0, 0, 465, 191}},
      {{0, 0, kClientWidthTwips, kClientHeightTwips}, {}, 144, {0, 0, 698, 287}},
      {twips::kPanel, {}, 96, {16, 16, 433, 117}},
      {twips::kSlider, twips::kPanel, 96, {292, 52, 77, 17}},
      {twips::kSave, {}, 120, {355, 185, 101, 31}},
      {twips::kCancel, {}, 192, {736, 296, 162, 50}},
      {twips::kMark[2], twips::kPanel, 144, {78, 138, 20, 20}},
  };
  for (const auto& c : cases) EXPECT_EQ(ToPixels(c.twips, c.dpi, c.origin), c.pixels) << c.dpi;
}

TEST(DialogLayout, EverythingDrawnScalesWithTheDpi) {
  struct Case {
    int dpi;
    DialogMetrics expected;
  };
  const Case cases[] = {
      {96, {465, 191, -13, 556, 20, 12, 1}},  {120, {581, 239, -16, 695, 25, 15, 1}},
      {144, {698, 287, -20, 834, 30, 18, 2}}, {192, {930, 382, -26, 1112, 40, 24, 2}},
      {0, {465, 191, -13, 556, 20, 12, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(MetricsAt(c.dpi), c.expected) << c.dpi;
}

TEST(DialogLayout, OpensCentredAThirdOfTheFreeHeightDown) {
  struct Case {
    double sw, sh, dw, dh;
    Placement expected;
  };
  const Case cases[] = {
      {1920, 1080, 471, 220, {724, 286}},
      {28800, 16200, 7065, 3300, {10867, 4300}},
      {1024, 768, 1024, 768, {0, 0}},
      {400, 300, 471, 220, {-35, 26}},       // wider than the screen: truncated toward zero
      {1000.5, 800, 0, 0.5, {500, 266}},     // 1000.5 rounds to 1000, 799.5 to 800
  };
  for (const auto& c : cases) {
    const Placement p = PlaceDialog(c.sw, c.sh, c.dw, c.dh);
    EXPECT_EQ(p.left, c.expected.left) << c.sw;
    EXPECT_EQ(p.top, c.expected.top) << c.sh;
  }
}

TEST(DialogLayout, GradientIsDarkBlueAtTheEdgesAndLavenderInTheMiddle) {
  struct Case {
    double height;
    std::size_t row;
    Rgb colour;
  };
  const Case cases[] = {
      {191, 0, {0, 0, 30}},   {191, 191, {0, 0, 30}},   {191, 95, {220, 220, 250}},
      {191, 96, {220, 220, 250}}, {287, 143, {220, 220, 250}}, {287, 287, {0, 0, 30}},
      {100, 25, {156, 156, 186}},  // sin(0.7855) x 220 = 155.58
  };
  for (const auto& c : cases) {
    const auto rows = GradientRows(c.height);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.height) + 1);
    EXPECT_EQ(rows[c.row], c.colour) << c.height << " row " << c.row;
  }
  EXPECT_TRUE(GradientRows(0).empty());
  EXPECT_TRUE(GradientRows(-3).empty());
}

std::vector<TilePosition> Grid(std::vector<int> xs, std::vector<int> ys) {
  std::vector<TilePosition> out;
  for (int x : xs)
    for (int y : ys) out.push_back({x, y});
  return out;
}

TEST(DialogLayout, StripCopiesCoverTheTargetColumnByColumn) {
  struct Case {
    int tw, th, sw, sh;
    std::vector<TilePosition> expected;
  };
  const std::vector<int> by20 = {0, 20, 40, 60, 80, 100, 120};
  const Case cases[] = {
      {100, 100, 20, 20, Grid(by20, by20)},
      {433, 117, 556, 20, Grid({0, 556}, by20)},
      {0, 0, 10, 10, Grid({0, 10}, {0, 10})},
      {100, 100, 0, 20, {}},
      {100, 100, 20, -1, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(TilePositions(c.tw, c.th, c.sw, c.sh), c.expected) << c.tw << "x" << c.th;
}

}  // namespace
}  // namespace lw::dialog
