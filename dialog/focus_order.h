// The settings dialog at the keyboard, without windows: the reading order of its focus stops and
// what each key does wherever the focus is.
#pragma once

#include <array>

namespace lw::dialog {

// The focus stops in reading order. The music-source group is one stop; the arrow keys move the
// selection inside it, as in a group of radio buttons.
enum class Stop { Sources, Repeat, Browse, Slider, Link, Save, Cancel };
inline constexpr std::array<Stop, 7> kReadingOrder{Stop::Sources, Stop::Repeat, Stop::Browse, Stop::Slider,
                                                   Stop::Link, Stop::Save, Stop::Cancel};

// Tab and Shift+Tab, wrapping at either end.
Stop NextStop(Stop from, bool backward);

enum class Key { Tab, Enter, Escape, Left, Right, Up, Down, Other };

enum class KeyAction {
  PassOn,          // the focused control handles the key itself
  FocusNext,
  FocusPrevious,
  Save,            // presses 設定
  Cancel,          // presses ｷﾝｾﾙ
  Browse,          // presses "..."
  OpenLink,
  SourcePrevious,  // the selection moves one row up the group (wrapping)
  SourceNext,
};

// `listDropped`: the repeat box's list is open, and Enter and Esc belong to it. Enter presses the
// focused push button, as in any dialog; on the link it opens it; anywhere else it presses 設定,
// the dialog's default button.
KeyAction RouteKey(Key key, bool shift, Stop focus, bool listDropped);

// Whether 設定 is the button Enter presses with the focus at `focus` (screen readers show it as
// the default button then).
bool SaveIsDefault(Stop focus);

// The source one row below (or above) `source` in the group as it is drawn (audio CD, none, music
// file, top to bottom), wrapping; from no selection the first row down or the last row up.
int SourceAfter(int source, bool backward);

}  // namespace lw::dialog
