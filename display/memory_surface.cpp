#include "display/memory_surface.h"

#include <algorithm>

namespace lw::display {

MemorySurface::MemorySurface(int width, int height, float twipsPerPixelX, float twipsPerPixelY)
    : pixels_(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), 0u),
      canvas_(pixels_.data(), width, height, twipsPerPixelX, twipsPerPixelY) {}

void MemorySurface::Cls() {
  if (keepBeforeClear_) beforeClear_ = pixels_;
  canvas_.Clear();
  ++clsCount_;
}

void MemorySurface::Refresh() {
  canvas_.TakeDirtyRects();
  ++refreshCount_;
}

std::uint32_t MemorySurface::Pixel(int px, int py) const {
  if (px < 0 || py < 0 || px >= width() || py >= height()) return kBlack;
  return PixelCanvas::ToDib(canvas_.PixelAt(px, py));  // the swap is its own inverse
}

std::size_t MemorySurface::LitPixels() const {
  return static_cast<std::size_t>(std::count_if(pixels_.begin(), pixels_.end(), [](std::uint32_t p) { return p != 0; }));
}

}  // namespace lw::display
