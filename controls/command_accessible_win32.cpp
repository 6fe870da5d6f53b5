// The gradient button as a screen reader meets it: a push button named by its caption,
// unavailable while disabled, with "Press" as its default action. Everything is read from the
// window when asked, so a changed caption or state is seen at once.
#include <windows.h>
#include <oleacc.h>

#include "controls/command_win32.h"
#include "platform/accessible_win32.h"

namespace lw::controls {

LRESULT AnswerCommandObject(HWND button, WPARAM wParam, LPARAM lParam) {
  win32::AccessibleDescription description;
  description.facts = [button] {
    const bool enabled = IsWindowEnabled(button) && SendMessageW(button, kCommandIsEnabled, 0, 0);
    return win32::AccessibleFacts{ROLE_SYSTEM_PUSHBUTTON, win32::WindowText(button), {},
                                  enabled ? win32::FocusStates(button) : STATE_SYSTEM_UNAVAILABLE, L"Press"};
  };
  // Posted: the reader's call returns at once, even when the click opens a modal window.
  description.doDefault = [button] { return PostMessageW(button, kCommandPress, 0, 0) != FALSE; };
  return win32::AnswerGetObject(button, wParam, lParam, std::move(description));
}

}  // namespace lw::controls
