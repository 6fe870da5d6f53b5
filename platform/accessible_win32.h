// What one control tells a screen reader: an IAccessible object of the program's own, answered
// from WM_GETOBJECT. The system's proxies cannot describe owner-drawn and custom controls (and
// Wine's report every standard control as a plain client area), so the program describes them.
//
// The facts are asked for afresh at every call, so the name follows the text the control shows
// and the state follows focus and selection. A reader may keep the object after the window is
// gone; it then answers that it is disconnected.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>

namespace lw::win32 {

// MinGW's import library exposes IID_IAccessible as a function thunk, not as data.
inline constexpr GUID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct AccessibleFacts {
  long role = ROLE_SYSTEM_CLIENT;
  std::wstring name;
  std::wstring value;
  long state = 0;  // STATE_SYSTEM_* bits
  std::wstring defaultAction;  // empty: none
  std::wstring description;    // empty: none
};

struct AccessibleDescription {
  std::function<AccessibleFacts()> facts;
  // Runs the default action; false when there is none.
  std::function<bool()> doDefault;
};

// The answer to WM_GETOBJECT for `hwnd`: an object for OBJID_CLIENT, 0 (the system's own) for
// anything else.
LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, AccessibleDescription description);

// Makes a window of another class (a standard control) answer WM_GETOBJECT with `description`,
// for as long as the window lives.
void DescribeWindow(HWND hwnd, AccessibleDescription description);

// Names a standard control for screen readers while keeping the system's own accessible object
// for it (its children, its states, its value): the name is set on that object through the
// system's annotation service (IAccPropServices::SetHwndPropStr, PROPID_ACC_NAME) and cleared when
// the window goes. False when the service is not there; the control then keeps the name the
// system's proxy finds (the label created right before it).
bool NameStandardControl(HWND hwnd, const std::wstring& name);

// Helpers the descriptions share.
std::wstring WindowText(HWND hwnd);
long FocusStates(HWND hwnd);  // focusable, focused when it or a child of it has the focus

}  // namespace lw::win32
