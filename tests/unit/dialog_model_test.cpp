// The settings dialog's rules: what it shows on opening, the source choice, the slider, the commit.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "dialog/dialog_model.h"
#include "platform/text_codec.h"

namespace lw::dialog {
namespace {

class MemoryStore final : public FileStore {
 public:
  std::map<std::wstring, std::string> files;
  int writes = 0;
  std::optional<std::string> ReadAll(const std::wstring& path) const override {
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    ++writes;
    files[path] = std::string(bytes);
    return true;
  }
  bool CanOpenForReading(const std::wstring& path) const override { return files.contains(path); }
};

settings::Settings Loaded(std::int16_t count, std::int16_t source, std::int16_t track, std::wstring file) {
  settings::Settings s;
  s.iniPath = L"C:\\lw\\Lumenweave.ini";
  s.particleCount = count;
  s.bgmSource = source;
  s.bgmTrack = track;
  s.bgmFile = std::move(file);
  return s;
}

TEST(DialogModel, WhatTheDialogShowsOnOpening) {
  struct Case {
    std::int16_t count, source, track;
    int slider;
    std::wstring readout;
    RadioMarks marks;
    std::wstring repeat;
  };
  const Case cases[] = {
      {600, 0, 0, 600, L"600", {true, false, false}, L""},
      {100, 1, 7, 100, L"100", {false, true, false}, L"7"},
      {2000, 2, 12, 2000, L"2000", {false, false, true}, L"12"},
      // Outside the slider's range: the slider keeps its design value, the read-out the number.
      {99, 0, 0, 600, L"99", {true, false, false}, L""},
      {2001, 0, 0, 600, L"2001", {true, false, false}, L""},
      {-5, 0, 0, 600, L"-5", {true, false, false}, L""},
      // A source outside 0-2 selects no mark.
      {600, 3, -3, 600, L"600", {false, false, false}, L"-3"},
      {600, -1, 0, 600, L"600", {false, false, false}, L""},
  };
  for (const auto& c : cases) {
    const OpenView v = ViewOnOpen(Loaded(c.count, c.source, c.track, L"C:\\m\\a&b.mp3"));
    EXPECT_EQ(v.sliderValue, c.slider) << c.count;
    EXPECT_EQ(v.readout, c.readout);
    EXPECT_EQ(v.marks, c.marks) << c.source;
    EXPECT_EQ(v.repeatText, c.repeat) << c.track;
    EXPECT_EQ(v.fileCaption, L"C:\\m\\a&b.mp3");
  }
  const auto list = ViewOnOpen(Loaded(600, 0, 0, L"")).repeatList;
  ASSERT_EQ(list.size(), 31u);
  EXPECT_EQ(list.front(), L"");
  EXPECT_EQ(list[1], L"1");
  EXPECT_EQ(list.back(), L"30");
}

TEST(DialogModel, ChoosingASourceSetsItAndNothingElse) {
  struct Case {
    std::int16_t before;
    int click;
    std::int16_t after;
  };
  const Case cases[] = {{0, 2, 2}, {2, 1, 1}, {1, 0, 0}, {0, 0, 0}, {5, 1, 1}, {1, 3, 1}, {1, -1, 1}};
  for (const auto& c : cases) {
    auto s = Loaded(600, c.before, 4, L"C:\\a.wav");
    ChooseSource(s, c.click);
    EXPECT_EQ(s.bgmSource, c.after) << c.before << " click " << c.click;
    EXPECT_EQ(s.bgmTrack, 4);
    EXPECT_EQ(s.bgmFile, L"C:\\a.wav");
  }
}

TEST(DialogModel, SliderStepsStayInRange) {
  struct Case {
    int value;
    ScrollAction action;
    int thumb;
    int expected;
  };
  const Case cases[] = {
      {600, ScrollAction::LineLeft, 0, 599},   {600, ScrollAction::LineRight, 0, 601},
      {600, ScrollAction::PageLeft, 0, 500},   {600, ScrollAction::PageRight, 0, 700},
      {150, ScrollAction::PageLeft, 0, 100},   {1950, ScrollAction::PageRight, 0, 2000},
      {100, ScrollAction::LineLeft, 0, 100},   {2000, ScrollAction::LineRight, 0, 2000},
      {600, ScrollAction::Thumb, 1234, 1234},  {600, ScrollAction::Thumb, 5000, 2000},
      {600, ScrollAction::Left, 0, 100},       {600, ScrollAction::Right, 0, 2000},
      {600, ScrollAction::None, 0, 600},
  };
  for (const auto& c : cases) EXPECT_EQ(SliderAfter(c.value, c.action, c.thumb), c.expected) << c.value;
}

// The file written by a commit, byte for byte, from a fresh install.
std::string FreshFile(std::string count, std::string source, std::string track, std::string file) {
  return "[Section]\r\n\x97\xB1\x8E\x71\x90\x94=" + count + "\r\nBGM\x8B\xE6\x95\xAA=" + source +
         "\r\nBGM\xD8\xCB\xDF\xB0\xC4=" + track + "\r\nBGM\xCC\xA7\xB2\xD9=" + file + "\r\n";
}

TEST(DialogModel, CommitWritesTheFourKeysInOrder) {
  struct Case {
    std::wstring repeatText;
    std::int16_t trackBefore;
    std::int16_t trackAfter;
  };
  const Case cases[] = {
      {L"3.5", 9, 4},  {L"2.5", 9, 2},    {L"abc", 9, 0},  {L"", 9, 0},      {L"7", 0, 7},
      {L" 12 ", 0, 12}, {L"&H10", 0, 16}, {L"-1", 0, -1},
      // A number beyond 16 bits leaves the track as it was.
      {L"32768", 9, 9}, {L"1e6", 9, 9},   {L"-32769", 5, 5}, {L"32767.5", 5, 5}, {L"32766.5", 5, 32766},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    settings::IniFile ini(store, SystemCp932());
    auto s = Loaded(2500, 2, c.trackBefore, L"C:\\m\\曲.mp3");
    SaveSettings(ini, s, 600, c.repeatText);
    EXPECT_EQ(s.bgmTrack, c.trackAfter) << std::string(c.repeatText.begin(), c.repeatText.end());
    EXPECT_EQ(store.writes, 4);
    EXPECT_EQ(store.files[s.iniPath],
              FreshFile("600", "2", std::to_string(c.trackAfter), "C:\\m\\\x8B\xC8.mp3"));
    EXPECT_EQ(s.particleCount, 2500);  // the slider's value is written, the setting is not changed
  }
}

TEST(DialogModel, AnUntouchedSliderLeavesACountItCannotShowAsStored) {
  struct Case {
    std::string stored;  // the file's 粒子数 text; empty for no file
    std::int16_t loaded;
    std::optional<int> moved;
    std::string saved;
  };
  const Case cases[] = {
      {"5000", 5000, std::nullopt, "5000"}, {"50", 50, std::nullopt, "50"},
      {"abc", 0, std::nullopt, "abc"},      {"&H1388", 5000, std::nullopt, "&H1388"},
      {"750", 750, std::nullopt, "750"},    {"", 600, std::nullopt, "600"},
      {"5000", 5000, 601, "601"},           {"abc", 0, 100, "100"},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    auto s = Loaded(c.loaded, 0, 0, L"");
    if (!c.stored.empty()) store.files[s.iniPath] = FreshFile(c.stored, "0", "0", "");
    settings::IniFile ini(store, SystemCp932());
    SaveSettings(ini, s, c.moved, L"");
    EXPECT_EQ(store.files[s.iniPath], FreshFile(c.saved, "0", "0", "")) << c.stored;
  }
}

TEST(DialogModel, ChoosingAFileSelectsTheFileSource) {
  auto s = Loaded(600, 1, 4, L"C:\\old.wav");
  ChooseFile(s, L"C:\\new.mp3");
  EXPECT_EQ(s.bgmSource, settings::kSourceFile);
  EXPECT_EQ(s.bgmFile, L"C:\\new.mp3");
}

TEST(DialogModel, CommitUpdatesAnExistingFileInPlace) {
  MemoryStore store;
  const std::wstring path = L"C:\\lw\\Lumenweave.ini";
  store.files[path] = "[Other]\r\na=1\r\n[Section]\r\nBGM\xCC\xA7\xB2\xD9=old\r\n\x97\xB1\x8E\x71\x90\x94=5\r\n";
  settings::IniFile ini(store, SystemCp932());
  auto s = Loaded(600, 1, 3, L"");
  SaveSettings(ini, s, 700, L"3");
  EXPECT_EQ(store.files[path],
            "[Other]\r\na=1\r\n[Section]\r\nBGM\xCC\xA7\xB2\xD9=\r\n\x97\xB1\x8E\x71\x90\x94=700\r\n"
            "BGM\x8B\xE6\x95\xAA=1\r\nBGM\xD8\xCB\xDF\xB0\xC4=3\r\n");
}

}  // namespace
}  // namespace lw::dialog
