// The settings dialog's geometry and background, without any window: where it opens, where each
// control sits (in twips, scaled to pixels by the display's DPI), the rows of its background
// gradient and the copies of the strip picture that cover its panel.
#pragma once

#include <cstdint>
#include <vector>

namespace lw::dialog {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at `dpi` dots per inch, rounded to nearest (15 twips a pixel at 96 DPI).
int TwipsToPixels(int twips, int dpi);

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

// Client area and control boxes, in twips; panel controls are relative to the panel.
inline constexpr int kClientWidthTwips = 6975;
inline constexpr int kClientHeightTwips = 2865;
namespace twips {
inline constexpr Box kPanel{240, 240, 6495, 1755};
inline constexpr Box kFrameBgm{120, 120, 1515, 315};
inline constexpr Box kHeadingBgm{120, 180, 1515, 255};
inline constexpr Box kMark[3] = {{540, 840, 195, 195}, {540, 540, 195, 195}, {540, 1140, 195, 195}};
inline constexpr Box kSourceLabel[3] = {{780, 840, 345, 195}, {780, 540, 645, 195}, {780, 1140, 900, 195}};
inline constexpr Box kRepeatBox{1800, 480, 615, 300};
inline constexpr Box kRepeatLabel{2460, 540, 990, 195};
inline constexpr Box kFileButton{1800, 1080, 435, 375};
inline constexpr Box kFileName{2280, 1080, 4035, 495};
inline constexpr Box kFrameParticles{3780, 120, 1515, 315};
inline constexpr Box kHeadingParticles{3780, 180, 1515, 255};
inline constexpr Box kSlider{4140, 540, 1155, 255};
inline constexpr Box kReadout{5400, 600, 420, 195};
// On the form itself.
inline constexpr Box kLink{240, 2340, 3105, 195};
inline constexpr Box kSave{4260, 2220, 1215, 375};
inline constexpr Box kCancel{5520, 2220, 1215, 375};
}  // namespace twips

// A box in twips as pixels at `dpi`; `origin` (twips) is added first, for controls of the panel.
Box ToPixels(const Box& box, int dpi, const Box& origin = {});

// What the dialog draws at a given DPI, so that text, controls and pictures grow together.
inline constexpr int kBaseDpi = 96;
inline constexpr int kFontHundredthsOfPoints = 975;  // 9.75 pt
inline constexpr int kStripWidth96 = 556;            // the panel's strip picture at 96 DPI
inline constexpr int kStripHeight96 = 20;
inline constexpr int kMarkSide96 = 12;               // the radio pictures at 96 DPI
struct DialogMetrics {
  int clientWidth = 0;
  int clientHeight = 0;
  int fontHeight = 0;  // as a LOGFONT height: negative, the character height in pixels
  int stripWidth = 0;
  int stripHeight = 0;
  int markSide = 0;
  int frameLine = 0;   // the heading frames' line width
  friend bool operator==(const DialogMetrics&, const DialogMetrics&) = default;
};
// A dpi of 0 or less (an answer the system gives for a window it cannot place) counts as 96.
DialogMetrics MetricsAt(int dpi);

// The dialog's outer position: centred horizontally, a third of the free height from the top.
// Each difference is rounded to a whole number (half to even), the quotient truncated.
struct Placement {
  double left = 0;
  double top = 0;
};
Placement PlaceDialog(double screenWidth, double screenHeight, double dialogWidth, double dialogHeight);

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One colour per pixel row, from row 0 through the row at `height` (included): dark blue at the
// top and bottom, light lavender at mid-height.
std::vector<Rgb> GradientRows(double height);

struct TilePosition {
  int x = 0;
  int y = 0;
  friend bool operator==(const TilePosition&, const TilePosition&) = default;
};

// Where copies of a strip of stripWidth x stripHeight go to cover a target, column by column,
// each column from the top down until a copy's top lies below the target, the last column the
// first whose left edge lies beyond it. An empty strip places no copy.
std::vector<TilePosition> TilePositions(int targetWidth, int targetHeight, int stripWidth, int stripHeight);

}  // namespace lw::dialog
