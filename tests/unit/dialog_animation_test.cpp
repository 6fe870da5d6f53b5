// The dialog's open and close outline animation and its stored pointer position.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "startup/animation.h"

namespace lw::startup {
namespace {

struct Drawn {
  WindowHandle window;
  ScreenRect from, to;
  friend bool operator==(const Drawn&, const Drawn&) = default;
};

class RecordingAnimator final : public OutlineAnimator {
 public:
  ScreenRect windowRect;
  std::vector<Drawn> drawn;
  ScreenRect WindowRect(WindowHandle) override { return windowRect; }
  void AnimateCaption(WindowHandle w, const ScreenRect& from, const ScreenRect& to) override {
    drawn.push_back({w, from, to});
  }
};

TEST(DialogAnimation, OpensFromAndClosesToThePointerStoredAtLoad) {
  const ScreenRect window{724, 286, 1195, 506};
  struct Case {
    std::optional<ScreenPoint> atLoad;
    ScreenRect point;
  };
  const Case cases[] = {
      {ScreenPoint{100, 200}, {100, 200, 100, 200}},
      {std::nullopt, {0, 0, 0, 0}},                    // unreadable: the screen's corner
      {ScreenPoint{-1920, 5}, {-1920, 5, -1920, 5}},   // a monitor left of the primary one
      {ScreenPoint{40000, 7}, {0, 7, 0, 7}},           // beyond 16 bits: x keeps its value
  };
  for (const auto& c : cases) {
    RecordingAnimator animator;
    animator.windowRect = window;
    WindowAnimation animation(animator);
    animation.StorePointer(c.atLoad);
    animation.AnimateOpen(42);
    animator.windowRect = {10, 10, 481, 230};  // moved while open
    animation.AnimateClose(42);
    const std::vector<Drawn> expected = {{42, c.point, window}, {42, {10, 10, 481, 230}, c.point}};
    EXPECT_EQ(animator.drawn, expected);
  }
}

TEST(DialogAnimation, TwoAnimationsKeepTheirOwnPointer) {
  RecordingAnimator animator;
  WindowAnimation a(animator), b(animator);
  a.StorePointer(ScreenPoint{1, 2});
  b.StorePointer(ScreenPoint{3, 4});
  EXPECT_EQ(a.PointerX(), 1);
  EXPECT_EQ(a.PointerY(), 2);
  EXPECT_EQ(b.PointerX(), 3);
}

}  // namespace
}  // namespace lw::startup
