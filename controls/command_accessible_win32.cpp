// The gradient button as a screen reader meets it: a push button named by its caption (or the
// name its host gave), unavailable while disabled, the default button while its host says so,
// with "Press" (or its host's word for it) as its default action. Everything is read from the
// window when asked, so a changed caption or state is seen at once.
#include <windows.h>
#include <oleacc.h>

#include "controls/command_win32.h"
#include "platform/accessible_win32.h"

namespace lw::controls {

LRESULT AnswerCommandObject(HWND button, WPARAM wParam, LPARAM lParam, std::shared_ptr<const CommandAccess> access) {
  win32::AccessibleDescription description;
  description.facts = [button, access] {
    const bool enabled = IsWindowEnabled(button) && SendMessageW(button, kCommandIsEnabled, 0, 0);
    long state = enabled ? win32::FocusStates(button) : STATE_SYSTEM_UNAVAILABLE;
    if (access && access->isDefault) state |= STATE_SYSTEM_DEFAULT;
    win32::AccessibleFacts facts{ROLE_SYSTEM_PUSHBUTTON, win32::WindowText(button), {}, state, L"Press", {}};
    if (access && !access->name.empty()) facts.name = access->name;
    if (access && !access->action.empty()) facts.defaultAction = access->action;
    if (access) facts.description = access->description;
    return facts;
  };
  // Posted: the reader's call returns at once, even when the click opens a modal window.
  description.doDefault = [button] { return PostMessageW(button, kCommandPress, 0, 0) != FALSE; };
  return win32::AnswerGetObject(button, wParam, lParam, std::move(description));
}

}  // namespace lw::controls
