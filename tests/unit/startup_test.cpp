// The start procedure: mode table, single-instance guard and the command-line rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup/command_line.h"
#include "startup/startup.h"

namespace lw::startup {
namespace {

class RecordingHost final : public StartupHost {
 public:
  std::vector<std::wstring> openTitles;
  std::vector<std::wstring> calls;

  bool TopLevelWindowExists(std::wstring_view title) override {
    calls.push_back(L"find " + std::wstring(title));
    for (const auto& t : openTitles)
      if (t == title) return true;
    return false;
  }
  void HidePointer() override { calls.push_back(L"hide"); }
  settings::Settings LoadSettings() override {
    calls.push_back(L"load");
    return {};
  }
  void RunPreview(std::int32_t parent) override { calls.push_back(L"preview " + std::to_wstring(parent)); }
  void RunSettingsDialog(settings::Settings&) override { calls.push_back(L"dialog"); }
  void RunSaver(settings::Settings&, std::wstring_view) override { calls.push_back(L"saver"); }
};

using Calls = std::vector<std::wstring>;
const std::wstring kFindSaver = L"find Lumenweave_Main";
const std::wstring kFindDialog = L"find <Lumenweave>";

TEST(Startup, ModeTable) {
  struct Case {
    std::wstring args;
    Calls expected;
  };
  const Case cases[] = {
      {L"/S", {kFindSaver, kFindDialog, L"load", L"hide", L"saver"}},
      {L"/s", {kFindSaver, kFindDialog, L"load", L"hide", L"saver"}},
      {L"-S", {kFindSaver, kFindDialog, L"load", L"hide", L"saver"}},
      {L"XS", {kFindSaver, kFindDialog, L"load", L"hide", L"saver"}},
      {L"", {kFindSaver, kFindDialog, L"load", L"dialog"}},
      {L"S", {kFindSaver, kFindDialog, L"load"}},  // one character: unrecognised
      {L"/x", {kFindSaver, kFindDialog, L"load"}},
      {L"/c", {kFindSaver, kFindDialog, L"load", L"dialog"}},
      {L"/c:1234", {kFindSaver, kFindDialog, L"load", L"dialog"}},
      {L"/p 1234", {kFindSaver, kFindDialog, L"preview 1234"}},
      {L"/p:1234", {kFindSaver, kFindDialog, L"preview 1234"}},
      {L"/P", {kFindSaver, kFindDialog, L"preview 0"}},
      {L"/p abc", {kFindSaver, kFindDialog, L"preview 0"}},
      {L"/P 1234", {kFindSaver, kFindDialog, L"preview 1234"}},
      {L"/sx", {kFindSaver, kFindDialog, L"load", L"hide", L"saver"}},
      {L"/C/S", {kFindSaver, kFindDialog, L"load", L"dialog"}},
      {L" /S", {kFindSaver, kFindDialog, L"load"}},  // the mode letter is "/"
  };
  for (const auto& c : cases) {
    RecordingHost host;
    Main(c.args, host);
    EXPECT_EQ(host.calls, c.expected) << "args: " << std::string(c.args.begin(), c.args.end());
  }
}

TEST(Startup, GuardStopsEveryModeAndAlwaysLooksUpBothTitles) {
  for (const std::wstring open : {L"Lumenweave_Main", L"<Lumenweave>"}) {
    for (const std::wstring args : {L"/s", L"/c", L"/p 5", L""}) {
      RecordingHost host;
      host.openTitles = {open};
      Main(args, host);
      EXPECT_EQ(host.calls, (Calls{kFindSaver, kFindDialog}));
    }
  }
  RecordingHost preview;
  preview.openTitles = {L"Preview Window"};
  Main(L"/p 7", preview);
  EXPECT_EQ(preview.calls.back(), L"preview 7");
}

TEST(CommandLine, ArgumentTextAndParentHandle) {
  EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\Lumenweave.scr\" /p 1234"), L"/p 1234");
  EXPECT_EQ(ArgumentText(L"C:\\Lumenweave.scr /S"), L"/S");
  EXPECT_EQ(ArgumentText(L"Lumenweave.scr"), L"");
  EXPECT_EQ(ArgumentText(L"\"C:\\a b\\x.scr\""), L"");
  // An unquoted own path with blanks, in its long or short form, is skipped whole.
  const std::vector<std::wstring> own = {L"C:\\My Savers\\Lumenweave.scr", L"C:\\MYSAVE~1\\LUMENW~1.SCR"};
  const std::pair<std::wstring, std::wstring> lines[] = {
      {L"C:\\My Savers\\Lumenweave.scr /s", L"/s"},   {L"c:\\my savers\\LUMENWEAVE.SCR", L""},
      {L"C:\\MYSAVE~1\\LUMENW~1.SCR /p 5", L"/p 5"}, {L"\"C:\\My Savers\\Lumenweave.scr\" /c", L"/c"},
      {L"C:\\My Savers\\Lumenweave.scrx /s", L"Savers\\Lumenweave.scrx /s"},
  };
  for (const auto& [line, args] : lines) EXPECT_EQ(ArgumentText(line, own), args);

  struct Case {
    std::wstring args;
    std::int32_t handle;
  };
  const Case cases[] = {
      {L"/p 1234", 1234},      {L"/p:1234", 1234},   {L"/p", 0},          {L"/p ", 0},
      {L"/p abc", 0},          {L"/p 12ab", 12},     {L"/p 1 2 3", 123},  {L"/p &H100", 256},
      {L"/p &O17", 15},        {L"/p 2.5", 2},       {L"/p 3.5", 4},      {L"/p -7", -7},
      {L"/p 99999999999", 0},  {L"/p 2147483647", 2147483647},           {L"/p 2147483647.5", 0},
      {L"/p\t\n42", 42},        {L"/p 1e3", 1000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParentWindowHandle(c.args), c.handle) << std::string(c.args.begin(), c.args.end());
}

}  // namespace
}  // namespace lw::startup
