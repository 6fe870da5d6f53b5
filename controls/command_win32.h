// The gradient push-button control "Lumenweave.Command", as its hosts see it.
//
// Create it with CreateWindowExW(0, kCommandClass, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
// x, y, w, h, parent, (HMENU)id, instance, nullptr) after RegisterCommandClass(); give it its
// font with WM_SETFONT. Its Click reaches the parent as WM_COMMAND with MAKEWPARAM(id, BN_CLICKED)
// and the control's window as lParam. Send kCommandInitialize once the host has loaded, to start
// the pointer tracking.
#pragma once

#include <windows.h>

namespace lw::controls {

inline constexpr wchar_t kCommandClass[] = L"Lumenweave.Command";
inline constexpr UINT kCommandInitialize = WM_APP + 0x100;  // wParam, lParam 0
inline constexpr UINT kCommandSetEnabled = WM_APP + 0x101;  // wParam TRUE/FALSE

bool RegisterCommandClass();

}  // namespace lw::controls
