// Generates the program's static artwork into a folder (resources/art/ in the repository):
//   panel_strip.bmp  556 x 20 strip tiled down the settings panel, under black labels
//   radio_off.bmp, radio_on.bmp  12 x 12 radio marks, drawn over the very strip pixels they cover
//   lumenweave.ico   the program icon, 16, 32, 48 and 256 pixels: yellow sparks on a dark tile
//   link.cur         the 32 x 32 monochrome hand shown over the dialog's link, hot spot (12, 10)
// Everything is computed here from fixed numbers and one fixed seed, so a run always writes the
// same bytes; the build checks the committed files against a fresh run.
//
// Usage: make_art <output-folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tools/image.h"

namespace lw::art {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Colour {
  double r = 0, g = 0, b = 0;
  Colour operator+(const Colour& o) const { return {r + o.r, g + o.g, b + o.b}; }
  Colour operator*(double k) const { return {r * k, g * k, b * k}; }
};

Colour Mix(const Colour& a, const Colour& b, double t) { return a * (1 - t) + b * t; }

std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }
Rgba ToRgba(const Colour& c, double alpha = 1.0) { return {Channel(c.r), Channel(c.g), Channel(c.b), Channel(alpha * 255)}; }
Colour ToColour(const Rgba& p) { return {double(p.r), double(p.g), double(p.b)}; }

double Smoothstep(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Coverage of a pixel by a shape, from the signed distance of its centre (negative inside).
double Coverage(double signedDistance) { return std::clamp(0.5 - signedDistance, 0.0, 1.0); }

// A small deterministic generator (xorshift64*), so the artwork never depends on the library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed ? seed : 1) {}
  double Next() {  // 0 <= r < 1
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<double>((state_ * 2685821657736338717ull) >> 11) / 9007199254740992.0;
  }
  double Gauss() {  // sum of uniforms: bell-shaped, bounded, no transcendental calls
    double s = 0;
    for (int i = 0; i < 4; ++i) s += Next();
    return (s - 2.0) * 1.7320508;
  }

 private:
  std::uint64_t state_;
};

// ---- settings panel -----------------------------------------------------------------------

Image PanelStrip() {
  constexpr int kWidth = 556, kHeight = 20;
  Random random(0x5eed0001);
  Image strip(kWidth, kHeight);
  const Colour left{233, 234, 246}, right{219, 221, 239};
  for (int y = 0; y < kHeight; ++y) {
    // Brushed grain: noise smoothed along the row, a little different on every row.
    std::vector<double> grain(kWidth + 16);
    for (auto& g : grain) g = random.Next() - 0.5;
    // A soft ruling every strip height: light top edge, shaded bottom edge.
    const double ruling = y == 0 ? 5.0 : y == 1 ? 1.5 : y == kHeight - 2 ? -1.5 : y == kHeight - 1 ? -5.0 : 0.0;
    for (int x = 0; x < kWidth; ++x) {
      double brushed = 0;
      for (int k = 0; k < 16; ++k) brushed += grain[x + k];
      const double t = x / double(kWidth - 1);
      const double sheen = 7.0 * std::exp(-std::pow((x - 120) / 150.0, 2));
      const double light = sheen + ruling + brushed * 1.6;
      const Colour c = Mix(left, right, Smoothstep(0, 1, t)) + Colour{light, light, light * 0.8};
      strip.at(x, y) = ToRgba(c);
    }
  }
  return strip;
}

// The marks sit at panel pixel (36, 36 + 20 k): columns 36..47, strip rows 16..19 then 0..7.
constexpr int kRadioLeft = 36, kRadioTop = 36;

Image RadioMark(bool selected, const Image& strip) {
  constexpr int kSize = 12;
  constexpr double kCentre = 6.0;
  Image mark(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const Colour under = ToColour(strip.at(kRadioLeft + x, (kRadioTop + y) % strip.height()));
      const double dx = x + 0.5 - kCentre, dy = y + 0.5 - kCentre;
      const double d = std::hypot(dx, dy);
      // Sunken well: light face, shaded towards the top left where the rim casts its shadow.
      const double lightness = std::clamp(0.5 + (dx + dy) / 14.0, 0.0, 1.0);
      Colour face = Mix(Colour{206, 210, 230}, Colour{255, 255, 255}, lightness);
      face = Mix(face, Colour{150, 156, 190}, 0.45 * Smoothstep(3.2, 4.9, d) * (dy < 0 || dx < 0 ? 1.0 : 0.3));
      const Colour rim{58, 64, 110};
      Colour c = Mix(rim, face, Coverage(d - 4.6));
      if (selected) {
        // An amber spark: white-hot centre, golden body, a dark edge so it reads on the light face.
        const Colour spark = Mix(Colour{255, 250, 190}, Colour{236, 160, 10}, Smoothstep(0.0, 2.4, d));
        c = Mix(c, Colour{120, 70, 0}, Coverage(d - 3.0));
        c = Mix(c, spark, Coverage(d - 2.45));
      }
      mark.at(x, y) = ToRgba(Mix(under, c, Coverage(d - 5.55)));
    }
  return mark;
}

// ---- icon ---------------------------------------------------------------------------------

// Glow accumulated from Gaussian splats, turned into colour at the end.
class GlowField {
 public:
  explicit GlowField(int size) : size_(size), value_(static_cast<std::size_t>(size) * size, 0.0) {}
  void Splat(double cx, double cy, double radius, double strength) {
    const int reach = static_cast<int>(std::ceil(radius * 3));
    for (int y = std::max(0, int(cy) - reach); y <= std::min(size_ - 1, int(cy) + reach); ++y)
      for (int x = std::max(0, int(cx) - reach); x <= std::min(size_ - 1, int(cx) + reach); ++x) {
        const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        value_[y * size_ + x] += strength * std::exp(-(dx * dx + dy * dy) / (2 * radius * radius));
      }
  }
  double at(int x, int y) const { return value_[y * size_ + x]; }

 private:
  int size_;
  std::vector<double> value_;
};

// A figure-eight lying on its side, in units of the tile (centre 0, half-width 1).
void FigureEight(double t, double& x, double& y) {
  x = std::sin(t);
  y = std::sin(t) * std::cos(t);
}

Image Icon(int size) {
  const double s = size;
  const double corner = s * 0.2;
  const double half = s / 2;
  GlowField glow(size);
  Random random(0x5eed0100 + size);

  // The ribbon: a trail along the curve, brighter where the sparks crowd at the loop's ends.
  const double spanX = s * 0.38, spanY = s * 0.62;
  const double trailWidth = std::max(0.55, s / 110.0);
  const int steps = static_cast<int>(s * 24);
  double lastX = 0, lastY = 0;
  FigureEight(-2 * kPi / steps, lastX, lastY);
  for (int i = 0; i < steps; ++i) {
    const double t = 2 * kPi * i / steps;
    double x, y;
    FigureEight(t, x, y);
    // Strength per length of curve, so the trail's brightness does not depend on the tile size.
    const double length = std::hypot(spanX * (x - lastX), spanY * (y - lastY));
    lastX = x;
    lastY = y;
    const double density = 0.6 + 0.4 * std::abs(std::sin(t));
    glow.Splat(half + spanX * x, half + spanY * y, trailWidth, 1.5 * density * length / (2.5066 * trailWidth));
  }
  // Sparks scattered about the ribbon, as many as the tile's area allows without turning to noise.
  const int sparks = static_cast<int>(0.0085 * s * s);
  for (int i = 0; i < sparks; ++i) {
    const double t = 2 * kPi * random.Next();
    double x, y;
    FigureEight(t, x, y);
    const double spread = s * 0.035 * (1.0 + 1.5 * random.Next());
    const double px = half + spanX * x + spread * random.Gauss();
    const double py = half + spanY * y + spread * random.Gauss();
    glow.Splat(px, py, std::max(0.45, s / 200.0), (0.3 + 0.8 * random.Next()) * std::min(1.0, s / 96.0));
  }
  // The two emitters, mirror images about the horizontal centre line: four-pointed flares.
  for (const double sign : {1.0, -1.0}) {
    double x, y;
    FigureEight(kPi * 0.32, x, y);
    const double ex = half + spanX * x, ey = half + sign * spanY * y;
    const double arm = std::max(1.5, s / 10.0), step = std::max(0.25, s / 256.0);
    glow.Splat(ex, ey, std::max(0.6, s / 48.0), 2.5);
    for (double k = step; k <= arm; k += step) {
      const double fade = 2.4 * std::pow(1 - k / arm, 2) * step / std::max(0.5, s / 64.0);
      for (const auto& [ux, uy] : {std::pair{1.0, 0.0}, {-1.0, 0.0}, {0.0, 1.0}, {0.0, -1.0}})
        glow.Splat(ex + ux * k, ey + uy * k, std::max(0.45, s / 160.0), fade);
    }
  }

  Image icon(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      // Rounded tile.
      const double qx = std::max(std::abs(px - half) - (half - corner), 0.0);
      const double qy = std::max(std::abs(py - half) - (half - corner), 0.0);
      const double inside = std::hypot(qx, qy) - corner;
      const double alpha = Coverage(inside);
      const double r = std::hypot(px - half, (py - half) * 1.15) / half;
      Colour c = Mix(Colour{30, 28, 78}, Colour{5, 5, 22}, Smoothstep(0.0, 1.1, r));
      // A faint rim light so the tile keeps its edge on dark desktops.
      c = c + Colour{40, 40, 70} * (Smoothstep(-std::max(1.2, s / 40.0), 0.0, inside) * (py < half ? 1.0 : 0.4));
      const double g = glow.at(x, y);
      c = c + Colour{255, 214, 30} * (1 - std::exp(-1.6 * g));
      c = c + Colour{0, 41, 200} * (1 - std::exp(-0.6 * std::max(0.0, g - 1.0)));
      icon.at(x, y) = ToRgba(c, alpha);
    }
  return icon;
}

// ---- link cursor --------------------------------------------------------------------------

// '#' black, '.' white, anything else transparent. The index fingertip is (12, 10).
constexpr const char* kHand[32] = {
    "                                ",  //  0
    "                                ",  //  1
    "                                ",  //  2
    "                                ",  //  3
    "                                ",  //  4
    "                                ",  //  5
    "                                ",  //  6
    "                                ",  //  7
    "                                ",  //  8
    "                                ",  //  9
    "           ##                   ",  // 10
    "          #..#                  ",  // 11
    "          #..#                  ",  // 12
    "          #..#                  ",  // 13
    "          #..#                  ",  // 14
    "          #..###                ",  // 15
    "          #..#..###             ",  // 16
    "          #..#..#..###          ",  // 17
    "     ##   #..#..#..#..#         ",  // 18
    "    #..#  #..#..#..#..#         ",  // 19
    "    #...# #...........#         ",  // 20
    "     #................#         ",  // 21
    "      #...............#         ",  // 22
    "       #..............#         ",  // 23
    "        #.............#         ",  // 24
    "        #............#          ",  // 25
    "         #...........#          ",  // 26
    "         #..........#           ",  // 27
    "          #.........#           ",  // 28
    "          ###########           ",  // 29
    "                                ",  // 30
    "                                ",  // 31
};

Image LinkCursor() {
  Image cursor(32, 32, {0, 0, 0, 0});
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (kHand[y][x] == '#') cursor.at(x, y) = {0, 0, 0, 255};
      if (kHand[y][x] == '.') cursor.at(x, y) = {255, 255, 255, 255};
    }
  return cursor;
}

bool Write(const std::string& folder, const char* name, const Bytes& bytes) {
  const std::string path = folder + "/" + name;
  if (WriteFile(path, bytes)) return true;
  std::fprintf(stderr, "make_art: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace
}  // namespace lw::art

int main(int argc, char** argv) {
  using namespace lw::art;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_art <output-folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const Image strip = PanelStrip();
  std::vector<Image> icons;
  for (int size : {16, 32, 48, 256}) icons.push_back(Icon(size));
  const bool ok = Write(folder, "panel_strip.bmp", EncodeBmp24(strip)) &&
                  Write(folder, "radio_off.bmp", EncodeBmp24(RadioMark(false, strip))) &&
                  Write(folder, "radio_on.bmp", EncodeBmp24(RadioMark(true, strip))) &&
                  Write(folder, "lumenweave.ico", EncodeIcon(icons)) &&
                  Write(folder, "link.cur", EncodeMonochromeCursor(LinkCursor(), 12, 10));
  return ok ? 0 : 1;
}
