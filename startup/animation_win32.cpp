#include "startup/animation_win32.h"

namespace lw::startup {
namespace {

RECT ToRect(const ScreenRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

ScreenRect Win32OutlineAnimator::WindowRect(WindowHandle window) {
  RECT r{};
  if (!GetWindowRect(reinterpret_cast<HWND>(window), &r)) return {};
  return {r.left, r.top, r.right, r.bottom};
}

void Win32OutlineAnimator::AnimateCaption(WindowHandle window, const ScreenRect& from, const ScreenRect& to) {
  const RECT a = ToRect(from);
  const RECT b = ToRect(to);
  DrawAnimatedRects(reinterpret_cast<HWND>(window), IDANI_CAPTION, &a, &b);
}

std::optional<ScreenPoint> ReadPointerPosition() {
  POINT p{};
  if (!GetCursorPos(&p)) return std::nullopt;
  return ScreenPoint{p.x, p.y};
}

}  // namespace lw::startup
