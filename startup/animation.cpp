#include "startup/animation.h"

#include "platform/conversions.h"

namespace lw::startup {

void WindowAnimation::StorePointer(std::optional<ScreenPoint> position) {
  const ScreenPoint p = position.value_or(ScreenPoint{});
  if (const auto x = FitInt16(p.x)) pointerX_ = *x;
  if (const auto y = FitInt16(p.y)) pointerY_ = *y;
}

void WindowAnimation::AnimateOpen(WindowHandle window) {
  const ScreenRect point = PointRect();
  animator_.AnimateCaption(window, point, animator_.WindowRect(window));
}

void WindowAnimation::AnimateClose(WindowHandle window) {
  const ScreenRect point = PointRect();
  animator_.AnimateCaption(window, animator_.WindowRect(window), point);
}

}  // namespace lw::startup
