// The outline animation over user32: GetWindowRect, DrawAnimatedRects and the pointer position.
#pragma once

#include <windows.h>

#include <optional>

#include "startup/animation.h"

namespace lw::startup {

class Win32OutlineAnimator final : public OutlineAnimator {
 public:
  ScreenRect WindowRect(WindowHandle window) override;
  void AnimateCaption(WindowHandle window, const ScreenRect& from, const ScreenRect& to) override;
};

// The pointer's screen position, or nullopt when it cannot be read.
std::optional<ScreenPoint> ReadPointerPosition();

inline WindowHandle HandleOf(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }

}  // namespace lw::startup
