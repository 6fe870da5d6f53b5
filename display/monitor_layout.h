// Which saver windows to open for the monitors the system reports: one per monitor, the primary's
// first. Positions are virtual-screen pixels, where the primary's top-left is (0, 0) and monitors
// left of or above it have negative coordinates.
#pragma once

#include <vector>

namespace lw::display {

struct MonitorArea {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int dpi = 96;
  bool primary = false;
  bool operator==(const MonitorArea&) const = default;
};

struct SaverWindowPlan {
  int left = 0, top = 0, width = 0, height = 0;
  float twipsPerPixel = 15.0f;  // 1440 / DPI
  bool operator==(const SaverWindowPlan&) const = default;
};

// The primary first (marked, else the monitor holding (0, 0), else the first), then the others in
// the order given. Empty areas and repeats of an area already planned (mirrored monitors) are
// dropped; a DPI outside 24..2400 counts as 96. No usable monitor at all gives one window of the
// fallback size at (0, 0).
std::vector<SaverWindowPlan> PlanSaverWindows(const std::vector<MonitorArea>& monitors, int fallbackWidth,
                                              int fallbackHeight);

// A display change: for each window of `next` (a plan as above), the index in `open` (the plans of
// the windows open now, the primary's first) of the window that stays for it, or -1 where a window
// opens. A window stays only for a plan equal to its own and only once; the primary's window stays
// only as the primary's, since it alone carries the title the single-instance guard looks for.
// Every open window not named closes.
std::vector<int> KeptSaverWindows(const std::vector<SaverWindowPlan>& open, const std::vector<SaverWindowPlan>& next);

}  // namespace lw::display
