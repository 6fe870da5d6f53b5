// File formats of the artwork generators: what Windows' resource compiler and loaders read.
#include <gtest/gtest.h>

#include "tools/image.h"

namespace lw::art {
namespace {

std::uint32_t Le16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t Le32(const Bytes& b, std::size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

// A picture whose every pixel differs, so swapped rows, columns or channels show.
Image Pattern(int w, int h, bool withTransparency = false) {
  Image image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.at(x, y) = {static_cast<std::uint8_t>(x * 7 + 1), static_cast<std::uint8_t>(y * 13 + 2),
                        static_cast<std::uint8_t>((x + y) * 3 + 3),
                        static_cast<std::uint8_t>(withTransparency && (x + 2 * y) % 3 == 0 ? 0 : 255)};
  return image;
}

TEST(ArtBmp, LayoutAndRoundTrip) {
  const struct {
    int w, h;
    std::uint32_t rowBytes;
  } cases[] = {{1, 1, 4}, {2, 3, 8}, {5, 2, 16}, {12, 12, 36}, {152, 112, 456}, {556, 20, 1668}};
  for (const auto& c : cases) {
    const Image image = Pattern(c.w, c.h);
    const Bytes file = EncodeBmp24(image);
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    ASSERT_EQ(file.size(), 54 + c.rowBytes * c.h);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Le32(file, 2), file.size());
    EXPECT_EQ(Le32(file, 10), 54u);
    EXPECT_EQ(Le32(file, 18), static_cast<std::uint32_t>(c.w));
    EXPECT_EQ(Le32(file, 22), static_cast<std::uint32_t>(c.h));  // positive: bottom row first
    EXPECT_EQ(Le16(file, 28), 24u);
    // The first stored pixel is the bottom-left one, blue first.
    const Rgba bottomLeft = image.at(0, c.h - 1);
    EXPECT_EQ(file[54], bottomLeft.b);
    EXPECT_EQ(file[55], bottomLeft.g);
    EXPECT_EQ(file[56], bottomLeft.r);

    const Image back = DecodeBmp24(file);
    ASSERT_EQ(back.width(), c.w);
    ASSERT_EQ(back.height(), c.h);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) ASSERT_EQ(back.at(x, y), image.at(x, y)) << x << "," << y;
  }
}

TEST(ArtBmp, DecodeRefusesWhatItCannotRead) {
  const Bytes good = EncodeBmp24(Pattern(3, 2));
  auto changed = [&](std::size_t at, std::uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"truncated pixels", Bytes(good.begin(), good.end() - 1)},
      {"truncated header", Bytes(good.begin(), good.begin() + 40)},
      {"not BM", changed(0, 'X')},
      {"32 bits per pixel", changed(28, 32)},
      {"compressed", changed(30, 1)},
      {"zero width", changed(18, 0)},
      {"offset past the end", changed(11, 0x7F)},
  };
  for (const auto& c : cases) {
    const Image image = DecodeBmp24(c.file);
    EXPECT_EQ(image.width(), 0) << c.what;
    EXPECT_EQ(image.height(), 0) << c.what;
  }
}

TEST(ArtBmp, DecodeReadsTopDownRows) {
  Bytes file = EncodeBmp24(Pattern(4, 3));
  // Same pixel rows, declared top-down: the picture comes back upside down.
  const std::uint32_t minusThree = static_cast<std::uint32_t>(-3);
  for (int i = 0; i < 4; ++i) file[22 + i] = static_cast<std::uint8_t>(minusThree >> (8 * i));
  const Image back = DecodeBmp24(file);
  ASSERT_EQ(back.height(), 3);
  EXPECT_EQ(back.at(1, 0), Pattern(4, 3).at(1, 2));
}

TEST(ArtIcon, DirectoryAndEntries) {
  const int sizes[] = {16, 32, 48, 256};
  std::vector<Image> images;
  for (int s : sizes) images.push_back(Pattern(s, s, true));
  const Bytes file = EncodeIcon(images);
  EXPECT_EQ(Le16(file, 0), 0u);
  EXPECT_EQ(Le16(file, 2), 1u);  // icon
  ASSERT_EQ(Le16(file, 4), 4u);
  std::uint32_t expectedOffset = 6 + 16 * 4;
  for (int i = 0; i < 4; ++i) {
    const int s = sizes[i];
    const std::size_t entry = 6 + 16 * i;
    SCOPED_TRACE(s);
    EXPECT_EQ(file[entry], s == 256 ? 0 : s);
    EXPECT_EQ(file[entry + 1], s == 256 ? 0 : s);
    EXPECT_EQ(Le16(file, entry + 4), 1u);   // planes
    EXPECT_EQ(Le16(file, entry + 6), 32u);  // bits
    const std::uint32_t maskRow = ((s + 31) / 32) * 4;
    const std::uint32_t bytes = Le32(file, entry + 8);
    EXPECT_EQ(bytes, 40 + 4u * s * s + maskRow * s);
    EXPECT_EQ(Le32(file, entry + 12), expectedOffset);
    const std::uint32_t at = expectedOffset;
    EXPECT_EQ(Le32(file, at + 8), 2u * s);  // colour and mask rows together
    // Bottom-left pixel first, as BGRA; its mask bit is the top bit of the first mask byte.
    const Rgba p = images[i].at(0, s - 1);
    EXPECT_EQ(file[at + 40], p.b);
    EXPECT_EQ(file[at + 43], p.a);
    const std::uint8_t firstMaskByte = file[at + 40 + 4 * s * s];
    EXPECT_EQ((firstMaskByte & 0x80) != 0, p.a < 128);
    expectedOffset += bytes;
  }
  EXPECT_EQ(file.size(), expectedOffset);
}

TEST(ArtCursor, MonochromeWithHotSpot) {
  Image hand(32, 32, {0, 0, 0, 0});
  hand.at(12, 10) = {0, 0, 0, 255};        // black
  hand.at(13, 10) = {255, 255, 255, 255};  // white
  hand.at(0, 31) = {255, 255, 255, 255};
  const Bytes file = EncodeMonochromeCursor(hand, 12, 10);
  EXPECT_EQ(Le16(file, 2), 2u);  // cursor
  EXPECT_EQ(Le16(file, 4), 1u);
  EXPECT_EQ(file[6], 32);
  EXPECT_EQ(Le16(file, 10), 12u);  // hot spot x
  EXPECT_EQ(Le16(file, 12), 10u);  // hot spot y
  const std::size_t at = Le32(file, 18);
  ASSERT_EQ(Le32(file, 14), 40u + 8 + 2 * 4 * 32);
  ASSERT_EQ(file.size(), at + Le32(file, 14));
  EXPECT_EQ(Le16(file, at + 14), 1u);  // bits per pixel
  const std::size_t xorRows = at + 48, andRows = xorRows + 4 * 32;
  auto bit = [&](std::size_t rows, int x, int y) { return (file[rows + 4 * (31 - y) + x / 8] >> (7 - x % 8)) & 1; };
  const struct {
    int x, y, xorBit, andBit;
  } pixels[] = {{12, 10, 0, 0}, {13, 10, 1, 0}, {0, 31, 1, 0}, {11, 10, 0, 1}, {31, 0, 0, 1}};
  for (const auto& p : pixels) {
    EXPECT_EQ(bit(xorRows, p.x, p.y), p.xorBit) << p.x << "," << p.y;
    EXPECT_EQ(bit(andRows, p.x, p.y), p.andBit) << p.x << "," << p.y;
  }
}

}  // namespace
}  // namespace lw::art
