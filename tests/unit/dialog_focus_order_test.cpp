// The dialog at the keyboard: reading order of the focus stops, what each key does, and the
// arrow keys inside the music-source group.
#include <gtest/gtest.h>

#include <vector>

#include "dialog/focus_order.h"

namespace lw::dialog {
namespace {

TEST(DialogKeys, TabVisitsEveryStopInReadingOrderAndShiftTabReturns) {
  const std::vector<Stop> expected{Stop::Repeat, Stop::Browse, Stop::Slider, Stop::Link,
                                   Stop::Save,   Stop::Cancel, Stop::Sources};
  std::vector<Stop> forward, back;
  for (Stop s = Stop::Sources; forward.size() < expected.size();) forward.push_back(s = NextStop(s, false));
  EXPECT_EQ(forward, expected);
  for (Stop s : forward) back.push_back(NextStop(NextStop(s, false), true));
  EXPECT_EQ(back, forward);
}

TEST(DialogKeys, RouteKey) {
  struct Row {
    Key key;
    bool shift;
    Stop focus;
    bool dropped;
    KeyAction action;
  };
  const Row rows[] = {
      {Key::Enter, false, Stop::Sources, false, KeyAction::Save},
      {Key::Enter, false, Stop::Cancel, false, KeyAction::Save},
      {Key::Enter, false, Stop::Link, false, KeyAction::OpenLink},
      {Key::Enter, false, Stop::Repeat, true, KeyAction::PassOn},
      {Key::Escape, false, Stop::Save, false, KeyAction::Cancel},
      {Key::Escape, false, Stop::Repeat, true, KeyAction::PassOn},
      {Key::Tab, false, Stop::Repeat, true, KeyAction::FocusNext},
      {Key::Tab, true, Stop::Sources, false, KeyAction::FocusPrevious},
      {Key::Up, false, Stop::Sources, false, KeyAction::SourcePrevious},
      {Key::Left, false, Stop::Sources, false, KeyAction::SourcePrevious},
      {Key::Down, false, Stop::Sources, false, KeyAction::SourceNext},
      {Key::Right, false, Stop::Sources, false, KeyAction::SourceNext},
      {Key::Right, false, Stop::Slider, false, KeyAction::PassOn},
      {Key::Down, false, Stop::Repeat, false, KeyAction::PassOn},
      {Key::Other, false, Stop::Sources, false, KeyAction::PassOn},
  };
  for (const Row& r : rows)
    EXPECT_EQ(RouteKey(r.key, r.shift, r.focus, r.dropped), r.action)
        << int(r.key) << " at " << int(r.focus) << (r.dropped ? " dropped" : "");
}

// Rows are drawn audio CD (1), none (0), music file (2); the arrows wrap like a radio group's.
TEST(DialogKeys, ArrowsMoveTheSourceInDrawnOrder) {
  const int rows[][3] = {{1, 0, 0}, {0, 0, 2}, {2, 0, 1}, {1, 1, 2}, {0, 1, 1}, {-1, 0, 1}, {7, 1, 2}};
  for (const auto& r : rows) EXPECT_EQ(SourceAfter(r[0], r[1] != 0), r[2]) << r[0] << (r[1] ? " up" : " down");
}

}  // namespace
}  // namespace lw::dialog
