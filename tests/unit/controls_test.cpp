// The gradient button: its pointer, focus and mouse-button machine with the Click rule, its
// painted face, and its properties with their load and save handlers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/command.h"

namespace lw::controls {
namespace {

// Each paint as one letter of its skin: Normal, Highlight, highLight-select, Selected, Pressed, Disabled.
struct RecordingSurface final : ButtonSurface {
  double width = 1215, height = 375, twipsPerPixel = 15;
  std::string skins;
  std::vector<std::optional<GradientFill>> gradients;
  std::vector<std::vector<SkinPiece>> pieces;
  int presents = 0;
  double WidthTwips() const override { return width; }
  double HeightTwips() const override { return height; }
  double TwipsPerPixel() const override { return twipsPerPixel; }
  void Clear() override { gradients.emplace_back(), pieces.emplace_back(), skins += '?'; }
  void FillGradient(const GradientFill& fill) override { gradients.back() = fill; }
  void DrawPiece(Skin skin, const SkinPiece& piece) override {
    skins.back() = "NHLSPD"[int(skin)], pieces.back().push_back(piece);
  }
  void Present() override { ++presents; }
  void LabelChanged() override {}
};

struct RecordingHost final : ButtonHost {
  static constexpr std::uintptr_t kOwn = 1, kParent = 2, kElsewhere = 3;
  std::uintptr_t under = kElsewhere;
  bool parentReadable = true;
  int clicks = 0;
  std::optional<int> timer;
  std::vector<std::wstring> changed;
  std::function<void()> onClick;
  void StartPointerTimer(int intervalMs) override { timer = intervalMs; }
  std::uintptr_t WindowUnderPointer() override { return under; }
  std::uintptr_t OwnWindow() override { return kOwn; }
  std::optional<std::uintptr_t> ParentWindow() override { return parentReadable ? std::optional(kParent) : std::nullopt; }
  void Click() override { ++clicks, onClick ? onClick() : void(); }
  void PropertyChanged(std::wstring_view name) override { changed.emplace_back(name); }
};

const FontSpec kAmbient{L"Tahoma", 8, 400, false, false, false, 0};

struct Rig {
  RecordingSurface surface;
  RecordingHost host;
  std::unique_ptr<Command> button = std::make_unique<Command>(surface, host);
  explicit Rig(bool initialize = true, const PropertyBag& bag = {}) {
    button->ReadProperties(bag, kAmbient);
    if (initialize) button->Initialize();
  }
  // m move, M move with the left button held, f focus, b blur, D/R left/right press, U/r/u
  // left/right/middle release, a/p/o/n pointer tick away/over the parent/over the button/parent
  // unreadable, x disable, k/K Space down/up, c default action.
  void Fire(std::string_view events) {
    for (char e : events) {
      Command& b = *button;
      host.under = e == 'p' ? RecordingHost::kParent : e == 'o' || e == 'n' ? RecordingHost::kOwn
                                                                          : RecordingHost::kElsewhere;
      host.parentReadable = e != 'n';
      switch (e) {
        case 'm': b.MouseMoved(0); break;
        case 'M': b.MouseMoved(kLeftButton); break;
        case 'f': b.FocusGained(); break;
        case 'b': b.FocusLost(); break;
        case 'D': b.MouseDown(kLeftButton); break;
        case 'R': b.MouseDown(kRightButton); break;
        case 'U': b.MouseUp(kLeftButton); break;
        case 'r': b.MouseUp(kRightButton); break;
        case 'u': b.MouseUp(kMiddleButton); break;
        case 'x': b.SetEnabled(false); break;
        case 'k': b.SpaceDown(); break;
        case 'K': b.SpaceUp(); break;
        case 'c': b.Press(); break;
        default: b.PointerTick(); break;
      }
    }
  }
  void Forget() { surface.skins.clear(), surface.gradients.clear(), host.clicks = 0; }
};

// From a loaded, initialised button (state 1): the events before, then the events whose paints,
// clicks and final state are checked.
TEST(CommandStates, Transitions) {
  using S = ButtonState;
  const struct { const char *before, *events; S to; const char* painted; int clicks; } rows[] = {
      {"", "m", S::HighLight, "H", 0},        {"", "f", S::Selected, "S", 0},       {"m", "f", S::HighLightSelect, "P", 0},
      {"f", "m", S::HighLightSelect, "L", 0}, {"m", "p", S::Normal, "N", 0},        {"m", "n", S::Normal, "N", 0},
      {"m", "o", S::HighLight, "", 0},        {"m", "U", S::HighLight, "N", 0},     {"m", "r", S::HighLight, "", 0},
      {"m", "b", S::Normal, "N", 0},          {"fm", "b", S::Normal, "N", 0},       {"", "b", S::Normal, "", 0},
      {"fD", "M", S::Selected, "", 0},        {"fD", "U", S::Selected, "", 0},      {"f", "u", S::Selected, "", 0},
      {"f", "a", S::Selected, "", 0},         {"fm", "a", S::Selected, "S", 0},     {"fm", "o", S::HighLightSelect, "", 0},
      {"D", "U", S::Normal, "", 0},           {"", "r", S::Normal, "", 0},          {"", "D", S::Normal, "P", 0},
      {"fm", "D", S::HighLightSelect, "P", 0}, {"m", "R", S::HighLight, "", 0},     {"fm", "f", S::Selected, "S", 0},
      {"m", "c", S::HighLight, "", 1},
      // Whole gestures.
      {"", "mfDU", S::HighLightSelect, "HPPL", 1},      // a click on an unfocused button
      {"", "mfDMaU", S::Selected, "HPPS", 0},           // press, drag off, a tick, release
      {"", "mfDMU", S::HighLightSelect, "HPPL", 1},     // released within one tick
      {"", "mfDaMUm", S::HighLightSelect, "HPPSL", 0},  // drag off, tick, back on, release, move
      {"", "mRr", S::HighLight, "H", 1},                {"", "mfDUDU", S::HighLightSelect, "HPPLPL", 2},
      {"", "mfoa", S::Selected, "HPS", 0},              // tabbed onto while hovered: pressed look until it leaves
      {"", "mRar", S::Normal, "HN", 0},                 // right press dragged away, a tick, release
      {"", "mfDr", S::HighLightSelect, "HPP", 0},       // left press, right release
      {"", "fkK", S::Selected, "SPS", 1},               // Space
      {"", "fkbK", S::Normal, "SPN", 0},                // Space, focus lost before its release
      {"", "xmfDUrubokKc", S::Normal, "D", 0},          // a disabled button ignores everything
  };
  for (const auto& row : rows) {
    Rig rig;
    rig.Fire(row.before);
    rig.Forget();
    rig.Fire(row.events);
    const std::string where = std::string(row.before) + "|" + row.events;
    EXPECT_EQ(rig.button->State(), row.to) << where;
    EXPECT_EQ(rig.surface.skins, row.painted) << where;
    EXPECT_EQ(rig.host.clicks, row.clicks) << where;
  }
}

TEST(CommandStates, BeforeInitializeAndClickLast) {
  Rig rig(false);
  rig.Forget();
  rig.Fire("mo");
  EXPECT_EQ(rig.button->State(), ButtonState::None);
  EXPECT_EQ(rig.surface.skins, "");
  EXPECT_FALSE(rig.host.timer.has_value());
  rig.Fire("UDUf");  // only the release of a press clicks
  EXPECT_EQ(rig.host.clicks, 1);
  EXPECT_EQ(rig.button->State(), ButtonState::Selected);
  rig.button->Initialize();
  EXPECT_EQ(rig.host.timer, kPointerPollMs);
  EXPECT_EQ(rig.button->State(), ButtonState::Normal);
  // Click is the last step of the release: the host may destroy the control from it.
  rig.host.onClick = [&] { rig.button.reset(); };
  rig.Fire("mfDU");
  EXPECT_EQ(rig.host.clicks, 2);
  EXPECT_EQ(rig.button, nullptr);
}

// A disabled face keeps the gradient of the state it was in; highlight puts the tint on top.
TEST(CommandPaint, GradientFollowsTheStateBefore) {
  const struct { const char* events; bool tintOnTop; } cases[] = {{"", false}, {"m", true}, {"fm", false}, {"mfD", true}};
  for (const auto& c : cases) {
    Rig rig;
    rig.Fire(c.events);
    rig.Fire("x");
    EXPECT_EQ(rig.surface.skins.back(), 'D');
    ASSERT_TRUE(rig.surface.gradients.back());
    EXPECT_EQ(rig.surface.gradients.back()->upper, c.tintOnTop ? kFaceTint : kGradientWhite) << c.events;
    EXPECT_EQ(rig.surface.gradients.back()->lower, c.tintOnTop ? kGradientWhite : kFaceTint) << c.events;
    EXPECT_FALSE(rig.button->Label().enabled);
  }
}

TEST(CommandPaint, PieceGeometry) {
  // Corners copied unscaled (4 px), top and bottom strips stretched or squeezed from 56 px, side
  // strips copied 1:1 (17 px), all from the 64 x 25 skin.
  const std::vector<PixelRect> sources = {{0, 0, 4, 4},  {4, 0, 56, 4},  {60, 0, 4, 4}, {60, 4, 4, 17},
                                          {60, 21, 4, 4}, {4, 21, 56, 4}, {0, 21, 4, 4}, {0, 4, 4, 17}};
  const struct { double w, h, twipsPerPixel; std::vector<PixelRect> dest; } cases[] = {
      {1215, 375, 15, {{0, 0, 4, 4}, {4, 0, 73, 4}, {77, 0, 4, 4}, {77, 4, 4, 17}, {77, 21, 4, 4}, {4, 21, 73, 4},
                       {0, 21, 4, 4}, {0, 4, 4, 17}}},
      // 144 dots per inch: everything half as large again; edges meet (115.5 rounds to even 116).
      {1215, 375, 10, {{0, 0, 6, 6}, {6, 0, 110, 6}, {116, 0, 6, 6}, {116, 6, 6, 26}, {116, 32, 6, 6}, {6, 32, 110, 6},
                       {0, 32, 6, 6}, {0, 6, 6, 26}}},
      // 480 dots per inch: a twip is a third of a pixel.
      {1215, 375, 3, {{0, 0, 20, 20}, {20, 0, 365, 20}, {385, 0, 20, 20}, {385, 20, 20, 85}, {385, 105, 20, 20},
                      {20, 105, 365, 20}, {0, 105, 20, 20}, {0, 20, 20, 85}}},
      // Narrower than two corners: the strips are empty.
      {100, 375, 15, {{0, 0, 4, 4}, {4, 0, 0, 4}, {3, 0, 4, 4}, {3, 4, 4, 17}, {3, 21, 4, 4}, {4, 21, 0, 4},
                      {0, 21, 4, 4}, {0, 4, 4, 17}}},
      // Beyond 16-bit twips the middle sizes stay 0.
      {40000, 375, 15, {{0, 0, 4, 4}, {4, 0, 0, 4}, {2663, 0, 4, 4}, {2663, 4, 4, 17}, {2663, 21, 4, 4},
                        {4, 21, 0, 4}, {0, 21, 4, 4}, {0, 4, 4, 17}}},
  };
  for (const auto& c : cases) {
    std::vector<PixelRect> dest, source;
    for (const auto& piece : SkinPieces(c.w, c.h, c.twipsPerPixel))
      dest.push_back(piece.dest), source.push_back(piece.source);
    EXPECT_EQ(dest, c.dest) << c.w << "x" << c.h << " at " << c.twipsPerPixel;
    EXPECT_EQ(source, sources) << c.w << "x" << c.h << " at " << c.twipsPerPixel;
  }
}

TEST(CommandPaint, OnePaint) {
  const struct {
    double w, h, tpp;
    std::size_t piecesDrawn;
    std::optional<GradientFill> gradient;
    double captionTop;
  } cases[] = {
      {1215, 600, 15, 8, {{0, 0, 80, 39, kGradientWhite, kFaceTint}}, 192.5},
      {100, 100, 15, 4, {{0, 0, 6, 6, kGradientWhite, kFaceTint}}, -57.5},  // only the corners fit
      {1215, 375, 1, 8, {{0, 0, 1214, 374, kGradientWhite, kFaceTint}}, 80},  // 1440 dots per inch
      {15, 375, 15, 6, std::nullopt, 80},  // one pixel wide: no gradient
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    surface.width = c.w, surface.height = c.h, surface.twipsPerPixel = c.tpp;
    RecordingHost host;
    Command button(surface, host);
    button.ReadProperties(PropertyBag{}, kAmbient);
    ASSERT_EQ(surface.skins, "N");
    EXPECT_EQ(surface.pieces[0].size(), c.piecesDrawn) << c.w << "x" << c.h;
    EXPECT_EQ(surface.gradients[0], c.gradient) << c.w << "x" << c.h;
    EXPECT_EQ(surface.presents, 2);  // after the gradient and after the border
    const CaptionLabel& label = button.Label();
    EXPECT_EQ(std::vector({label.left, label.top, label.width, label.height}), std::vector({0.0, c.captionTop, c.w, 195.0}));
  }
}

// A fresh control is disabled and paints nothing until the first read of Enabled initialises it.
TEST(CommandProperties, FreshControlFirstEnabledRead) {
  RecordingSurface surface;
  RecordingHost host;
  Command button(surface, host);
  EXPECT_EQ(std::make_tuple(button.IsEnabled(), button.FontColour(), surface.skins), std::make_tuple(false, 0, ""));
  EXPECT_TRUE(button.Enabled());
  EXPECT_EQ(std::make_tuple(button.FirstRun(), surface.skins, button.Caption()),
            std::make_tuple(std::uint8_t{1}, std::string("N"), std::wstring(L"Command")));
}

PropertyBag Bag(const std::vector<std::pair<std::wstring, PropertyValue>>& stored) {
  PropertyBag bag;
  for (const auto& [k, v] : stored) bag.Set(k, v);
  return bag;
}

TEST(CommandProperties, LoadFromStore) {
  const struct {
    const char* name;
    std::vector<std::pair<std::wstring, PropertyValue>> stored;
    bool enabled;
    std::wstring caption;
    std::uint8_t firstRun;
    std::int32_t colour;
    bool opaque;
  } cases[] = {
      {"no keys", {}, true, L"Command1", 1, 0, true},
      {"stored values", {{L"Enabled", 0}, {L"FontColour", 255}, {L"Visible", 0}}, false, L"Command1", 1, 255, false},
      {"texts", {{L"Enabled", std::wstring(L"fALSE")}, {L"FontColour", std::wstring(L"&HFF")}, {L"Caption", 42}},
       false, L"42", 1, 255, true},
      {"Visible other than 0 or 1 is refused", {{L"Visible", 2}}, true, L"Command1", 1, 0, true},
      {"unconvertible values keep the fresh ones",
       {{L"Enabled", std::wstring(L"maybe")}, {L"FirstRun", std::wstring(L"x")}, {L"FontColour", std::wstring(L"")},
        {L"Visible", std::wstring(L"huge")}},
       false, L"Command1", 0, 0, true},
      {"FirstRun beyond 8 bits", {{L"FirstRun", 300}}, true, L"Command1", 0, 0, true},
      {"FirstRun 0 makes the caption black", {{L"FirstRun", 0}, {L"FontColour", 255}}, true, L"Command1", 0, 0, true},
  };
  for (const auto& c : cases) {
    Rig rig(false, Bag(c.stored));
    EXPECT_EQ(rig.button->IsEnabled(), c.enabled) << c.name;
    EXPECT_EQ(rig.button->Caption(), c.caption) << c.name;
    EXPECT_EQ(rig.button->Font(), kAmbient) << c.name;
    EXPECT_EQ(rig.button->FirstRun(), c.firstRun) << c.name;
    EXPECT_EQ(rig.button->Label().colour, c.colour) << c.name;
    EXPECT_EQ(rig.button->Opaque(), c.opaque) << c.name;
    EXPECT_EQ(rig.surface.skins, c.enabled ? "N" : "") << c.name;
  }
  // A key missing from the store reads as its default, whatever the control held before.
  Rig twice(false, Bag({{L"Enabled", 0}, {L"FirstRun", 0}, {L"FontColour", 255}, {L"Visible", 0}, {L"Caption", 7}}));
  twice.button->ReadProperties(PropertyBag{}, kAmbient);
  const Command& b = *twice.button;
  EXPECT_EQ(std::make_tuple(b.IsEnabled(), b.FirstRun(), b.Label().colour, b.Opaque(), b.Caption()),
            std::make_tuple(true, std::uint8_t{1}, 0, true, std::wstring(L"Command1")));
}

TEST(CommandProperties, SaveAndReadBack) {
  const struct { const char* name; void (*change)(Command&); std::vector<std::wstring> keys; } cases[] = {
      {"all defaults", [](Command&) {}, {L"Font"}},
      {"everything",
       [](Command& b) { b.SetCaption(L"ｷﾝｾﾙ"), b.SetFontColour(0xFF), b.SetVisible(0), b.SetEnabled(false); },
       {L"Enabled", L"Caption", L"Font", L"FontColour", L"Visible"}},
  };
  for (const auto& c : cases) {
    RecordingSurface surface;
    RecordingHost host;
    Command button(surface, host);
    button.Enabled();  // a fresh control: caption "Command", initialised by its first Enabled read
    c.change(button);
    PropertyBag bag;
    button.WriteProperties(bag, kAmbient);
    std::vector<std::wstring> keys;
    for (const auto& e : bag.Entries()) keys.push_back(e.first);
    EXPECT_EQ(keys, c.keys) << c.name;
    // Read back into a new control: the same values, except that "Command" comes back "Command1".
    Rig copy(false, bag);
    EXPECT_EQ(copy.button->Caption(), button.Caption() == L"Command" ? L"Command1" : button.Caption()) << c.name;
    EXPECT_EQ(copy.button->IsEnabled(), button.IsEnabled()) << c.name;
    EXPECT_EQ(copy.button->Label().colour, button.Label().colour) << c.name;
    EXPECT_EQ(copy.button->Opaque(), button.Opaque()) << c.name;
    EXPECT_EQ(copy.button->FirstRun(), 1) << c.name;
  }
}

TEST(CommandProperties, ReadersAndWritersRepaintAsListed) {
  const struct {
    const char* name;
    bool enabled;
    void (*action)(Command&);
    const char* painted;
    const wchar_t* changed;  // the property reported changed, if any
  } cases[] = {
      {"Enabled read", true, [](Command& b) { EXPECT_TRUE(b.Enabled()); }, "N", nullptr},
      {"Enabled read, disabled", false, [](Command& b) { EXPECT_FALSE(b.Enabled()); }, "D", nullptr},
      {"FontColour read, disabled", false, [](Command& b) { b.FontColour(); }, "", nullptr},
      {"FontColour written", true, [](Command& b) { b.SetFontColour(0xFF); }, "N", L"FontColour"},
      {"Caption written", true, [](Command& b) { b.SetCaption(L"x"); }, "", L"Caption"},
      {"Enabled written", true, [](Command& b) { b.SetEnabled(false); }, "D", L"Enabled"},
      {"Visible 0", true, [](Command& b) { b.SetVisible(0); EXPECT_EQ(b.Visible(), 0); }, "", L"Visible"},
      {"Visible 7", true, [](Command& b) { b.SetVisible(7); }, "N", L"Visible"},
      {"resized, disabled", false, [](Command& b) { b.Resized(); }, "D", nullptr},
  };
  for (const auto& c : cases) {
    Rig rig(true, c.enabled ? PropertyBag{} : Bag({{L"Enabled", 0}}));
    rig.Fire("f");
    rig.Forget();
    rig.host.changed.clear();
    c.action(*rig.button);
    EXPECT_EQ(rig.surface.skins, c.painted) << c.name;
    const std::vector<std::wstring> changed = c.changed ? std::vector<std::wstring>{c.changed} : std::vector<std::wstring>{};
    EXPECT_EQ(rig.host.changed, changed) << c.name;
    EXPECT_EQ(rig.button->State(), c.enabled ? ButtonState::Selected : ButtonState::Normal) << c.name;
  }
}

}  // namespace
}  // namespace lw::controls
