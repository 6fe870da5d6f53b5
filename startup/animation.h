// The outline animation of the settings dialog: its frame grows out of the pointer position taken
// when the dialog loads and shrinks back into that same point when it closes.
#pragma once

#include <cstdint>
#include <optional>

#include "startup/screen_rect.h"

namespace lw::startup {

// An opaque window handle, as the platform gives it.
using WindowHandle = std::uintptr_t;

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// What the animation needs from the windowing system. Results of both calls are not examined.
class OutlineAnimator {
 public:
  virtual ~OutlineAnimator() = default;
  // The window's outer rectangle in screen pixels; all zero for a window that is not there.
  virtual ScreenRect WindowRect(WindowHandle window) = 0;
  // The system's caption animation from one rectangle to the other.
  virtual void AnimateCaption(WindowHandle window, const ScreenRect& from, const ScreenRect& to) = 0;
};

// The stored pointer position and the two animations that use it.
class WindowAnimation {
 public:
  explicit WindowAnimation(OutlineAnimator& animator) : animator_(animator) {}

  // The pointer position at dialog load; nullopt (unreadable) stores (0, 0). A coordinate outside
  // the 16-bit range keeps the value stored before.
  void StorePointer(std::optional<ScreenPoint> position);
  std::int16_t PointerX() const { return pointerX_; }
  std::int16_t PointerY() const { return pointerY_; }

  void AnimateOpen(WindowHandle window);
  void AnimateClose(WindowHandle window);

 private:
  ScreenRect PointRect() const { return {pointerX_, pointerY_, pointerX_, pointerY_}; }

  OutlineAnimator& animator_;
  std::int16_t pointerX_ = 0;
  std::int16_t pointerY_ = 0;
};

}  // namespace lw::startup
