// The settings dialog without a window: the source choice, the slider, the commit, its placement
// and geometry, its open and close outline animation and its keys. What it shows on opening, its
// gradient and its Tab order are test_dialog.sh's and test_dialog_keys.sh's, seen on screen.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dialog/dialog_layout.h"
#include "dialog/dialog_model.h"
#include "dialog/focus_order.h"
#include "startup/animation.h"
#include "tests/unit/memory_store.h"

namespace lw::dialog {
namespace {

settings::Settings Loaded(std::int16_t count, std::int16_t source, std::int16_t track, std::wstring file) {
  return settings::Settings{L"C:\\lw\\Lumenweave.ini", count, source, track, std::move(file)};
}

struct Files { lw::testing::MemoryStore store; settings::IniFile ini{store, SystemCp932()}; };

// A click beside the three choices changes nothing.
TEST(DialogModel, ChoosingASource) {
  const int cases[][3] = {{0, 2, 2}, {2, 1, 1}, {1, 0, 0}, {1, 3, 1}, {1, -1, 1}};
  for (const auto& c : cases) {
    auto s = Loaded(600, static_cast<std::int16_t>(c[0]), 4, L"C:\\a.wav");
    ChooseSource(s, c[1]);
    EXPECT_EQ(s.bgmSource, c[2]) << c[0] << " click " << c[1];
  }
}

TEST(DialogModel, SliderStepsStayInRange) {
  using A = ScrollAction;
  const struct { int value; ScrollAction action; int thumb, expected; } cases[] = {
      {600, A::LineLeft, 0, 599},  {2000, A::LineRight, 0, 2000}, {150, A::PageLeft, 0, 100},
      {600, A::Thumb, 5000, 2000}, {600, A::None, 0, 600},
  };
  for (const auto& c : cases) EXPECT_EQ(SliderAfter(c.value, c.action, c.thumb), c.expected) << c.value;
}

// The four keys in order, byte for byte, as a commit writes them.
std::string Keys(std::string count, std::string source, std::string track, std::string file) {
  return "\x97\xB1\x8E\x71\x90\x94=" + count + "\r\nBGM\x8B\xE6\x95\xAA=" + source + "\r\nBGM\xD8\xCB\xDF\xB0\xC4=" +
         track + "\r\nBGM\xCC\xA7\xB2\xD9=" + file + "\r\n";
}

TEST(DialogModel, CommitWritesTheFourKeysInOrder) {
  const struct { std::wstring repeatText; std::int16_t trackBefore, trackAfter; } cases[] = {
      {L"3.5", 9, 4}, {L"2.5", 9, 2}, {L"abc", 9, 0}, {L" 12 ", 0, 12}, {L"-1", 0, -1},
      // A number beyond 16 bits leaves the track as it was.
      {L"-32769", 5, 5}, {L"32767.5", 5, 5}, {L"32766.5", 5, 32766},
  };
  for (const auto& c : cases) {
    Files f;
    auto s = Loaded(2500, 2, c.trackBefore, L"C:\\m\\曲.mp3");
    EXPECT_TRUE(SaveSettings(f.ini, s, 600, c.repeatText).ok());
    EXPECT_EQ(s.bgmTrack, c.trackAfter) << ::testing::PrintToString(c.repeatText);
    EXPECT_EQ(f.store.writes, 1);  // one replace of the whole file
    const std::string track = std::to_string(c.trackAfter);
    EXPECT_EQ(f.store.files[s.iniPath], "[Section]\r\n" + Keys("600", "2", track, "C:\\m\\\x8B\xC8.mp3"));
    EXPECT_EQ(s.particleCount, 2500);  // the slider's value is written, the setting is not changed
  }
  // All or nothing: a failed replace, or a value the file cannot take, leaves every byte as it was.
  const std::string before = "[Section]\r\n" + Keys("700", "1", "3", "");
  for (const std::wstring& file : {std::wstring(L""), std::wstring(L"a\nb")}) {
    Files full;
    full.store.failingWrite = 1;
    auto s = Loaded(600, 2, 3, file);
    full.store.files[s.iniPath] = before;
    EXPECT_EQ(SaveSettings(full.ini, s, 800, L"4").error, file.empty() ? 112u : settings::kErrorInvalidData);
    EXPECT_EQ(full.store.files[s.iniPath], before);
  }
}

TEST(DialogModel, AnUntouchedSliderLeavesACountItCannotShowAsStored) {
  const struct { std::string stored; std::int16_t loaded; std::optional<int> moved; std::string saved; } cases[] = {
      {"50", 50, std::nullopt, "50"}, {"&H1388", 5000, std::nullopt, "&H1388"}, {"abc", 0, 100, "100"},
      {"", 600, std::nullopt, "600"},  // no file
  };
  for (const auto& c : cases) {
    Files f;
    auto s = Loaded(c.loaded, 0, 0, L"");
    if (!c.stored.empty()) f.store.files[s.iniPath] = "[Section]\r\n" + Keys(c.stored, "0", "0", "");
    EXPECT_TRUE(SaveSettings(f.ini, s, c.moved, L"").ok());
    EXPECT_EQ(f.store.files[s.iniPath], "[Section]\r\n" + Keys(c.saved, "0", "0", "")) << c.stored;
  }
}

TEST(DialogLayout, TwipsScaleWithTheDpi) {
  const struct { Box twips, origin; int dpi; Box pixels; } cases[] = {
      {twips::kSlider, twips::kPanel, 96, {292, 52, 77, 17}},
      {twips::kSave, {}, 120, {355, 185, 101, 31}},
      {{-8, -7, 0, 0}, {}, 96, {-1, 0, 0, 0}}, {{5, -5, 0, 0}, {}, 144, {1, -1, 0, 0}},  // halves away from zero
  };
  for (const auto& c : cases) EXPECT_EQ(ToPixels(c.twips, c.dpi, c.origin), c.pixels) << c.dpi;
}

TEST(DialogLayout, EverythingDrawnScalesWithTheDpi) {
  const struct { int dpi; DialogMetrics expected; } cases[] = {
      {120, {581, 239, -16, 695, 25, 15, 1}}, {144, {698, 287, -20, 834, 30, 18, 2}},
      {0, {465, 191, -13, 556, 20, 12, 1}},  // a window the system cannot place answers 0
  };
  for (const auto& c : cases) EXPECT_EQ(MetricsAt(c.dpi), c.expected) << c.dpi;
}

TEST(DialogLayout, OpensCentredAThirdOfTheFreeHeightDown) {
  const struct { double sw, sh, dw, dh, left, top; } cases[] = {
      {1024, 768, 1024, 768, 0, 0}, {400, 300, 471, 220, -35, 26},  // wider than the screen: truncated toward zero
      {1000.5, 800, 0, 0.5, 500, 266},  // 1000.5 rounds to 1000, 799.5 to 800
  };
  for (const auto& c : cases) {
    const Placement p = PlaceDialog(c.sw, c.sh, c.dw, c.dh);
    EXPECT_EQ(std::make_pair(p.left, p.top), std::make_pair(c.left, c.top)) << c.sw;
  }
}

// Column by column, each one strip beyond the target's edge (the panel's repeat is test_dialog.sh's).
TEST(DialogLayout, StripCopiesCoverTheTargetColumnByColumn) {
  const struct { int tw, th, sw, sh; std::vector<TilePosition> expected; } cases[] = {
      {0, 0, 10, 10, {{0, 0}, {0, 10}, {10, 0}, {10, 10}}}, {100, 100, 0, 20, {}}, {100, 100, 20, -1, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(TilePositions(c.tw, c.th, c.sw, c.sh), c.expected) << c.tw << "x" << c.th;
}

TEST(DialogKeys, WhatEachKeyDoesWhereverTheFocusIs) {
  using A = KeyAction;
  using K = Key;
  using S = Stop;
  const struct { Key key; Stop focus; bool dropped; A action; } rows[] = {  // Shift not held
      {K::Enter, S::Cancel, false, A::Cancel}, {K::Enter, S::Browse, false, A::Browse},
      {K::Enter, S::Save, false, A::Save},     {K::Enter, S::Slider, false, A::Save},
      {K::Left, S::Sources, false, A::SourcePrevious},
      {K::Enter, S::Link, false, A::OpenLink}, {K::Enter, S::Repeat, true, A::PassOn},
      {K::Escape, S::Repeat, true, A::PassOn}, {K::Right, S::Slider, false, A::PassOn},
  };
  for (const auto& r : rows)
    EXPECT_EQ(RouteKey(r.key, false, r.focus, r.dropped), r.action) << int(r.key) << " at " << int(r.focus);
}

// Rows are drawn audio CD (1), none (0), music file (2); the arrows wrap as in a radio group.
TEST(DialogKeys, ArrowsMoveTheSourceInDrawnOrder) {
  const int rows[][3] = {{1, 0, 0}, {0, 0, 2}, {2, 0, 1}, {1, 1, 2}, {0, 1, 1}, {-1, 0, 1}, {7, 1, 2}};
  for (const auto& r : rows) EXPECT_EQ(SourceAfter(r[0], r[1] != 0), r[2]) << r[0] << (r[1] ? " up" : " down");
}

}  // namespace
}  // namespace lw::dialog

namespace lw::startup {
namespace {

struct RecordingAnimator final : OutlineAnimator {
  ScreenRect windowRect;
  std::vector<std::pair<ScreenRect, ScreenRect>> drawn;
  ScreenRect WindowRect(WindowHandle w) override { return w == 42 ? windowRect : ScreenRect{}; }
  void AnimateCaption(WindowHandle w, const ScreenRect& from, const ScreenRect& to) override {
    if (w == 42) drawn.emplace_back(from, to);
  }
};

// Opens from the pointer stored at load (here on a monitor left of the primary one) and closes to it.
TEST(DialogAnimation, OpensFromAndClosesToThePointerStoredAtLoad) {
  const ScreenRect window{724, 286, 1195, 506}, moved{10, 10, 481, 230}, point{-1920, 5, -1920, 5};
  RecordingAnimator animator;
  animator.windowRect = window;
  WindowAnimation animation(animator), other(animator);
  animation.StorePointer(ScreenPoint{-1920, 5});
  other.StorePointer(ScreenPoint{3, 4});  // each animation keeps its own pointer
  animation.AnimateOpen(42);
  animator.windowRect = moved;  // moved while open
  animation.AnimateClose(42);
  const decltype(animator.drawn) expected = {{point, window}, {moved, point}};
  EXPECT_EQ(animator.drawn, expected);
}

}  // namespace
}  // namespace lw::startup
