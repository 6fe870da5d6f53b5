#include "startup/preview.h"

#include <algorithm>

#include "platform/conversions.h"

namespace lw::startup {
namespace {

std::int16_t ExtentTwips(std::int32_t from, std::int32_t to, double twipsPerPixel) {
  std::int16_t twips = 0;
  // 64-bit difference: a hostile rectangle must not overflow before the range check.
  const auto pixels = static_cast<std::int64_t>(to) - static_cast<std::int64_t>(from);
  if (const auto fitted = RoundToInt16(twipsPerPixel * static_cast<double>(pixels))) twips = *fitted;
  return twips;
}

std::int32_t ExtentPixels(std::int16_t twips, double twipsPerPixel) {
  if (twips <= 0 || !(twipsPerPixel > 0)) return 0;
  return static_cast<std::int32_t>(RoundHalfEven(twips / twipsPerPixel));
}

}  // namespace

double TwipsPerPixel(int dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }

PreviewLayout LayoutPreview(const ScreenRect& parent, double twipsPerPixelX, double twipsPerPixelY) {
  PreviewLayout layout;
  layout.widthTwips = ExtentTwips(parent.left, parent.right, twipsPerPixelX);
  layout.heightTwips = ExtentTwips(parent.top, parent.bottom, twipsPerPixelY);
  layout.widthPixels = ExtentPixels(layout.widthTwips, twipsPerPixelX);
  layout.heightPixels = ExtentPixels(layout.heightTwips, twipsPerPixelY);
  return layout;
}

}  // namespace lw::startup
