// The gradient push-button control "Lumenweave.Command", as its hosts see it.
//
// Create it with CreateWindowExW(0, kCommandClass, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
// x, y, w, h, parent, (HMENU)id, instance, nullptr) after RegisterCommandClass(); give it its
// font with WM_SETFONT. Its Click reaches the parent as WM_COMMAND with MAKEWPARAM(id, BN_CLICKED)
// and the control's window as lParam. Send kCommandInitialize once the host has loaded, to start
// the pointer tracking. Sizes follow the screen's resolution: the face is laid out in twips
// (1440 per inch). The window text is the caption; WM_SETTEXT changes it.
//
// Further messages give the host the rest of the button's properties (all optional):
// kCommandGetEnabled reads Enabled (TRUE/FALSE), kCommandSetFontColour / kCommandGetFontColour the
// caption colour (COLORREF in wParam / the result), kCommandSetVisible / kCommandGetVisible whether
// the face is painted (0 shows only the caption over what the parent draws on WM_ERASEBKGND and
// WM_PRINTCLIENT; the getter answers 0 or 255), kCommandReadProperties / kCommandWriteProperties
// load or save the properties from or to a lw::controls::PropertyBag passed as lParam, and
// kCommandGetState answers the pointer/focus state (0 before kCommandInitialize, then 1..4).
//
// The keyboard: Space on the focused button presses it. kCommandPress presses it as a click does
// (the dialog's Enter and Esc, a screen reader's default action); kCommandIsEnabled reads Enabled
// without repainting. Like a standard button with BS_NOTIFY, it tells its parent of gaining and
// losing the focus (BN_SETFOCUS, BN_KILLFOCUS).
//
// Screen readers get an accessible push button named by the caption. kCommandSetDefault (wParam
// TRUE/FALSE) marks it as the button Enter presses (STATE_SYSTEM_DEFAULT, announced as a state
// change); kCommandSetAccessibleText sets, for readers only, its name, description or default
// action's name (wParam one of AccessibleText, lParam the text, nullptr for the default: the
// caption, none, "Press").
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace lw::controls {

inline constexpr wchar_t kCommandClass[] = L"Lumenweave.Command";
inline constexpr UINT kCommandInitialize = WM_APP + 0x100;  // wParam, lParam 0
inline constexpr UINT kCommandSetEnabled = WM_APP + 0x101;  // wParam TRUE/FALSE
inline constexpr UINT kCommandGetEnabled = WM_APP + 0x102;
inline constexpr UINT kCommandSetFontColour = WM_APP + 0x103;
inline constexpr UINT kCommandGetFontColour = WM_APP + 0x104;
inline constexpr UINT kCommandSetVisible = WM_APP + 0x105;
inline constexpr UINT kCommandGetVisible = WM_APP + 0x106;
inline constexpr UINT kCommandReadProperties = WM_APP + 0x107;
inline constexpr UINT kCommandWriteProperties = WM_APP + 0x108;
inline constexpr UINT kCommandGetState = WM_APP + 0x109;
inline constexpr UINT kCommandPress = WM_APP + 0x10A;
inline constexpr UINT kCommandIsEnabled = WM_APP + 0x10B;
inline constexpr UINT kCommandSetDefault = WM_APP + 0x10C;
inline constexpr UINT kCommandSetAccessibleText = WM_APP + 0x10D;
enum AccessibleText : WPARAM { kAccessibleName, kAccessibleDescription, kAccessibleAction };

// What the button tells a screen reader beyond its window's own state.
struct CommandAccess {
  std::wstring name, description, action;  // empty: the caption, none, "Press"
  bool isDefault = false;
};

bool RegisterCommandClass();

// The button's answer to WM_GETOBJECT (command_accessible_win32.cpp).
LRESULT AnswerCommandObject(HWND button, WPARAM wParam, LPARAM lParam, std::shared_ptr<const CommandAccess> access);

}  // namespace lw::controls
