#include "dialog/dialog_layout.h"

#include <cmath>

#include "platform/conversions.h"

namespace lw::dialog {

namespace {
// n x dpi / divisor, rounded to nearest with halves away from zero.
int Scale(int n, int dpi, int divisor) {
  const long long scaled = static_cast<long long>(n) * dpi;
  const long long half = divisor / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / divisor : -((-scaled + half) / divisor));
}
}  // namespace

int TwipsToPixels(int twips, int dpi) { return Scale(twips, dpi, kTwipsPerInch); }

Box ToPixels(const Box& box, int dpi, const Box& origin) {
  return {TwipsToPixels(origin.left + box.left, dpi), TwipsToPixels(origin.top + box.top, dpi),
          TwipsToPixels(box.width, dpi), TwipsToPixels(box.height, dpi)};
}

DialogMetrics MetricsAt(int dpi) {
  if (dpi <= 0) dpi = kBaseDpi;
  constexpr int kHundredthsPerInch = 72 * 100;
  return {TwipsToPixels(kClientWidthTwips, dpi),
          TwipsToPixels(kClientHeightTwips, dpi),
          -Scale(kFontHundredthsOfPoints, dpi, kHundredthsPerInch),
          Scale(kStripWidth96, dpi, kBaseDpi),
          Scale(kStripHeight96, dpi, kBaseDpi),
          Scale(kMarkSide96, dpi, kBaseDpi),
          Scale(1, dpi, kBaseDpi)};
}

Placement PlaceDialog(double screenWidth, double screenHeight, double dialogWidth, double dialogHeight) {
  return {std::trunc(RoundHalfEven(screenWidth - dialogWidth) / 2),
          std::trunc(RoundHalfEven(screenHeight - dialogHeight) / 3)};
}

std::vector<Rgb> GradientRows(double height) {
  std::vector<Rgb> rows;
  const double last = RoundHalfEven(height);
  if (!(last >= 0) || !(height > 0)) return rows;
  const double k = height / 3.142;
  rows.reserve(static_cast<std::size_t>(last) + 1);
  for (double y = 0; y <= last; ++y) {
    const auto c = static_cast<std::uint8_t>(RoundHalfEven(std::fabs(std::sin(y / k)) * 220));
    rows.push_back({c, c, static_cast<std::uint8_t>(c + 30)});
  }
  return rows;
}

std::vector<TilePosition> TilePositions(int targetWidth, int targetHeight, int stripWidth, int stripHeight) {
  std::vector<TilePosition> copies;
  // A strip without area would never leave the first column.
  if (stripWidth <= 0 || stripHeight <= 0) return copies;
  int x = 0;
  int y = 0;
  for (;;) {
    copies.push_back({x, y});
    if (y <= targetHeight) {
      y += stripHeight;
    } else if (x > targetWidth) {
      break;
    } else {
      x += stripWidth;
      y = 0;
    }
  }
  return copies;
}

}  // namespace lw::dialog
