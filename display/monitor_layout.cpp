#include "display/monitor_layout.h"

#include <algorithm>

namespace lw::display {
namespace {

bool Usable(const MonitorArea& m) { return m.right > m.left && m.bottom > m.top; }

bool HoldsOrigin(const MonitorArea& m) { return m.left <= 0 && m.top <= 0 && m.right > 0 && m.bottom > 0; }

SaverWindowPlan Plan(const MonitorArea& m) {
  const int dpi = m.dpi >= 24 && m.dpi <= 2400 ? m.dpi : 96;
  // Widths in 64 bits: areas from a confused driver must not overflow.
  const long long w = static_cast<long long>(m.right) - m.left;
  const long long h = static_cast<long long>(m.bottom) - m.top;
  return {m.left, m.top, static_cast<int>(std::min<long long>(w, 1 << 30)),
          static_cast<int>(std::min<long long>(h, 1 << 30)), 1440.0f / static_cast<float>(dpi)};
}

}  // namespace

std::vector<SaverWindowPlan> PlanSaverWindows(const std::vector<MonitorArea>& monitors, int fallbackWidth,
                                              int fallbackHeight) {
  std::vector<const MonitorArea*> usable;
  for (const MonitorArea& m : monitors) {
    if (Usable(m)) usable.push_back(&m);
  }
  if (usable.empty()) {
    return {SaverWindowPlan{0, 0, std::max(fallbackWidth, 1), std::max(fallbackHeight, 1), 15.0f}};
  }
  auto primary = std::find_if(usable.begin(), usable.end(), [](const MonitorArea* m) { return m->primary; });
  if (primary == usable.end()) {
    primary = std::find_if(usable.begin(), usable.end(), [](const MonitorArea* m) { return HoldsOrigin(*m); });
  }
  if (primary == usable.end()) primary = usable.begin();
  std::rotate(usable.begin(), primary, primary + 1);
  std::vector<SaverWindowPlan> plans;
  for (const MonitorArea* m : usable) {
    const SaverWindowPlan plan = Plan(*m);
    const bool repeat = std::any_of(plans.begin(), plans.end(), [&](const SaverWindowPlan& p) {
      return p.left == plan.left && p.top == plan.top && p.width == plan.width && p.height == plan.height;
    });
    if (!repeat) plans.push_back(plan);
  }
  return plans;
}

std::vector<int> KeptSaverWindows(const std::vector<SaverWindowPlan>& open, const std::vector<SaverWindowPlan>& next) {
  std::vector<int> kept(next.size(), -1);
  std::vector<bool> taken(open.size(), false);
  for (std::size_t i = 0; i < next.size(); ++i) {
    // The primary's window (0 on both sides) only for the primary, the others only for the others.
    const std::size_t from = i == 0 ? 0 : 1, to = i == 0 ? std::min<std::size_t>(1, open.size()) : open.size();
    for (std::size_t j = from; j < to; ++j) {
      if (!taken[j] && open[j] == next[i]) {
        taken[j] = true;
        kept[i] = static_cast<int>(j);
        break;
      }
    }
  }
  return kept;
}

}  // namespace lw::display
