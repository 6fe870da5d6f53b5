// Keyboard and screen-reader access to the settings dialog: the windows of its controls as the
// dialog made them, the keyboard (focus order, Enter, Esc, arrow keys inside the music-source
// group, focus cues) and the accessible objects of the controls the system cannot describe.
//
// Both act on the dialog only through its windows: a key or a reader's default action is turned
// into the same message a click on that control sends, so the dialog handles every way of
// pressing a control in one place.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "dialog/focus_order.h"

namespace lw::dialog {

struct DialogWindows {
  HWND dialog = nullptr;
  std::array<HWND, 3> sourceLabels{};  // by source value: none, audio CD, music file
  std::array<HWND, 3> sourceMarks{};
  HWND repeat = nullptr, repeatLabel = nullptr;
  HWND browse = nullptr;
  HWND slider = nullptr, sliderHeading = nullptr;
  HWND link = nullptr;
  HWND save = nullptr, cancel = nullptr;
};

// The selected music source (0 to 2), or any other value for none.
using SourceReader = std::function<int()>;

// Posted to the dialog when the focus may have moved onto or off a control where Enter does not
// press 設定 (another push button, the link), so that 設定 is shown as the default button only
// while it is the one Enter presses.
inline constexpr UINT kFocusMovedMessage = WM_APP + 3;

// The default actions' names, in the user's language.
struct ActionNames {
  std::wstring press, check, jump;
};

class DialogKeyboard {
 public:
  DialogKeyboard() = default;
  DialogKeyboard(const DialogKeyboard&) = delete;
  DialogKeyboard& operator=(const DialogKeyboard&) = delete;

  // Once the controls exist: focus cues, the focus following the selection, and the focus kept
  // across the dialog losing and regaining activation (the file dialog, another program).
  void Attach(const DialogWindows& windows, SourceReader source);
  // Puts the focus on the selected music source.
  void FocusFirst();
  // Called with every message before it is dispatched; true when the key was handled here.
  bool PreTranslate(const MSG& msg);
  // The stop that holds the focus.
  Stop FocusedStop() const { return StopOf(GetFocus()); }

 private:
  static LRESULT CALLBACK CueProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK DialogProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  HWND WindowOf(Stop stop) const;
  Stop StopOf(HWND focus) const;
  void Focus(HWND window);
  void ChooseSource(int source);

  DialogWindows windows_;
  SourceReader source_;
  HWND remembered_ = nullptr;
};

// Radio buttons for the three music sources and the link, described by the program; the slider
// and the repeat box keep the system's own objects, named by their headings. Names are read from
// the texts the dialog shows.
void DescribeDialogControls(const DialogWindows& windows, SourceReader source, const ActionNames& actions);

}  // namespace lw::dialog
