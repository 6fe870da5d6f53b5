// A window rectangle in screen pixels, as GetWindowRect reports it: one type for the preview's
// sizing and the settings dialog's outline animation.
#pragma once

#include <cstdint>

namespace lw::startup {

struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

}  // namespace lw::startup
