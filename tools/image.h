// Pictures made by the artwork generators, and the three file formats the program's resources
// use: 24-bit BMP, icons with 32-bit entries and monochrome cursors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lw::art {

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Pixels in rows from the top; every pixel lies inside, so at() never checks.
class Image {
 public:
  Image(int width, int height, Rgba fill = {});
  int width() const { return width_; }
  int height() const { return height_; }
  Rgba& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const Rgba& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

 private:
  int width_;
  int height_;
  std::vector<Rgba> pixels_;
};

using Bytes = std::vector<std::uint8_t>;

// A bottom-up 24-bit BMP file; alpha is dropped.
Bytes EncodeBmp24(const Image& image);
// Reads back a file written by EncodeBmp24 (uncompressed 24-bit, either row order); an empty
// 0 x 0 image when the bytes are not one.
Image DecodeBmp24(const Bytes& file);

// An icon file with one 32-bit entry per image (straight alpha, AND mask where alpha < 128).
// Sizes from 1 to 256 pixels.
Bytes EncodeIcon(const std::vector<Image>& sizes);

// A monochrome cursor file: opaque black, opaque white, and transparent (alpha < 128).
Bytes EncodeMonochromeCursor(const Image& image, int hotX, int hotY);

bool WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

}  // namespace lw::art
