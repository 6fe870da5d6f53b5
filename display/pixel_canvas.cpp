#include "display/pixel_canvas.h"

#include <algorithm>

namespace lw::display {

PixelCanvas::PixelCanvas(std::uint32_t* pixels, int width, int height, float twipsPerPixelX, float twipsPerPixelY,
                         int tileShift)
    : pixels_(pixels),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      twipsPerPixelX_(twipsPerPixelX),
      twipsPerPixelY_(twipsPerPixelY),
      pixelsPerTwipX_(twipsPerPixelX > 0 ? 1.0 / twipsPerPixelX : 0.0),
      pixelsPerTwipY_(twipsPerPixelY > 0 ? 1.0 / twipsPerPixelY : 0.0),
      tileShift_(std::clamp(tileShift, 0, 12)),
      tilesX_((width_ + (1 << tileShift_) - 1) >> tileShift_),
      tilesY_((height_ + (1 << tileShift_) - 1) >> tileShift_),
      dirty_(static_cast<std::size_t>(tilesX_) * tilesY_, 0) {}

void PixelCanvas::Clear() {
  std::fill_n(pixels_, static_cast<std::size_t>(width_) * height_, 0u);
  std::fill(dirty_.begin(), dirty_.end(), std::uint8_t{1});
}

bool PixelCanvas::AnyDirty() const {
  return std::any_of(dirty_.begin(), dirty_.end(), [](std::uint8_t d) { return d != 0; });
}

std::vector<PixelRect> PixelCanvas::TakeDirtyRects() {
  // Runs of dirty tiles per tile row; a run identical to one in the row above extends it.
  std::vector<PixelRect> done;
  std::vector<PixelRect> open;  // in tile units, still growing downward
  for (int ty = 0; ty < tilesY_; ++ty) {
    std::vector<PixelRect> runs;
    const std::uint8_t* row = &dirty_[static_cast<std::size_t>(ty) * tilesX_];
    for (int tx = 0; tx < tilesX_;) {
      if (!row[tx]) { ++tx; continue; }
      const int start = tx;
      while (tx < tilesX_ && row[tx]) ++tx;
      runs.push_back({start, ty, tx, ty + 1});
    }
    std::vector<PixelRect> next;
    for (PixelRect& o : open) {
      auto same = std::find_if(runs.begin(), runs.end(),
                               [&](const PixelRect& r) { return r.left == o.left && r.right == o.right; });
      if (same != runs.end()) {
        o.bottom = ty + 1;
        next.push_back(o);
        runs.erase(same);
      } else {
        done.push_back(o);
      }
    }
    next.insert(next.end(), runs.begin(), runs.end());
    open = std::move(next);
  }
  done.insert(done.end(), open.begin(), open.end());
  for (PixelRect& r : done) {
    r = {r.left << tileShift_, r.top << tileShift_, std::min(r.right << tileShift_, width_),
         std::min(r.bottom << tileShift_, height_)};
  }
  std::fill(dirty_.begin(), dirty_.end(), std::uint8_t{0});
  return done;
}

}  // namespace lw::display
