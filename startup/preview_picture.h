// The preview's still picture, rendered by the saver itself: the display form's own set-up and
// frames run on a screen in memory with a fixed seed, a clock that advances one display frame per
// frame, the default particle count and no music. The last frame of a phase of trails is reduced
// to the picture's size, so the picture is as sharp at any DPI as at 96 and shows the same.
#pragma once

#include <cstdint>
#include <vector>

namespace lw::startup {

// Pixels laid out 0x00RRGGBB, rows top-down; 0 x 0 when nothing could be rendered.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The picture keeps its size in twips, 2280 x 1680: 152 x 112 pixels at 96 DPI, 152 * dpi / 96 by
// 112 * dpi / 96 at others. A DPI outside 24 to 480 is taken as the nearer of the two.
struct PictureSize {
  int width, height;
};
PictureSize PreviewSize(int dpi);
// The saver's screen (1216 x 896 pixels at 96 DPI) at the end of the phase of trails shown.
Picture RenderPreviewScreen();
// The screen reduced to width x height: each picture pixel lit by the share of its area that the
// sparks lit, so thin trails keep their brightness at the small size.
Picture ReducePreviewScreen(const Picture& screen, int width, int height);
Picture RenderPreviewPicture(int dpi);  // at PreviewSize(dpi)

}  // namespace lw::startup
