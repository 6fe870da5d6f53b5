// The button's properties, its first Enabled read and its load and save handlers.
#include <gtest/gtest.h>

#include "tests/unit/controls_fakes.h"

namespace lw::controls {
namespace {

using testing::AmbientFont;
using testing::RecordingHost;
using testing::RecordingSurface;

struct Rig {
  RecordingSurface surface;
  RecordingHost host;
  Command button{surface, host};
};

std::vector<std::wstring> Keys(const PropertyBag& bag) {
  std::vector<std::wstring> keys;
  for (const auto& e : bag.Entries()) keys.push_back(e.first);
  return keys;
}

TEST(CommandProperties, FreshControlFirstEnabledRead) {
  Rig rig;
  EXPECT_FALSE(rig.button.IsEnabled());
  EXPECT_EQ(rig.button.FontColour(), 0);  // RefreshNormal paints nothing while disabled
  EXPECT_TRUE(rig.surface.paints.empty());
  EXPECT_TRUE(rig.button.Enabled());
  EXPECT_EQ(rig.button.FirstRun(), 1);
  EXPECT_EQ(rig.surface.Skins(), std::vector<Skin>{Skin::Normal});
  EXPECT_EQ(rig.button.State(), ButtonState::None);
  EXPECT_EQ(rig.button.Caption(), L"Command");
  EXPECT_EQ(rig.button.Font(), DesignFont());
}

TEST(CommandProperties, LoadFromStore) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::wstring, PropertyValue>> stored;
    bool enabled;
    std::wstring caption;
    std::uint8_t firstRun;
    std::int32_t colour;
    bool opaque;
  };
  const FontSpec ambient = AmbientFont();
  const Case cases[] = {
      {"no keys", {}, true, L"Command1", 1, 0, true},
      {"dialog button", {{L"Caption", std::wstring(L"設定")}}, true, L"設定", 1, 0, true},
      {"stored values", {{L"Enabled", 0}, {L"FontColour", 255}, {L"Visible", 0}}, false, L"Command1", 1, 255, false},
      {"texts", {{L"Enabled", std::wstring(L"False")}, {L"FontColour", std::wstring(L"&HFF")}, {L"Caption", 42}},
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
    PropertyBag bag;
    for (const auto& [k, v] : c.stored) bag.Set(k, v);
    Rig rig;
    rig.button.ReadProperties(bag, ambient);
    EXPECT_EQ(rig.button.IsEnabled(), c.enabled) << c.name;
    EXPECT_EQ(rig.button.Caption(), c.caption) << c.name;
    EXPECT_EQ(rig.button.Font(), ambient) << c.name;
    EXPECT_EQ(rig.button.FirstRun(), c.firstRun) << c.name;
    EXPECT_EQ(rig.button.Label().colour, c.colour) << c.name;
    EXPECT_EQ(rig.button.Opaque(), c.opaque) << c.name;
    EXPECT_EQ(rig.surface.Skins(), c.enabled ? std::vector<Skin>{Skin::Normal} : std::vector<Skin>{}) << c.name;
  }
}

TEST(CommandProperties, Save) {
  const FontSpec ambient = AmbientFont();
  struct Case {
    const char* name;
    std::function<void(Command&)> change;
    std::vector<std::wstring> keys;
  };
  const Case cases[] = {
      {"all defaults", [](Command&) {}, {L"Font"}},
      {"caption as loaded from an empty store", [](Command& b) { b.SetCaption(L"Command1"); }, {L"Caption", L"Font"}},
      {"everything", [](Command& b) {
         b.SetCaption(L"ｷﾝｾﾙ");
         b.SetFontColour(0xFF);
         b.SetVisible(0);
         b.SetEnabled(false);
       },
       {L"Enabled", L"Caption", L"Font", L"FontColour", L"Visible"}},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.button.Enabled();  // a fresh control: caption "Command", initialised by its first Enabled read
    c.change(rig.button);
    PropertyBag bag;
    rig.button.WriteProperties(bag, ambient);
    EXPECT_EQ(Keys(bag), c.keys) << c.name;

    // Read back into a new control: the same values, except that "Command" comes back "Command1".
    Rig copy;
    copy.button.ReadProperties(bag, ambient);
    const std::wstring expected = rig.button.Caption() == L"Command" ? L"Command1" : rig.button.Caption();
    EXPECT_EQ(copy.button.Caption(), expected) << c.name;
    EXPECT_EQ(copy.button.IsEnabled(), rig.button.IsEnabled()) << c.name;
    EXPECT_EQ(copy.button.Label().colour, rig.button.Label().colour) << c.name;
    EXPECT_EQ(copy.button.Opaque(), rig.button.Opaque()) << c.name;
    EXPECT_EQ(copy.button.FirstRun(), 1) << c.name;
  }
}

TEST(CommandProperties, ReadersAndWritersRepaintAsListed) {
  struct Case {
    const char* name;
    bool enabled;
    std::function<void(Command&)> action;
    std::vector<Skin> painted;
    std::vector<std::wstring> changed;
  };
  const Case cases[] = {
      {"Enabled read", true, [](Command& b) { EXPECT_TRUE(b.Enabled()); }, {Skin::Normal}, {}},
      {"Enabled read, disabled", false, [](Command& b) { EXPECT_FALSE(b.Enabled()); }, {Skin::Disable}, {}},
      {"FontColour read", true, [](Command& b) { b.FontColour(); }, {Skin::Normal}, {}},
      {"FontColour read, disabled", false, [](Command& b) { b.FontColour(); }, {}, {}},
      {"FontColour written", true, [](Command& b) { b.SetFontColour(0xFF); }, {Skin::Normal}, {L"FontColour"}},
      {"Caption written", true, [](Command& b) { b.SetCaption(L"x"); }, {}, {L"Caption"}},
      {"Font written", true, [](Command& b) { b.SetFont(DesignFont()); }, {}, {L"Font"}},
      {"Enabled written", true, [](Command& b) { b.SetEnabled(false); }, {Skin::Disable}, {L"Enabled"}},
      {"Visible read", true, [](Command& b) { EXPECT_EQ(b.Visible(), 255); }, {Skin::Normal}, {}},
      {"Visible 0", true, [](Command& b) { b.SetVisible(0); EXPECT_EQ(b.Visible(), 0); }, {}, {L"Visible"}},
      {"Visible 7", true, [](Command& b) { b.SetVisible(7); }, {Skin::Normal}, {L"Visible"}},
      {"resized", true, [](Command& b) { b.Resized(); }, {Skin::Normal}, {}},
      {"resized, disabled", false, [](Command& b) { b.Resized(); }, {Skin::Disable}, {}},
  };
  for (const auto& c : cases) {
    Rig rig;
    PropertyBag bag;
    if (!c.enabled) bag.Set(L"Enabled", 0);
    rig.button.ReadProperties(bag, AmbientFont());
    rig.button.Initialize();
    rig.button.FocusGained();
    rig.surface.paints.clear();
    rig.host.changed.clear();
    c.action(rig.button);
    EXPECT_EQ(rig.surface.Skins(), c.painted) << c.name;
    EXPECT_EQ(rig.host.changed, c.changed) << c.name;
    EXPECT_EQ(rig.button.State(), c.enabled ? ButtonState::Selected : ButtonState::Normal) << c.name;
  }
}

}  // namespace
}  // namespace lw::controls
