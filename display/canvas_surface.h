// A screen surface whose pixels are a PixelCanvas in memory, its drawing area the whole screen.
// The platform's subclass owns the pixel memory and presents it; what the saver asks of the
// surface's size and scale is answered here once for every platform.
#pragma once

#include <cstdint>
#include <optional>

#include "display/display_surface.h"
#include "display/pixel_canvas.h"

namespace lw::display {

class CanvasSurface : public DisplaySurface {
 public:
  float ScaleWidth() const override { return width_ * twipsPerPixel_; }
  float ScaleHeight() const override { return height_ * twipsPerPixel_; }
  float ScreenWidth() const override { return ScaleWidth(); }
  float ScreenHeight() const override { return ScaleHeight(); }
  float TwipsPerPixelX() const override { return twipsPerPixel_; }
  float TwipsPerPixelY() const override { return twipsPerPixel_; }
  void PSet(float x, float y, std::uint32_t colour) override {
    if (canvas_) canvas_->PSet(x, y, colour);
  }
  PixelCanvas* Canvas() override { return canvas_ ? &*canvas_ : nullptr; }

 protected:
  CanvasSurface() = default;
  CanvasSurface(int width, int height, float twipsPerPixel)
      : width_(width), height_(height), twipsPerPixel_(twipsPerPixel) {}

  int width_ = 0, height_ = 0;
  float twipsPerPixel_ = 15.0f;
  std::optional<PixelCanvas> canvas_;  // none until the platform has pixel memory for it
};

}  // namespace lw::display
