#include "dialog/dialog_layout.h"

#include <cmath>

#include "platform/conversions.h"

namespace lw::dialog {

int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : -((-scaled + half) / kTwipsPerInch));
}

Box ToPixels(const Box& box, int dpi, const Box& origin) {
  return {TwipsToPixels(origin.left + box.left, dpi), TwipsToPixels(origin.top + box.top, dpi),
          TwipsToPixels(box.width, dpi), TwipsToPixels(box.height, dpi)};
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
