// A 32-bit top-down pixel buffer addressed in twips, remembering which tiles changed since the
// last present. The same code stores into a Windows DIB section and into plain memory.
#pragma once

#include <cstdint>
#include <vector>

namespace lw::display {

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool operator==(const PixelRect&) const = default;
};

class PixelCanvas {
 public:
  static constexpr int kTileShift = 4;  // 16 x 16 pixel tiles: the cheapest to present, measured

  // `pixels` holds width * height values laid out 0x00RRGGBB (DIB order), rows top-down; it is
  // not owned. Twips per pixel must be positive. Changes are tracked in tiles of 2^tileShift.
  PixelCanvas(std::uint32_t* pixels, int width, int height, float twipsPerPixelX, float twipsPerPixelY,
              int tileShift = kTileShift);

  int width() const { return width_; }
  int height() const { return height_; }
  float twipsPerPixelX() const { return twipsPerPixelX_; }
  float twipsPerPixelY() const { return twipsPerPixelY_; }

  // The canvas's addresses and scales copied into a value: a pass that stores through it keeps
  // them in registers, where the byte stores of the tile marks would make every member reload.
  struct Writer {
    std::uint32_t* pixels;
    std::uint8_t* dirty;
    double pixelsPerTwipX, pixelsPerTwipY;
    double widthLimit, heightLimit;  // width and height, converted once
    int width, tileShift, tilesX;

    // The one conversion of a point in twips to a pixel: pixel i covers [i, i + 1) times the twips
    // per pixel. False when the point lies outside the buffer (NaN included).
    bool ToPixel(float x, float y, int& px, int& py) const {
      const double fx = static_cast<double>(x) * pixelsPerTwipX;
      const double fy = static_cast<double>(y) * pixelsPerTwipY;
      if (!(fx >= 0.0 && fx < widthLimit && fy >= 0.0 && fy < heightLimit)) return false;
      px = static_cast<int>(fx);
      py = static_cast<int>(fy);
      return true;
    }

    // Where the point's pixel lives, or null outside the buffer: a pass asks for it ahead of the store.
    const std::uint32_t* PixelAddress(float x, float y) const {
      int px, py;
      return ToPixel(x, y, px, py) ? pixels + static_cast<std::size_t>(py) * width + px : nullptr;
    }

    // Only a store that changes the pixel marks its tile: a spark redrawn over its own trail costs
    // nothing to present.
    void PSet(float x, float y, std::uint32_t colour) const {
      int px, py;
      if (!ToPixel(x, y, px, py)) return;
      std::uint32_t& pixel = pixels[static_cast<std::size_t>(py) * width + px];
      const std::uint32_t value = ToDib(colour);
      if (pixel == value) return;
      pixel = value;
      dirty[static_cast<std::size_t>(py >> tileShift) * tilesX + (px >> tileShift)] = 1;
    }
  };
  Writer writer() {
    return {pixels_, dirty_.data(), pixelsPerTwipX_, pixelsPerTwipY_, static_cast<double>(width_),
            static_cast<double>(height_), width_, tileShift_, tilesX_};
  }

  bool ToPixel(float x, float y, int& px, int& py) const {
    return Writer{nullptr, nullptr, pixelsPerTwipX_, pixelsPerTwipY_, static_cast<double>(width_),
                  static_cast<double>(height_), width_, 0, 0}.ToPixel(x, y, px, py);
  }

  void PSet(float x, float y, std::uint32_t colour) { writer().PSet(x, y, colour); }

  // Every pixel black and every tile changed.
  void Clear();
  // Every pixel black and no tile changed: for a surface that blanks the screen by other means.
  void Blank();

  // 0x00BBGGRR to the buffer's 0x00RRGGBB.
  static std::uint32_t ToDib(std::uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
  }
  std::uint32_t PixelAt(int px, int py) const { return pixels_[static_cast<std::size_t>(py) * width_ + px]; }

  // The changed area as rectangles (tiles merged along rows, then equal runs down columns),
  // clipped to the buffer; forgets it afterwards.
  std::vector<PixelRect> TakeDirtyRects();
  bool AnyDirty() const;

 private:
  std::uint32_t* pixels_;
  int width_, height_;
  float twipsPerPixelX_, twipsPerPixelY_;
  double pixelsPerTwipX_, pixelsPerTwipY_;
  int tileShift_;
  int tilesX_, tilesY_;
  std::vector<std::uint8_t> dirty_;
  // TakeDirtyRects' work lists, kept for their capacity; runAt_ is the run starting at each tile
  // column of the row being merged (-1: none).
  std::vector<PixelRect> open_, runs_, next_;
  std::vector<int> runAt_;
};

}  // namespace lw::display
