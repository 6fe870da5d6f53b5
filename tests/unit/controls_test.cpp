// The gradient button: its pointer, focus and mouse-button machine with the Click rule, its
// painted face, and the load and save of its properties.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/command.h"

namespace lw::controls {
namespace {

// Each paint as one letter of its skin: Normal, Highlight, highLight-select, Selected, Pressed,
// Disabled; lower case when the tint is at the top of the gradient, '?' when nothing was drawn.
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
    const bool tintOnTop = gradients.back() && gradients.back()->upper == kFaceTint;
    skins.back() = (tintOnTop ? "nhlspd" : "NHLSPD")[int(skin)], pieces.back().push_back(piece);
  }
  void Present() override { ++presents; }
  void LabelChanged() override {}
};

struct RecordingHost final : ButtonHost {
  static constexpr std::uintptr_t kOwn = 1, kParent = 2, kElsewhere = 3;
  std::uintptr_t under = kElsewhere;
  bool parentReadable = true;
  int clicks = 0;
  void StartPointerTimer(int) override {}
  std::uintptr_t WindowUnderPointer() override { return under; }
  std::uintptr_t OwnWindow() override { return kOwn; }
  std::optional<std::uintptr_t> ParentWindow() override { return parentReadable ? std::optional(kParent) : std::nullopt; }
  void Click() override { ++clicks; }
  void PropertyChanged(std::wstring_view) override {}
};

const FontSpec kAmbient{L"Tahoma", 8, 400, false, false, false, 0};

PropertyBag Bag(const std::vector<std::pair<std::wstring, PropertyValue>>& stored) {
  PropertyBag bag;
  for (const auto& [k, v] : stored) bag.Set(k, v);
  return bag;
}

struct Rig {
  RecordingSurface surface;
  RecordingHost host;
  Command button{surface, host};
  explicit Rig(bool initialize = true, const PropertyBag& bag = {}, double w = 1215, double h = 375, double tpp = 15) {
    surface.width = w, surface.height = h, surface.twipsPerPixel = tpp;
    button.ReadProperties(bag, kAmbient);
    if (initialize) button.Initialize();
  }
  // m move, M move with the left button held, f focus, b blur, D/R left/right press, U/r/u
  // left/right/middle release, a/p/o/n pointer tick away/over the parent/over the button/parent
  // unreadable, x disable, k/K Space down/up, c default action, l capture lost, z resized.
  void Fire(std::string_view events) {
    for (char e : events) {
      host.under = e == 'p' ? RecordingHost::kParent : e == 'o' || e == 'n' ? RecordingHost::kOwn
                                                                          : RecordingHost::kElsewhere;
      host.parentReadable = e != 'n';
      switch (e) {
        case 'm': button.MouseMoved(0); break;
        case 'M': button.MouseMoved(kLeftButton); break;
        case 'f': button.FocusGained(); break;
        case 'b': button.FocusLost(); break;
        case 'D': button.MouseDown(kLeftButton); break;
        case 'R': button.MouseDown(kRightButton); break;
        case 'U': button.MouseUp(kLeftButton); break;
        case 'r': button.MouseUp(kRightButton); break;
        case 'u': button.MouseUp(kMiddleButton); break;
        case 'x': button.SetEnabled(false); break;
        case 'k': button.SpaceDown(); break;
        case 'K': button.SpaceUp(); break;
        case 'c': button.Press(); break;
        case 'l': button.CaptureLost(); break;
        case 'z': button.Resized(); break;
        default: button.PointerTick(); break;
      }
    }
  }
};

// From a loaded, initialised button (state 1): the events before, then the events whose paints,
// clicks and final state are checked. Whole gestures under real input are test_dialog.sh's buttons table.
TEST(CommandStates, Transitions) {
  using enum ButtonState;
  const struct { const char *before, *events; ButtonState to; const char* painted; int clicks; } rows[] = {
      {"", "m", HighLight, "h", 0},         {"", "f", Selected, "S", 0},          {"m", "f", HighLightSelect, "p", 0},
      {"f", "m", HighLightSelect, "L", 0},  {"m", "p", Normal, "N", 0},           {"m", "n", Normal, "N", 0},
      {"m", "o", HighLight, "", 0},         {"m", "U", HighLight, "n", 0},        {"m", "r", HighLight, "", 0},
      {"fm", "b", Normal, "N", 0},          {"", "b", Normal, "", 0},             {"fD", "M", Selected, "", 0},
      {"fD", "U", Selected, "", 0},         {"f", "u", Selected, "", 0},          {"f", "a", Selected, "", 0},
      {"fm", "a", Selected, "S", 0},        {"D", "U", Normal, "", 0},            {"", "D", Normal, "P", 0},
      {"m", "R", HighLight, "", 0},         {"m", "c", HighLight, "", 1},
      // Disabled: the face keeps the gradient of the state before.
      {"", "x", Normal, "D", 0},             {"m", "x", HighLight, "d", 0},
      {"fm", "x", HighLightSelect, "D", 0},  {"mfD", "x", HighLightSelect, "d", 0},
      // Gestures.
      {"", "mfDU", HighLightSelect, "hppl", 1},      // a click on an unfocused button
      {"", "mfDMU", HighLightSelect, "hppl", 1},     // released within one tick
      {"", "fkK", Selected, "SPS", 1},               // Space
      {"", "fkbK", Normal, "SPN", 0},                // Space, focus lost before its release
      {"", "xmfDUrubokKc", Normal, "D", 0},          // a disabled button ignores everything
      {"mfD", "lU", HighLightSelect, "ll", 0},       // capture lost mid-press: no click
      {"f", "z", Selected, "S", 0},                  // re-laid out: the focus look stays
  };
  for (const auto& row : rows) {
    Rig rig;
    rig.Fire(row.before);
    rig.surface.skins.clear(), rig.host.clicks = 0;
    rig.Fire(row.events);
    const std::string where = std::string(row.before) + "|" + row.events;
    EXPECT_EQ(rig.button.State(), row.to) << where;
    EXPECT_EQ(rig.surface.skins, row.painted) << where;
    EXPECT_EQ(rig.host.clicks, row.clicks) << where;
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
  const struct { double w, h, tpp; std::size_t piecesDrawn; std::optional<GradientFill> gradient;
                 double captionTop; } cases[] = {
      {1215, 600, 15, 8, {{0, 0, 80, 39, kGradientWhite, kFaceTint}}, 192.5},
      {100, 100, 15, 4, {{0, 0, 6, 6, kGradientWhite, kFaceTint}}, -57.5},  // only the corners fit
      {15, 375, 15, 6, std::nullopt, 80},  // one pixel wide: no gradient
      {30, 375, 15, 6, {{0, 0, 1, 24, kGradientWhite, kFaceTint}}, 80},
  };
  for (const auto& c : cases) {
    const Rig rig(false, {}, c.w, c.h, c.tpp);
    const RecordingSurface& surface = rig.surface;
    ASSERT_EQ(surface.skins, "N");
    EXPECT_EQ(surface.pieces[0].size(), c.piecesDrawn) << c.w << "x" << c.h;
    EXPECT_EQ(surface.gradients[0], c.gradient) << c.w << "x" << c.h;
    EXPECT_EQ(surface.presents, 2);  // after the gradient and after the border
    const CaptionLabel& label = rig.button.Label();
    EXPECT_EQ(std::vector({label.left, label.top, label.width, label.height}), std::vector({0.0, c.captionTop, c.w, 195.0}));
  }
}

// A first run of 0 turns the caption black; Enabled reads back into a new control as written, and
// a value at its default is not stored.
TEST(CommandProperties, LoadAndSave) {
  EXPECT_EQ(Rig(false, Bag({{L"FirstRun", 0}, {L"FontColour", 255}})).button.Label().colour, 0);
  Rig loaded;
  loaded.button.ReadProperties(Bag({{L"FirstRun", 256}}), kAmbient);  // not a byte: ignored
  EXPECT_EQ(loaded.button.FirstRun(), 1);
  loaded.button.ReadProperties(Bag({{L"Enabled", std::wstring(L"fALSE")}}), kAmbient);  // any letter case
  EXPECT_FALSE(loaded.button.IsEnabled());
  EXPECT_TRUE(Rig(false, Bag({{L"Enabled", std::wstring(L"tRUE")}})).button.IsEnabled());
  for (const bool enabled : {true, false}) {
    Rig rig;
    rig.button.SetEnabled(enabled);
    PropertyBag bag;
    rig.button.WriteProperties(bag, kAmbient);
    EXPECT_FALSE(bag.Has(L"Visible"));  // shown, its default
    EXPECT_EQ(Rig(false, bag).button.IsEnabled(), enabled);
  }
}

}  // namespace
}  // namespace lw::controls
