// The button's pointer, focus and mouse-button machine and its Click rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/unit/controls_fakes.h"

namespace lw::controls {
namespace {

using testing::RecordingHost;
using testing::RecordingSurface;
using S = ButtonState;

enum class Ev { Move, MoveHeld, Focus, Blur, LeftDown, RightDown, LeftUp, RightUp, MiddleUp, TickAway, TickParent,
                TickOver, TickNoParent, Disable, SpaceDown, SpaceUp, Press };

// A loaded, initialised button (state 1) with its recording ports.
struct Rig {
  RecordingSurface surface;
  RecordingHost host;
  std::unique_ptr<Command> button = std::make_unique<Command>(surface, host);

  Rig() {
    button->ReadProperties(PropertyBag{}, testing::AmbientFont());
    button->Initialize();
  }
  void Fire(Ev e) {
    Command& b = *button;
    switch (e) {
      case Ev::Move: b.MouseMoved(0); break;
      case Ev::MoveHeld: b.MouseMoved(kLeftButton); break;
      case Ev::Focus: b.FocusGained(); break;
      case Ev::Blur: b.FocusLost(); break;
      case Ev::LeftDown: b.MouseDown(kLeftButton); break;
      case Ev::RightDown: b.MouseDown(kRightButton); break;
      case Ev::LeftUp: b.MouseUp(kLeftButton); break;
      case Ev::RightUp: b.MouseUp(kRightButton); break;
      case Ev::MiddleUp: b.MouseUp(kMiddleButton); break;
      case Ev::TickAway: host.under = RecordingHost::kElsewhere; b.PointerTick(); break;
      case Ev::TickParent: host.under = RecordingHost::kParent; b.PointerTick(); break;
      case Ev::TickOver: host.under = RecordingHost::kOwn; b.PointerTick(); break;
      case Ev::Disable: b.SetEnabled(false); break;
      case Ev::SpaceDown: b.SpaceDown(); break;
      case Ev::SpaceUp: b.SpaceUp(); break;
      case Ev::Press: b.Press(); break;
      case Ev::TickNoParent:
        host.under = RecordingHost::kOwn;
        host.parentReadable = false;
        b.PointerTick();
        break;
    }
  }
  void Fire(std::initializer_list<Ev> events) {
    for (Ev e : events) Fire(e);
  }
  void Forget() {
    surface.paints.clear();
    host.clicks = 0;
  }
};

// The path from state 1 to each start state of the table.
std::vector<Ev> PathTo(S state, bool leftHeld) {
  std::vector<Ev> path;
  if (state == S::HighLight) path = {Ev::Move};
  if (state == S::Selected) path = {Ev::Focus};
  if (state == S::HighLightSelect) path = {Ev::Focus, Ev::Move};
  if (leftHeld) path.push_back(Ev::LeftDown);
  return path;
}

TEST(CommandStates, TransitionTable) {
  struct Row {
    S from;
    bool leftHeld;
    Ev event;
    S to;
    std::vector<Skin> painted;
    bool click;
  };
  const Row rows[] = {
      {S::Normal, false, Ev::Move, S::HighLight, {Skin::HighLight}, false},
      {S::Normal, false, Ev::Focus, S::Selected, {Skin::Selected}, false},
      {S::HighLight, false, Ev::Focus, S::HighLightSelect, {Skin::Pressed}, false},
      {S::HighLight, false, Ev::TickAway, S::Normal, {Skin::Normal}, false},
      {S::HighLight, false, Ev::TickParent, S::Normal, {Skin::Normal}, false},
      {S::HighLight, false, Ev::TickNoParent, S::Normal, {Skin::Normal}, false},
      {S::HighLight, false, Ev::TickOver, S::HighLight, {}, false},
      {S::HighLight, false, Ev::LeftUp, S::HighLight, {Skin::Normal}, false},
      {S::HighLight, false, Ev::RightUp, S::HighLight, {}, false},
      {S::HighLight, false, Ev::MiddleUp, S::HighLight, {}, false},
      {S::HighLight, false, Ev::Blur, S::Normal, {Skin::Normal}, false},
      {S::Selected, false, Ev::Blur, S::Normal, {Skin::Normal}, false},
      {S::HighLightSelect, false, Ev::Blur, S::Normal, {Skin::Normal}, false},
      {S::Normal, false, Ev::Blur, S::Normal, {}, false},
      {S::Selected, false, Ev::Move, S::HighLightSelect, {Skin::HighLightSelect}, false},
      {S::Selected, true, Ev::MoveHeld, S::Selected, {}, false},
      {S::Selected, true, Ev::LeftUp, S::Selected, {}, false},
      {S::Selected, false, Ev::RightUp, S::Selected, {}, false},
      {S::Selected, false, Ev::MiddleUp, S::Selected, {}, false},
      {S::Selected, false, Ev::TickAway, S::Selected, {}, false},
      {S::HighLightSelect, false, Ev::TickAway, S::Selected, {Skin::Selected}, false},
      {S::HighLightSelect, false, Ev::TickOver, S::HighLightSelect, {}, false},
      {S::HighLightSelect, true, Ev::LeftUp, S::HighLightSelect, {Skin::HighLightSelect}, true},
      {S::HighLightSelect, false, Ev::RightUp, S::HighLightSelect, {}, false},
      {S::HighLightSelect, false, Ev::MiddleUp, S::HighLightSelect, {}, false},
      {S::Normal, true, Ev::LeftUp, S::Normal, {}, false},
      {S::Normal, false, Ev::RightUp, S::Normal, {}, false},
      {S::Normal, false, Ev::LeftDown, S::Normal, {Skin::Pressed}, false},
      {S::HighLight, false, Ev::LeftDown, S::HighLight, {Skin::Pressed}, false},
      {S::Selected, false, Ev::LeftDown, S::Selected, {Skin::Pressed}, false},
      {S::HighLightSelect, false, Ev::LeftDown, S::HighLightSelect, {Skin::Pressed}, false},
      {S::HighLight, false, Ev::RightDown, S::HighLight, {}, false},
      {S::Selected, false, Ev::Focus, S::Selected, {Skin::Selected}, false},
      {S::HighLightSelect, false, Ev::Focus, S::Selected, {Skin::Selected}, false},
      {S::Selected, false, Ev::SpaceDown, S::Selected, {Skin::Pressed}, false},
      {S::Selected, false, Ev::SpaceUp, S::Selected, {}, false},
      {S::HighLight, false, Ev::Press, S::HighLight, {}, true},
  };
  for (const auto& row : rows) {
    Rig rig;
    for (Ev e : PathTo(row.from, row.leftHeld)) rig.Fire(e);
    ASSERT_EQ(rig.button->State(), row.from);
    rig.Forget();
    rig.Fire(row.event);
    const std::string where = "from " + std::to_string(int(row.from)) + " event " + std::to_string(int(row.event));
    EXPECT_EQ(rig.button->State(), row.to) << where;
    EXPECT_EQ(rig.surface.Skins(), row.painted) << where;
    EXPECT_EQ(rig.host.clicks, row.click ? 1 : 0) << where;
    if (row.event == Ev::LeftDown) {
      EXPECT_TRUE(rig.button->MouseIsDown()) << where;
    }
    if (row.event == Ev::LeftUp) {
      EXPECT_FALSE(rig.button->MouseIsDown()) << where;
    }
  }
}

TEST(CommandStates, Scenarios) {
  struct Case {
    const char* name;
    std::vector<Ev> events;
    int clicks;
    S finalState;
    std::optional<Skin> lastSkin;
    bool pressedSeen;
  };
  // A click on an unfocused button: move in, press (focus comes with it), release.
  const Case cases[] = {
      {"normal click", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::LeftUp}, 1, S::HighLightSelect, Skin::HighLightSelect, true},
      {"press, drag off, a tick, release", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::MoveHeld, Ev::TickAway, Ev::LeftUp},
       0, S::Selected, Skin::Selected, true},
      {"release within one tick", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::MoveHeld, Ev::LeftUp}, 1, S::HighLightSelect,
       Skin::HighLightSelect, true},
      {"drag off, tick, back on, release", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::TickAway, Ev::MoveHeld, Ev::LeftUp},
       0, S::Selected, Skin::Selected, true},
      {"... then the next move", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::TickAway, Ev::MoveHeld, Ev::LeftUp, Ev::Move},
       0, S::HighLightSelect, Skin::HighLightSelect, true},
      {"right click", {Ev::Move, Ev::RightDown, Ev::RightUp}, 1, S::HighLight, Skin::HighLight, false},
      {"right press dragged away, a tick, release", {Ev::Move, Ev::RightDown, Ev::TickAway, Ev::RightUp}, 0, S::Normal,
       Skin::Normal, false},
      {"left press, right release", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::RightUp}, 0, S::HighLightSelect,
       Skin::Pressed, true},
      {"space", {Ev::Focus, Ev::SpaceDown, Ev::SpaceUp}, 1, S::Selected, Skin::Selected, true},
      {"space, focus lost before its release", {Ev::Focus, Ev::SpaceDown, Ev::Blur, Ev::SpaceUp}, 0, S::Normal,
       Skin::Normal, true},
      {"double click", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::LeftUp, Ev::LeftDown, Ev::LeftUp}, 2, S::HighLightSelect,
       Skin::HighLightSelect, true},
      {"tab onto a button away from the pointer", {Ev::Focus}, 0, S::Selected, Skin::Selected, false},
      {"tab onto a hovered button", {Ev::Move, Ev::Focus}, 0, S::HighLightSelect, Skin::Pressed, true},
      {"... pressed look until the pointer leaves", {Ev::Move, Ev::Focus, Ev::TickOver, Ev::TickAway}, 0, S::Selected,
       Skin::Selected, true},
      {"click, then the pointer leaves", {Ev::Move, Ev::Focus, Ev::LeftDown, Ev::LeftUp, Ev::TickAway}, 1, S::Selected,
       Skin::Selected, true},
      {"a disabled button ignores everything",
       {Ev::Disable, Ev::Move, Ev::Focus, Ev::LeftDown, Ev::LeftUp, Ev::RightUp, Ev::MiddleUp, Ev::TickAway, Ev::Blur,
        Ev::SpaceDown, Ev::SpaceUp, Ev::Press},
       0, S::Normal, Skin::Disable, false},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.Forget();
    for (Ev e : c.events) rig.Fire(e);
    EXPECT_EQ(rig.host.clicks, c.clicks) << c.name;
    EXPECT_EQ(rig.button->State(), c.finalState) << c.name;
    const auto skins = rig.surface.Skins();
    EXPECT_EQ(skins.empty() ? std::nullopt : std::optional<Skin>(skins.back()), c.lastSkin) << c.name;
    EXPECT_EQ(std::count(skins.begin(), skins.end(), Skin::Pressed) > 0, c.pressedSeen) << c.name;
  }
}

TEST(CommandStates, BeforeInitialize) {
  RecordingSurface surface;
  RecordingHost host;
  Command button(surface, host);
  button.ReadProperties(PropertyBag{}, testing::AmbientFont());
  surface.paints.clear();
  button.MouseMoved(0);
  button.PointerTick();
  EXPECT_EQ(button.State(), S::None);
  EXPECT_TRUE(surface.paints.empty());
  EXPECT_FALSE(host.timer.has_value());
  button.MouseUp(kLeftButton);  // no press on it
  button.MouseDown(kLeftButton);
  button.MouseUp(kLeftButton);
  EXPECT_EQ(host.clicks, 1);
  button.FocusGained();
  EXPECT_EQ(button.State(), S::Selected);
  button.Initialize();
  EXPECT_EQ(host.timer, kPointerPollMs);
  EXPECT_EQ(button.State(), S::Normal);
}

// Click is the last step of the release: the host may destroy the control from it.
TEST(CommandStates, HostDestroysTheControlFromClick) {
  Rig rig;
  rig.host.onClick = [&] { rig.button.reset(); };
  rig.Fire({Ev::Move, Ev::Focus, Ev::LeftDown});
  rig.button->MouseUp(kLeftButton);
  EXPECT_EQ(rig.host.clicks, 1);
  EXPECT_EQ(rig.button, nullptr);
}

TEST(CommandStates, GradientFollowsTheStateBefore) {
  struct Case {
    std::vector<Ev> events;
    bool tintOnTop;
  };
  const Case cases[] = {
      {{}, false},                                     // state 1
      {{Ev::Move}, true},                              // state 2
      {{Ev::Focus}, false},                            // state 3
      {{Ev::Focus, Ev::Move}, false},                  // 4 reached from 3
      {{Ev::Move, Ev::Focus}, true},                   // 4 reached from 2
      {{Ev::Move, Ev::Focus, Ev::LeftDown}, true},     // pressed look keeps it
  };
  for (const auto& c : cases) {
    Rig rig;
    for (Ev e : c.events) rig.Fire(e);
    rig.button->SetEnabled(false);  // a disabled face keeps the gradient of its state
    const auto& paint = rig.surface.paints.back();
    EXPECT_EQ(paint.skin(), Skin::Disable);
    ASSERT_TRUE(paint.gradient);
    EXPECT_EQ(paint.gradient->upper, c.tintOnTop ? kFaceTint : kGradientWhite);
    EXPECT_EQ(paint.gradient->lower, c.tintOnTop ? kGradientWhite : kFaceTint);
    EXPECT_FALSE(rig.button->Label().enabled);
  }
}

}  // namespace
}  // namespace lw::controls
