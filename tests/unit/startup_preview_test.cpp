// Preview sizing: parent size to 16-bit twips (half to even, 0 when it does not fit) and back.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>

#include "startup/preview.h"
#include "startup/preview_picture.h"

namespace lw::startup {
namespace {

TEST(PreviewLayout, ParentSizes) {
  struct Case {
    const char* what;
    ScreenRect parent;
    double tpp;
    PreviewLayout expected;  // width/height in twips, then in pixels
  };
  const Case cases[] = {
      {"standard preview area", {300, 200, 452, 312}, 15, {2280, 1680, 152, 112}},
      {"larger parent", {0, 0, 200, 150}, 15, {3000, 2250, 200, 150}},
      {"negative screen position", {-500, -40, -348, 72}, 15, {2280, 1680, 152, 112}},
      {"widest that fits", {0, 0, 2184, 10}, 15, {32760, 150, 2184, 10}},
      {"too wide: width stays 0, height still set", {0, 0, 2185, 112}, 15, {0, 1680, 0, 112}},
      {"too tall: height stays 0", {0, 0, 152, 2185}, 15, {2280, 0, 152, 0}},
      {"not a window: empty rectangle", {0, 0, 0, 0}, 15, {0, 0, 0, 0}},
      {"inverted rectangle gives no window", {100, 100, 0, 0}, 15, {-1500, -1500, 0, 0}},
      {"extreme rectangle does not overflow", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 15, {0, 0, 0, 0}},
      {"120 dpi", {0, 0, 152, 112}, 12, {1824, 1344, 152, 112}},
      {"144 dpi", {0, 0, 152, 112}, 10, {1520, 1120, 152, 112}},
      {"192 dpi: 151 x 7.5 = 1132.5 rounds down to even", {0, 0, 151, 151}, 7.5, {1132, 1132, 151, 151}},
      {"192 dpi: 153 x 7.5 = 1147.5 rounds up to even", {0, 0, 153, 153}, 7.5, {1148, 1148, 153, 153}},
      {"192 dpi: 4368 fits, 4369 x 7.5 = 32767.5 rounds out of range", {0, 0, 4368, 4369}, 7.5, {32760, 0, 4368, 0}},
  };
  for (const auto& c : cases) {
    const PreviewLayout got = LayoutPreview(c.parent, c.tpp, c.tpp);
    EXPECT_EQ(got.widthTwips, c.expected.widthTwips) << c.what;
    EXPECT_EQ(got.heightTwips, c.expected.heightTwips) << c.what;
    EXPECT_EQ(got.widthPixels, c.expected.widthPixels) << c.what;
    EXPECT_EQ(got.heightPixels, c.expected.heightPixels) << c.what;
  }
}

TEST(PreviewLayout, AxesUseTheirOwnFactor) {
  const PreviewLayout got = LayoutPreview({0, 0, 100, 100}, 15, 12);
  EXPECT_EQ(got.widthTwips, 1500);
  EXPECT_EQ(got.heightTwips, 1200);
  EXPECT_EQ(got.widthPixels, 100);
  EXPECT_EQ(got.heightPixels, 100);
}

TEST(PreviewLayout, TwipsPerPixel) {
  const struct {
    int dpi;
    double expected;
  } cases[] = {{96, 15}, {120, 12}, {144, 10}, {192, 7.5}, {0, 15}, {-96, 15}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(TwipsPerPixel(c.dpi), c.expected) << c.dpi;
}


// The lit part of a picture: left, top, right, bottom (exclusive).
std::array<int, 4> LitBox(const Picture& p) {
  std::array<int, 4> box{p.width, p.height, 0, 0};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (p.pixels[static_cast<std::size_t>(y) * p.width + x] != 0)
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
  return box;
}

// At any DPI the same picture, keeping its size in twips: drawn at more pixels, not cropped or moved.
TEST(PreviewPicture, KeepsItsSizeInTwipsAtAnyDpi) {
  const Picture screen = RenderPreviewScreen();
  const std::array<int, 4> at96 = LitBox(ReducePreviewScreen(screen, 152, 112));
  const struct {
    int dpi, width, height;
  } cases[] = {{96, 152, 112}, {144, 228, 168}, {120, 190, 140}, {0, 38, 28}, {100000, 760, 560}};
  for (const auto& c : cases) {
    const auto [width, height] = PreviewSize(c.dpi);
    ASSERT_EQ(width, c.width) << c.dpi;
    ASSERT_EQ(height, c.height) << c.dpi;
    const Picture picture = ReducePreviewScreen(screen, width, height);
    const std::array<int, 4> box = LitBox(picture);
    // Within one pixel of the 96-DPI picture and one of its own.
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(box[i], at96[i] * c.width / 152.0, 1 + c.width / 152.0) << c.dpi << " edge " << i;
  }
}

}  // namespace
}  // namespace lw::startup
