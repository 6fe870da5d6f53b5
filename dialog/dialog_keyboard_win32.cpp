// The settings dialog at the keyboard. The dialog is a plain window, not one of the dialog
// manager's, so Tab, Enter, Esc and the arrow keys of the source group are routed here before
// the message reaches the focused control; the rules themselves are in focus_order.h.
#include <windows.h>
#include <commctrl.h>

#include "controls/command_win32.h"
#include "dialog/dialog_access_win32.h"

namespace lw::dialog {
namespace {

constexpr UINT_PTR kCueSubclass = 0x4B42;     // "KB"
constexpr UINT_PTR kDialogSubclass = 0x4B43;

Key KeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_TAB: return Key::Tab;
    case VK_RETURN: return Key::Enter;
    case VK_ESCAPE: return Key::Escape;
    case VK_LEFT: return Key::Left;
    case VK_RIGHT: return Key::Right;
    case VK_UP: return Key::Up;
    case VK_DOWN: return Key::Down;
    default: return Key::Other;
  }
}

// A control that has no focus look of its own (a label) shows the focus rectangle over its text.
void DrawFocusCue(HWND hwnd) {
  if (GetFocus() != hwnd) return;
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  RECT r{};
  GetClientRect(hwnd, &r);
  DrawFocusRect(dc, &r);
  ReleaseDC(hwnd, dc);
}

}  // namespace

void DialogKeyboard::Attach(const DialogWindows& windows, SourceReader source) {
  windows_ = windows;
  source_ = std::move(source);
  const auto self = reinterpret_cast<DWORD_PTR>(this);
  for (HWND label : windows_.sourceLabels) SetWindowSubclass(label, &CueProcedure, kCueSubclass, self);
  for (HWND mark : windows_.sourceMarks) SetWindowSubclass(mark, &CueProcedure, kCueSubclass, self);
  SetWindowSubclass(windows_.link, &CueProcedure, kCueSubclass, self);
  SetWindowSubclass(windows_.dialog, &DialogProcedure, kDialogSubclass, self);
}

void DialogKeyboard::FocusFirst() { Focus(WindowOf(Stop::Sources)); }

HWND DialogKeyboard::WindowOf(Stop stop) const {
  switch (stop) {
    case Stop::Sources: {
      // With no source selected, the top row takes the focus without being selected.
      const int source = source_ ? source_() : -1;
      return windows_.sourceLabels[source >= 0 && source < 3 ? static_cast<std::size_t>(source) : 1];
    }
    case Stop::Repeat: return windows_.repeat;
    case Stop::Browse: return windows_.browse;
    case Stop::Slider: return windows_.slider;
    case Stop::Link: return windows_.link;
    case Stop::Save: return windows_.save;
    case Stop::Cancel: return windows_.cancel;
  }
  return nullptr;
}

Stop DialogKeyboard::StopOf(HWND focus) const {
  for (HWND label : windows_.sourceLabels)
    if (focus && focus == label) return Stop::Sources;
  for (Stop stop : kReadingOrder) {
    const HWND window = WindowOf(stop);
    if (focus && window && (focus == window || IsChild(window, focus))) return stop;
  }
  return Stop::Cancel;  // focus on no control: Tab starts at the first stop
}

void DialogKeyboard::Focus(HWND window) {
  if (window && IsWindowEnabled(window) && IsWindowVisible(window)) SetFocus(window);
}

// As a click on its label, so the dialog does what a click does; the focus follows the selection.
void DialogKeyboard::ChooseSource(int source) {
  const HWND label = windows_.sourceLabels[static_cast<std::size_t>(source)];
  SendMessageW(windows_.dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
               reinterpret_cast<LPARAM>(label));
  FocusFirst();
  // The focus moved inside the group, between objects the program describes itself: say so.
  if (const HWND focus = GetFocus(); focus && IsChild(windows_.dialog, focus))
    NotifyWinEvent(EVENT_OBJECT_FOCUS, focus, OBJID_CLIENT, CHILDID_SELF);
}

bool DialogKeyboard::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !windows_.dialog) return false;
  if (msg.hwnd != windows_.dialog && !IsChild(windows_.dialog, msg.hwnd)) return false;
  const Key key = KeyOf(msg.wParam);
  if (key == Key::Other) return false;
  const Stop focus = StopOf(GetFocus());
  const bool dropped = SendMessageW(windows_.repeat, CB_GETDROPPEDSTATE, 0, 0) != 0;
  switch (RouteKey(key, GetKeyState(VK_SHIFT) < 0, focus, dropped)) {
    case KeyAction::PassOn:
      return false;
    case KeyAction::FocusNext:
    case KeyAction::FocusPrevious: {
      const bool backward = GetKeyState(VK_SHIFT) < 0;
      Stop next = focus;
      for (std::size_t i = 0; i < kReadingOrder.size(); ++i) {  // a disabled control is passed over
        next = NextStop(next, backward);
        const HWND window = WindowOf(next);
        if (window && IsWindowEnabled(window) && IsWindowVisible(window)) {
          Focus(window);
          return true;
        }
      }
      return true;
    }
    case KeyAction::Save:
      SendMessageW(windows_.save, controls::kCommandPress, 0, 0);
      return true;
    case KeyAction::Cancel:
      SendMessageW(windows_.cancel, controls::kCommandPress, 0, 0);
      return true;
    case KeyAction::Browse:
      SendMessageW(windows_.browse, controls::kCommandPress, 0, 0);
      return true;
    case KeyAction::OpenLink:
      SendMessageW(windows_.dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(windows_.link), STN_CLICKED),
                   reinterpret_cast<LPARAM>(windows_.link));
      return true;
    case KeyAction::SourcePrevious:
    case KeyAction::SourceNext:
      ChooseSource(SourceAfter(source_ ? source_() : -1, key == Key::Left || key == Key::Up));
      return true;
  }
  return false;
}

LRESULT CALLBACK DialogKeyboard::CueProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR data) {
  auto* self = reinterpret_cast<DialogKeyboard*>(data);
  switch (msg) {
    case WM_PAINT: {
      const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
      DrawFocusCue(hwnd);
      return r;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, TRUE);
      if (self->windows_.dialog) PostMessageW(self->windows_.dialog, kFocusMovedMessage, 0, 0);
      break;
    case WM_LBUTTONUP: {
      // A click on a source, like a click on a radio button, also gives the group the focus.
      const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
      if (hwnd != self->windows_.link) self->FocusFirst();
      return r;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &CueProcedure, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// The dialog keeps the focused control while it is inactive and gives it back on activation, as
// the dialog manager does: after the file dialog closes the focus is where it was.
LRESULT CALLBACK DialogKeyboard::DialogProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                                DWORD_PTR data) {
  auto* self = reinterpret_cast<DialogKeyboard*>(data);
  if (msg == WM_ACTIVATE) {
    const HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE) {
      if (focus && IsChild(hwnd, focus)) self->remembered_ = focus;
      return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (self->remembered_ && IsWindow(self->remembered_) && IsChild(hwnd, self->remembered_))
      self->Focus(self->remembered_);
    else if (!GetFocus() || GetFocus() == hwnd)
      self->FocusFirst();
    return r;
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &DialogProcedure, id);
    self->windows_ = {};
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace lw::dialog
