// The start procedure: mode table, single-instance guard, command-line rules, preview sizing and
// the X11 hack's options.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "startup/command_line.h"
#include "startup/hack_options.h"
#include "startup/preview.h"
#include "startup/preview_picture.h"
#include "startup/startup.h"

namespace lw::startup {
namespace {

struct RecordingHost final : StartupHost {
  std::wstring open;  // the title of a window of ours already open
  std::wstring calls;
  bool TopLevelWindowExists(std::wstring_view title) override { return (calls += L"find ", title == open); }
  void HidePointer() override { calls += L"hide "; }
  settings::Settings LoadSettings() override { return (calls += L"load ", settings::Settings{}); }
  void RunPreview(std::int32_t parent) override { calls += L"preview " + std::to_wstring(parent); }
  void RunSettingsDialog(settings::Settings&, std::int32_t owner) override {
    calls += L"dialog " + std::to_wstring(owner);
  }
  void RunSaver(settings::Settings&, std::wstring_view) override { calls += L"saver"; }
};

// `calls`: those after both lookups. A main or settings window of ours already open (`open`):
// nothing starts; an open preview does not count.
TEST(Startup, ModeTable) {
  const struct { std::wstring args, calls, open = L""; } cases[] = {
      {L"/s", L"load hide saver"}, {L"", L"load dialog 0"}, {L"/c:1234", L"load dialog 1234"},
      {L"/P:1234", L"preview 1234"},  // the mode letter is the second character
      {L"/s", L"", L"Lumenweave_Main"}, {L"/s", L"", L"<Lumenweave>"}, {L"/s", L"load hide saver", L"Preview Window"},
  };
  for (const auto& c : cases) {
    RecordingHost host;
    host.open = c.open;
    Main(c.args, host);
    EXPECT_EQ(host.calls, L"find find " + c.calls) << ::testing::PrintToString(c.args + L" " + c.open);
  }
}

TEST(CommandLine, ArgumentTextAndModeLetter) {
  const struct { std::wstring commandLine, args; wchar_t mode; } cases[] = {
      {L"\"C:\\Program Files\\Lumenweave.scr\" /p 1234", L"/p 1234", L'P'},
      {L"\"C:\\Lumenweave.scr /S", L"", L'\0'},  // an unclosed quote swallows everything
      {L"\"C:\\x\\Lumenweave.scr\"/p 1234", L"/p 1234", L'P'},  // the closing quote ends the path
      {L"Lumenweave.scr /\uFF53", L"/\uFF53", L'\uFF53'},  // only ASCII letters fold
      {L"Lumenweave.scr \t  \t", L"", L'\0'}, {L"x.scr \t/z", L"/z", L'Z'}, {L"x.scr /{", L"/{", L'{'},
      {std::wstring(L"Lumenweave.scr /s\0x", 19), std::wstring(L"/s\0x", 4), L'S'},
      // The program's own path unquoted, with blanks, in its long or short form.
      {L"c:\\my savers\\LUMENWEAVE.SCR /s", L"/s", L'S'}, {L"C:\\MYSAVE~1\\LUMENW~1.SCR /p 5", L"/p 5", L'P'},
      {L"C:\\My Savers\\Lumenweave.scrx /s", L"Savers\\Lumenweave.scrx /s", L'A'}, {L"C:\\My Savers\\Lumenweave.scr", L"", 0},
  };
  const std::vector<std::wstring> own = {L"C:\\My Savers\\Lumenweave.scr", L"C:\\MYSAVE~1\\LUMENW~1.SCR"};
  for (const auto& c : cases) {
    const std::wstring args = ArgumentText(c.commandLine, own);
    EXPECT_EQ(args, c.args) << ::testing::PrintToString(c.commandLine);
    EXPECT_EQ(ModeLetter(args), c.mode) << ::testing::PrintToString(c.commandLine);
  }
}

// The handle is the forgiving number scan of what follows "/p" and one separator, rounded to 32 bits.
TEST(CommandLine, ParentHandle) {
  const struct { std::wstring args; std::int32_t handle; } cases[] = {
      {L"/p:1234", 1234}, {L"/p ", 0}, {L"/p 2.5", 2}, {L"/p 3.5", 4}, {L"/p -1", -1}, {L"/p 2147483647.5", 0},
      {L"/p -2147483648", INT_MIN}, {L"/p -2147483649", 0}, {std::wstring(L"/p 12\0" L"34", 8), 12},
  };
  for (const auto& c : cases) EXPECT_EQ(ParentWindowHandle(c.args), c.handle) << ::testing::PrintToString(c.args);
}

TEST(PreviewLayout, ParentSizes) {
  // Expected: width and height in twips, then in pixels.
  const struct { ScreenRect parent; double tpp; std::vector<int> expected; } cases[] = {
      {{0, 0, 151, 151}, 7.5, {1132, 1132, 151, 151}},  // 192 dpi: 1132.5 rounds down to even
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 15, {0, 0, 0, 0}},  // does not overflow
  };
  for (const auto& c : cases) {
    const PreviewLayout g = LayoutPreview(c.parent, c.tpp, c.tpp);
    EXPECT_EQ(std::vector<int>({g.widthTwips, g.heightTwips, g.widthPixels, g.heightPixels}), c.expected);
  }
  const std::pair<int, double> dpis[] = {{96, 15}, {1, 1440}, {0, 15}};
  for (const auto& [dpi, expected] : dpis) EXPECT_DOUBLE_EQ(TwipsPerPixel(dpi), expected) << dpi;
}

// The X11 hack's command line: targets, the particle count's range, refusals that name their cause.
TEST(HackOptions, Table) {
  constexpr auto kOwn = HackTarget::kOwnWindow, kRoot = HackTarget::kRoot, kId = HackTarget::kWindowId;
  const struct { std::vector<std::string> args; const char* env; std::optional<HackOptions> expected; } cases[] = {
      {{}, nullptr, HackOptions{}},
      {{"--root", "-count", "12"}, nullptr, HackOptions{.target = kRoot, .count = 12}},
      {{"-root"}, "0x2a", HackOptions{.target = kId, .windowId = 42}},  // the daemon's window wins over --root
      {{"-window"}, "0x2a", HackOptions{.target = kOwn}},  // an explicit choice wins over the daemon's
      {{"-window-id", "77", "-count", "32767"}, "0x2a", HackOptions{.target = kId, .windowId = 77, .count = 32767}},
      {{"-fps", "--music", "a b.mp3", "-count", "0"}, nullptr, HackOptions{.count = 0, .music = "a b.mp3", .fps = true}},
      {{"--display", ":3", "-help"}, nullptr, HackOptions{.display = ":3", .help = true}},
      {{"-music"}, nullptr, std::nullopt},      {{"-count", "abc"}, nullptr, std::nullopt},
      {{"-count", "12.7"}, nullptr, std::nullopt}, {{"-count", "-5"}, nullptr, std::nullopt},
      {{"-count", "32768"}, nullptr, std::nullopt}, {{"-count", "99999999999"}, nullptr, std::nullopt},
      {{"-window-id", "0x"}, nullptr, std::nullopt}, {{"-window-id", "1x5"}, nullptr, std::nullopt},
      {{"-bogus"}, nullptr, std::nullopt},
  };
  const auto fields = [](const HackOptions& o) { return std::tie(o.target, o.windowId, o.count, o.music, o.fps,
                                                                  o.display, o.help); };
  for (const auto& c : cases) {
    const auto [options, error] = ParseHackOptions(c.args, c.env);
    ASSERT_EQ(options.has_value(), c.expected.has_value()) << ::testing::PrintToString(c.args);
    if (options) { EXPECT_EQ(fields(*options), fields(*c.expected)) << ::testing::PrintToString(c.args); }
    // A refusal names the option (and the value) it could not take.
    if (!options) { for (const auto& arg : c.args) EXPECT_NE(error.find(arg), std::string::npos) << error; }
  }
}

// The picture keeps its size in twips at any DPI (what that looks like at 144 DPI is
// test_preview.sh's).
TEST(PreviewPicture, SizeAndReduction) {
  const struct { int dpi, width, height; } sizes[] = {{96, 152, 112}, {144, 228, 168}, {0, 38, 28}, {100000, 760, 560}};
  for (const auto& c : sizes) {
    const auto [width, height] = PreviewSize(c.dpi);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(c.width, c.height)) << c.dpi;
  }
  // Each block's lit share, a pixel cut by a block edge counted by its overlap, on a curve that
  // saturates: blocks of 2.5 screen pixels, 2 and 1 of them lit.
  const std::uint32_t y = 0xFFFF00;
  const Picture reduced = ReducePreviewScreen({5, 1, {y, y, 0, y, 0}}, 2, 1);
  EXPECT_EQ(reduced.pixels, (std::vector<std::uint32_t>{232 * 0x10100u, 178 * 0x10100u}));
  EXPECT_TRUE(ReducePreviewScreen({}, 2, 1).pixels.empty());
  EXPECT_EQ(ReducePreviewScreen({5, 1, {y, y, 0, y, 0}}, 2, 0).width, 0);
}

}  // namespace
}  // namespace lw::startup
