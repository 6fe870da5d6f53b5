// Sizing of the preview window: the parent's outer size is taken to twips and held in 16 bits,
// then brought back to pixels for the window itself. A size that does not fit in 16 bits stays 0.
#pragma once

#include <cstdint>

#include "startup/screen_rect.h"

namespace lw::startup {

struct PreviewLayout {
  std::int16_t widthTwips = 0;
  std::int16_t heightTwips = 0;
  // The window's size in pixels; never negative.
  std::int32_t widthPixels = 0;
  std::int32_t heightPixels = 0;
};

// Twips per pixel at `dpi` dots per inch (1440 / dpi); 15, the 96-dpi value, for a dpi that is
// not positive.
double TwipsPerPixel(int dpi);

// The preview's size for a parent whose outer rectangle is `parent`.
PreviewLayout LayoutPreview(const ScreenRect& parent, double twipsPerPixelX, double twipsPerPixelY);

}  // namespace lw::startup
