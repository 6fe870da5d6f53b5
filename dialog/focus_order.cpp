#include "dialog/focus_order.h"

#include <algorithm>

namespace lw::dialog {
namespace {

// Source values in the order the rows are drawn, top to bottom.
constexpr std::array<int, 3> kSourceRows{1, 0, 2};

}  // namespace

Stop NextStop(Stop from, bool backward) {
  const auto at = std::find(kReadingOrder.begin(), kReadingOrder.end(), from) - kReadingOrder.begin();
  const auto n = static_cast<std::ptrdiff_t>(kReadingOrder.size());
  return kReadingOrder[static_cast<std::size_t>((at + (backward ? n - 1 : 1)) % n)];
}

KeyAction RouteKey(Key key, bool shift, Stop focus, bool listDropped) {
  switch (key) {
    case Key::Tab:
      return shift ? KeyAction::FocusPrevious : KeyAction::FocusNext;
    case Key::Enter:
      if (listDropped) return KeyAction::PassOn;
      switch (focus) {
        case Stop::Link: return KeyAction::OpenLink;
        case Stop::Cancel: return KeyAction::Cancel;
        case Stop::Browse: return KeyAction::Browse;
        default: return KeyAction::Save;
      }
    case Key::Escape:
      return listDropped ? KeyAction::PassOn : KeyAction::Cancel;
    case Key::Left:
    case Key::Up:
      return focus == Stop::Sources ? KeyAction::SourcePrevious : KeyAction::PassOn;
    case Key::Right:
    case Key::Down:
      return focus == Stop::Sources ? KeyAction::SourceNext : KeyAction::PassOn;
    case Key::Other:
      break;
  }
  return KeyAction::PassOn;
}

bool SaveIsDefault(Stop focus) { return RouteKey(Key::Enter, false, focus, false) == KeyAction::Save; }

int SourceAfter(int source, bool backward) {
  const auto it = std::find(kSourceRows.begin(), kSourceRows.end(), source);
  if (it == kSourceRows.end()) return backward ? kSourceRows.back() : kSourceRows.front();
  const auto row = it - kSourceRows.begin();
  const auto n = static_cast<std::ptrdiff_t>(kSourceRows.size());
  return kSourceRows[static_cast<std::size_t>((row + (backward ? n - 1 : 1)) % n)];
}

}  // namespace lw::dialog
