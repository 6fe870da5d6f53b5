#include "display/pixel_canvas.h"

#include <algorithm>
#include <cstring>

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
  Blank();
  std::fill(dirty_.begin(), dirty_.end(), std::uint8_t{1});
}

void PixelCanvas::Blank() {
  std::fill_n(pixels_, static_cast<std::size_t>(width_) * height_, 0u);
  std::fill(dirty_.begin(), dirty_.end(), std::uint8_t{0});
}

bool PixelCanvas::AnyDirty() const {
  return std::any_of(dirty_.begin(), dirty_.end(), [](std::uint8_t d) { return d != 0; });
}

std::vector<PixelRect> PixelCanvas::TakeDirtyRects() {
  // Runs of dirty tiles per tile row; a run identical to one in the row above extends it.
  std::vector<PixelRect> done;
  open_.clear();  // in tile units, still growing downward
  runAt_.resize(static_cast<std::size_t>(tilesX_), -1);
  for (int ty = 0; ty < tilesY_; ++ty) {
    runs_.clear();
    std::uint8_t* row = dirty_.data() + static_cast<std::size_t>(ty) * tilesX_;
    for (int tx = 0; tx < tilesX_;) {
      if (tx + 8 <= tilesX_) {  // most tiles are clean: skip them eight at a time
        std::uint64_t eight;
        std::memcpy(&eight, row + tx, sizeof eight);
        if (eight == 0) {
          tx += 8;
          continue;
        }
      }
      if (!row[tx]) { ++tx; continue; }
      const int start = tx;
      while (tx < tilesX_ && row[tx]) ++tx;
      runAt_[static_cast<std::size_t>(start)] = static_cast<int>(runs_.size());
      runs_.push_back({start, ty, tx, ty + 1});
    }
    if (open_.empty() && runs_.empty()) continue;
    if (!runs_.empty()) std::fill_n(row, tilesX_, std::uint8_t{0});
    // An open rectangle goes on when this row has a run with its left and right; the runs it does
    // not take start new rectangles, after the ones that went on.
    next_.clear();
    for (const PixelRect& o : open_) {
      const int k = runAt_[static_cast<std::size_t>(o.left)];
      if (k >= 0 && runs_[static_cast<std::size_t>(k)].right == o.right) {
        next_.push_back({o.left, o.top, o.right, ty + 1});
        runs_[static_cast<std::size_t>(k)].right = -1;  // taken
      } else {
        done.push_back(o);
      }
    }
    for (const PixelRect& r : runs_) {
      runAt_[static_cast<std::size_t>(r.left)] = -1;
      if (r.right >= 0) next_.push_back(r);
    }
    std::swap(open_, next_);
  }
  done.insert(done.end(), open_.begin(), open_.end());
  for (PixelRect& r : done) {
    r = {r.left << tileShift_, r.top << tileShift_, std::min(r.right << tileShift_, width_),
         std::min(r.bottom << tileShift_, height_)};
  }
  return done;
}

}  // namespace lw::display
