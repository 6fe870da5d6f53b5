// A DisplaySurface in plain memory: for tests, benchmarks and rendering still pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display_surface.h"
#include "display/pixel_canvas.h"

namespace lw::display {

class MemorySurface final : public DisplaySurface {
 public:
  // A drawing area of width x height pixels that is also the whole screen.
  MemorySurface(int width, int height, float twipsPerPixelX = 15.0f, float twipsPerPixelY = 15.0f);

  float ScaleWidth() const override { return static_cast<float>(canvas_.width()) * canvas_.twipsPerPixelX(); }
  float ScaleHeight() const override { return static_cast<float>(canvas_.height()) * canvas_.twipsPerPixelY(); }
  float ScreenWidth() const override { return ScaleWidth(); }
  float ScreenHeight() const override { return ScaleHeight(); }
  float TwipsPerPixelX() const override { return canvas_.twipsPerPixelX(); }
  float TwipsPerPixelY() const override { return canvas_.twipsPerPixelY(); }
  void PSet(float x, float y, std::uint32_t colour) override { canvas_.PSet(x, y, colour); }
  void Cls() override;
  void Refresh() override;
  PixelCanvas* Canvas() override { return &canvas_; }

  // Colour (0x00BBGGRR) of one pixel.
  std::uint32_t Pixel(int px, int py) const;
  std::size_t LitPixels() const;  // pixels that are not black
  int width() const { return canvas_.width(); }
  int height() const { return canvas_.height(); }
  int clsCount() const { return clsCount_; }
  int refreshCount() const { return refreshCount_; }
  // Pixels in 0x00RRGGBB order, rows top-down.
  const std::vector<std::uint32_t>& pixels() const { return pixels_; }
  // When kept, each Cls first copies the pixels it is about to clear.
  void KeepPixelsBeforeClear(bool keep) { keepBeforeClear_ = keep; }
  const std::vector<std::uint32_t>& pixelsBeforeClear() const { return beforeClear_; }

 private:
  std::vector<std::uint32_t> pixels_;
  PixelCanvas canvas_;
  bool keepBeforeClear_ = false;
  std::vector<std::uint32_t> beforeClear_;
  int clsCount_ = 0;
  int refreshCount_ = 0;
};

}  // namespace lw::display
