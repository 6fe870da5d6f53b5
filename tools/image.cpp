#include "tools/image.h"

#include <fstream>
#include <iterator>

namespace lw::art {
namespace {

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
std::uint32_t Get16(const Bytes& in, std::size_t at) { return in[at] | (in[at + 1] << 8); }
std::uint32_t Get32(const Bytes& in, std::size_t at) { return Get16(in, at) | (Get16(in, at + 2) << 16); }

// Rows of every bitmap inside these formats are padded to a multiple of 4 bytes.
std::uint32_t RowBytes(int width, int bitsPerPixel) { return ((static_cast<std::uint32_t>(width) * bitsPerPixel + 31) / 32) * 4; }

void PutInfoHeader(Bytes& out, int width, int height, int bitsPerPixel, std::uint32_t imageBytes, int paletteSize) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);  // planes
  Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, static_cast<std::uint32_t>(paletteSize));
  Put32(out, 0);
}

// The 1-bit AND mask of an icon or cursor entry: set where the picture is transparent.
void PutMask(Bytes& out, const Image& image) {
  const std::uint32_t rowBytes = RowBytes(image.width(), 1);
  for (int y = image.height() - 1; y >= 0; --y) {
    Bytes row(rowBytes, 0);
    for (int x = 0; x < image.width(); ++x)
      if (image.at(x, y).a < 128) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
}

Bytes IconEntry32(const Image& image) {
  Bytes out;
  const std::uint32_t colourBytes = RowBytes(image.width(), 32) * image.height();
  const std::uint32_t maskBytes = RowBytes(image.width(), 1) * image.height();
  PutInfoHeader(out, image.width(), image.height() * 2, 32, colourBytes + maskBytes, 0);
  for (int y = image.height() - 1; y >= 0; --y)
    for (int x = 0; x < image.width(); ++x) {
      const Rgba p = image.at(x, y);
      out.insert(out.end(), {p.b, p.g, p.r, p.a});
    }
  PutMask(out, image);
  return out;
}

struct DirectoryEntry {
  int width, height;
  std::uint16_t planesOrHotX, bitsOrHotY;
  const Bytes* data;
};

Bytes IconFile(std::uint16_t type, const std::vector<DirectoryEntry>& entries) {
  Bytes out;
  Put16(out, 0);
  Put16(out, type);
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
  for (const auto& e : entries) {
    out.push_back(static_cast<std::uint8_t>(e.width & 0xFF));  // 256 is written as 0
    out.push_back(static_cast<std::uint8_t>(e.height & 0xFF));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, e.planesOrHotX);
    Put16(out, e.bitsOrHotY);
    Put32(out, static_cast<std::uint32_t>(e.data->size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(e.data->size());
  }
  for (const auto& e : entries) out.insert(out.end(), e.data->begin(), e.data->end());
  return out;
}

}  // namespace

Image::Image(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

Bytes EncodeBmp24(const Image& image) {
  const std::uint32_t rowBytes = RowBytes(image.width(), 24);
  const std::uint32_t imageBytes = rowBytes * image.height();
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + imageBytes);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, image.width(), image.height(), 24, imageBytes, 0);
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgba p = image.at(x, y);
      out.insert(out.end(), {p.b, p.g, p.r});
    }
    out.resize(out.size() + rowBytes - 3 * static_cast<std::uint32_t>(image.width()), 0);
  }
  return out;
}

Image DecodeBmp24(const Bytes& file) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M' || Get32(file, 14) < 40 || Get16(file, 28) != 24 ||
      Get32(file, 30) != 0)
    return Image(0, 0);
  const std::int64_t width = static_cast<std::int32_t>(Get32(file, 18));
  const std::int64_t rawHeight = static_cast<std::int32_t>(Get32(file, 22));
  const std::int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;  // negative: rows top-down
  const std::uint64_t offset = Get32(file, 10);
  if (width <= 0 || height <= 0 || width > 65536 || height > 65536) return Image(0, 0);
  const std::uint64_t rowBytes = RowBytes(static_cast<int>(width), 24);
  if (offset + rowBytes * height > file.size()) return Image(0, 0);
  Image image(static_cast<int>(width), static_cast<int>(height));
  for (int row = 0; row < image.height(); ++row) {
    const int y = rawHeight < 0 ? row : image.height() - 1 - row;
    const std::size_t at = offset + row * rowBytes;
    for (int x = 0; x < image.width(); ++x)
      image.at(x, y) = {file[at + 3 * x + 2], file[at + 3 * x + 1], file[at + 3 * x], 255};
  }
  return image;
}

Bytes EncodeIcon(const std::vector<Image>& sizes) {
  std::vector<Bytes> data;
  for (const auto& image : sizes) data.push_back(IconEntry32(image));
  std::vector<DirectoryEntry> entries;
  for (std::size_t i = 0; i < sizes.size(); ++i)
    entries.push_back({sizes[i].width(), sizes[i].height(), 1, 32, &data[i]});
  return IconFile(1, entries);
}

Bytes EncodeMonochromeCursor(const Image& image, int hotX, int hotY) {
  Bytes data;
  const std::uint32_t rowBytes = RowBytes(image.width(), 1);
  PutInfoHeader(data, image.width(), image.height() * 2, 1, 2 * rowBytes * image.height(), 2);
  data.insert(data.end(), {0, 0, 0, 0, 255, 255, 255, 0});  // palette: black, white
  for (int y = image.height() - 1; y >= 0; --y) {
    Bytes row(rowBytes, 0);
    for (int x = 0; x < image.width(); ++x) {
      const Rgba p = image.at(x, y);
      if (p.a >= 128 && p.r >= 128) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    data.insert(data.end(), row.begin(), row.end());
  }
  PutMask(data, image);
  return IconFile(2, {{image.width(), image.height(), static_cast<std::uint16_t>(hotX),
                       static_cast<std::uint16_t>(hotY), &data}});
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace lw::art
