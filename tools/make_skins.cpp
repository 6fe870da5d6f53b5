// Writes the six button skins, 64 x 25 pixel 24-bit BMPs, into the folder given as argument:
// skin_normal, skin_highlight, skin_highlightselect, skin_selected, skin_pressed, skin_disable.
//
// Only the outer 4-pixel ring of a skin is ever painted (the face comes from a gradient), so the
// pictures are built ring by ring from the outside in: a light margin, a dark rounded outline and
// two inner rows and columns of shading. The middle is filled only so the files look whole.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 25;

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

constexpr Rgb Hex(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Rgb Mix(Rgb a, Rgb b, double t) {
  auto ch = [t](int x, int y) { return static_cast<std::uint8_t>(x + (y - x) * t + 0.5); };
  return {ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b)};
}

using Picture = std::array<std::array<Rgb, kWidth>, kHeight>;

// One-pixel ring colours by side.
struct Sides {
  Rgb top, left, right, bottom;
};

struct RingStyle {
  std::vector<Sides> margins;  // outermost first
  Rgb outline, cornerDark, cornerLight;
};

// Distance of a pixel from the nearest edge, and from the nearest corner along each axis.
int Ring(int x, int y) { return std::min({x, y, kWidth - 1 - x, kHeight - 1 - y}); }
int FromSide(int x) { return std::min(x, kWidth - 1 - x); }
int FromTopOrBottom(int y) { return std::min(y, kHeight - 1 - y); }

Rgb SideColour(const Sides& s, int x, int y) {
  if (y == FromTopOrBottom(y) && FromTopOrBottom(y) <= FromSide(x)) return s.top;
  if (FromTopOrBottom(y) <= FromSide(x)) return s.bottom;
  return x == FromSide(x) ? s.left : s.right;
}

// Paints the margins and the rounded outline; returns the ring index of the first inner ring.
int PaintFrame(Picture& p, const RingStyle& style) {
  const int o = static_cast<int>(style.margins.size());  // the outline's ring
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int ring = Ring(x, y);
      if (ring < o) p[y][x] = SideColour(style.margins[ring], x, y);
      else if (ring == o) p[y][x] = style.outline;
    }
  return o + 1;
}

// Rounded corners, painted last: the outline bends through the pixel diagonally inside each corner.
void RoundCorners(Picture& p, const RingStyle& style) {
  const int o = static_cast<int>(style.margins.size());
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int cx = FromSide(x) - o, cy = FromTopOrBottom(y) - o;
      if (cx == 0 && cy == 0) p[y][x] = style.cornerLight;
      else if ((cx == 1 && cy == 0) || (cx == 0 && cy == 1) || (cx == 1 && cy == 1)) p[y][x] = style.cornerDark;
    }
}

// Two inner rows and columns: top rows, bottom rows ("upper over lower"), side columns shading
// from their top colour to their bottom colour.
struct InnerStyle {
  Rgb top[2];
  Rgb bottom[2];
  Rgb sideTop[2], sideBottom[2];  // outer column, inner column
  Rgb middle;
};

void PaintInner(Picture& p, int first, const InnerStyle& s) {
  for (int y = first; y < kHeight - first; ++y)
    for (int x = first; x < kWidth - first; ++x) {
      const int row = FromTopOrBottom(y) - first, col = FromSide(x) - first;
      if (row < 2) {
        p[y][x] = y < kHeight / 2 ? s.top[row] : s.bottom[1 - row];
      } else if (col < 2) {
        const double t = static_cast<double>(y - first - 2) / (kHeight - 2 * first - 5);
        p[y][x] = Mix(s.sideTop[col], s.sideBottom[col], std::clamp(t, 0.0, 1.0));
      } else {
        p[y][x] = s.middle;
      }
    }
}

const Sides kBeige{Hex(0xE0DCC9), Hex(0xE2DECB), Hex(0xF0EEE0), Hex(0xF8F7F0)};
const Rgb kOutline = Hex(0x003C74);
const Rgb kOutlineDark = Hex(0x255783);
const Rgb kOutlineLight = Hex(0x7A95A8);
const Rgb kDialogFace = Hex(0xECE9D8);

Picture Normal() {
  Picture p{};
  const RingStyle ring{{kBeige}, kOutline, kOutlineDark, kOutlineLight};
  const int first = PaintFrame(p, ring);
  PaintInner(p, first,
             {{Hex(0xF3F3EE), Hex(0xF3F3EE)}, {Hex(0xE2DFD6), Hex(0xD6D0C5)},
              {Hex(0xFDFDFC), Hex(0xFDFDFC)}, {Hex(0xECEBE6), Hex(0xECEBE6)}, Hex(0xF4F3EE)});
  RoundCorners(p, ring);
  return p;
}

Picture HighLight() {
  Picture p{};
  const RingStyle ring{{kBeige}, kOutline, kOutlineDark, kOutlineLight};
  const int first = PaintFrame(p, ring);
  PaintInner(p, first,
             {{Hex(0xFFF0CF), Hex(0xFDD889)}, {Hex(0xF8B330), Hex(0xE59700)},
              {Hex(0xFEDF9A), Hex(0xFCD279)}, {Hex(0xF9B435), Hex(0xF9B435)}, Hex(0xF4F3EE)});
  RoundCorners(p, ring);
  return p;
}

Picture Selected() {
  Picture p{};
  const RingStyle ring{{kBeige}, kOutline, kOutlineDark, kOutlineLight};
  const int first = PaintFrame(p, ring);
  PaintInner(p, first,
             {{Hex(0xCEE7FF), Hex(0xB1CCF2)}, {Hex(0x6982EE), Hex(0x6982EE)},
              {Hex(0xB7D0F4), Hex(0xB7D0F4)}, {Hex(0x8BADE4), Hex(0x8BADE4)}, Hex(0xF4F3EE)});
  // The second top row lightens into the corners.
  p[first + 1][first] = p[first + 1][kWidth - 1 - first] = Hex(0xCEE7FF);
  RoundCorners(p, ring);
  return p;
}

// Sunken: the outline one pixel further in and a single inner pixel, dark above and at the left,
// light below and at the right.
Picture Pressed() {
  Picture p{};
  const Sides face{kDialogFace, kDialogFace, kDialogFace, kDialogFace};
  const RingStyle ring{{face, kBeige}, kOutline, kOutlineDark, kOutlineLight};
  const int first = PaintFrame(p, ring);
  const Rgb top = Hex(0xD1CCC1), topCorner = Hex(0x9DA8AC), left = Hex(0xD7D4CB), leftCorner = Hex(0xA0ABB1);
  const Rgb bottom = Hex(0xF2F1EE), right = Hex(0xE4E3DC), middle = Hex(0xE6E4DA);
  const int last = kWidth - 1 - first, lastRow = kHeight - 1 - first;
  for (int y = first; y <= lastRow; ++y)
    for (int x = first; x <= last; ++x) {
      if (y == first) {
        const int toCorner = std::min(x - first, last - x);
        p[y][x] = toCorner < 3 ? Mix(topCorner, top, toCorner / 3.0) : top;
      } else if (x == first) {
        const int toCorner = std::min(y - first, lastRow - y);
        p[y][x] = toCorner < 3 ? Mix(leftCorner, left, toCorner / 3.0) : left;
      } else if (y == lastRow) {
        p[y][x] = bottom;
      } else if (x == last) {
        p[y][x] = right;
      } else {
        p[y][x] = middle;
      }
    }
  RoundCorners(p, ring);
  return p;
}

Picture Disable() {
  Picture p{};
  const Sides face{kDialogFace, kDialogFace, kDialogFace, kDialogFace};
  const RingStyle ring{{face}, Hex(0xC9C7BA), Hex(0xCBC9BC), Hex(0xD8D5C7)};
  const int first = PaintFrame(p, ring);
  const Rgb inner = Hex(0xF5F4EA);
  PaintInner(p, first, {{inner, inner}, {inner, inner}, {inner, inner}, {inner, inner}, inner});
  RoundCorners(p, ring);
  return p;
}

std::vector<std::uint8_t> Bmp24(const Picture& p) {
  const std::uint32_t rowBytes = (kWidth * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * kHeight;
  std::vector<std::uint8_t> out;
  auto u16 = [&](std::uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); };
  auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  out.push_back('B');
  out.push_back('M');
  u32(54 + imageBytes);
  u32(0);
  u32(54);
  u32(40);
  u32(kWidth);
  u32(kHeight);  // positive height: rows bottom-up
  u16(1);
  u16(24);
  u32(0);
  u32(imageBytes);
  u32(3780);  // 96 dots per inch
  u32(3780);
  u32(0);
  u32(0);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      out.push_back(p[y][x].b);
      out.push_back(p[y][x].g);
      out.push_back(p[y][x].r);
    }
    for (std::uint32_t pad = kWidth * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_skins <output folder>\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::pair<const char*, Picture> skins[] = {
      {"skin_normal.bmp", Normal()},       {"skin_highlight.bmp", HighLight()},
      {"skin_highlightselect.bmp", HighLight()},  // the same picture as the hovered skin
      {"skin_selected.bmp", Selected()},   {"skin_pressed.bmp", Pressed()},
      {"skin_disable.bmp", Disable()},
  };
  for (const auto& [name, picture] : skins) {
    if (!Write(dir + "/" + name, Bmp24(picture))) {
      std::fprintf(stderr, "make_skins: cannot write %s/%s\n", dir.c_str(), name);
      return 1;
    }
  }
  return 0;
}
