// Loading the four settings, FileExists, and the settings file's encodings.
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/unit/memory_store.h"

namespace lw::settings {
namespace {

using namespace std::string_literals;
using lw::testing::MemoryStore;

const std::wstring kFolder = L"C:\\Saver", kIni = L"C:\\Saver\\Lumenweave.ini";

// "[Section]" and the lines given, "#C", "#S", "#R", "#F" standing for the four keys.
std::string File(std::string lines) {
  const std::pair<std::string, std::string_view> keys[] = {
      {"#C", kKeyParticleCount}, {"#S", kKeyBgmSource}, {"#R", kKeyBgmRepeat}, {"#F", kKeyBgmFile}};
  for (const auto& [mark, key] : keys)
    for (std::size_t at; (at = lines.find(mark)) != std::string::npos;) lines.replace(at, 2, key);
  return "[Section]\r\n" + lines;
}

TEST(LoadSettings, AppliesDefaultsConversionsAndTheMusicFileCheck) {
  const std::wstring song = L"C:\\Music\\song.mp3";
  // `file`: none for no settings file.
  const struct { const char* what; std::optional<std::string> file; std::int16_t count, source, track;
                 std::wstring music; } cases[] = {
      {"no file", std::nullopt, 600, 0, 0, L""},
      {"all set", File("#C=1200\r\n#S=2\r\n#R=3\r\n#F=C:\\Music\\song.mp3\r\n"), 1200, 2, 3, song},
      {"abc", File("#C=abc\r\n"), 0, 0, 0, L""},
      {"-2.5 floors", File("#C=-2.5\r\n"), -3, 0, 0, L""},
      {"-32768 fits", File("#C=-32768\r\n"), -32768, 0, 0, L""},
      {"empty value is the default", File("#C=\r\n"), 600, 0, 0, L""},
      {"no range check", File("#S=-7\r\n#R=99\r\n"), 600, -7, 99, L""},
      {"CD stays with a stale path", File("#S=1\r\n#F=C:\\gone.mp3\r\n"), 600, 1, 0, L""},
      {"file path with a final \\", File("#S=2\r\n#F=C:\\Music\\song.mp3\\\r\n"), 600, 2, 0, song + L"\\"},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    store.folders = {L"C:\\Music"};
    store.files[song] = "ID3";
    if (c.file) store.files[kIni] = *c.file;
    const Settings s = LoadSettings(kFolder, store, SystemCp932());
    EXPECT_EQ(std::make_tuple(s.iniPath, s.particleCount, s.bgmSource, s.bgmTrack, s.bgmFile),
              std::make_tuple(kIni, c.count, c.source, c.track, c.music)) << c.what;
  }
  EXPECT_EQ(IniPathFor(L"C:\\"), L"C:\\\\Lumenweave.ini");
}

// A value code page 932 cannot hold turns the whole file into UTF-16LE with a byte-order mark.
TEST(IniFile, ValuesBeyondCodePage932MakeTheFileUtf16) {
  MemoryStore store;
  store.files[kIni] = "[S]\r\nk=1\r\n";
  IniFile ini(store, SystemCp932());
  EXPECT_TRUE(ini.Write("S", "j", L"\u00E9", kIni).ok());
  EXPECT_EQ(store.files[kIni], "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0" "1\0\r\0\n\0j\0=\0\xE9\0\r\0\n\0"s);
  EXPECT_EQ(ini.Read("S", "j", kIni), L"\u00E9");
}

// Files with a byte-order mark are read through it and written back in it (k=1 becomes k=2 in
// place); one that does not decode cleanly is read but never rewritten.
TEST(IniFile, ByteOrderMarkedFiles) {
  const std::string bom = "\xEF\xBB\xBF[S]\nk=1\nx=";
  const struct { const char* what; std::string file; std::wstring x; bool rewritten; } cases[] = {
      {"UTF-16LE", "\xFF\xFE[\0S\0]\0\n\0k\0=\0" "1\0\n\0x\0=\0\xF3\x97"s, L"\u97F3", true},
      {"UTF-16BE", "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0" "1\0\n\0x\0=\x97\xF3"s, L"\u97F3", true},
      {"UTF-8, three bytes", bom + "\xE9\x9F\xB3", L"\u97F3", true},
      {"UTF-8, two bytes not in code page 932", bom + "\xC3\xA9", L"\u00E9", true},
      {"UTF-8, four bytes", bom + "\xF0\x9F\x98\x80" "a", L"\xD83D\xDE00" "a", true},
      {"UTF-8, broken sequences", bom + "\xE9\x9F" "a\x9F", L"\uFFFD\uFFFD" "a\uFFFD", false},
      {"UTF-8, a lone 0x80", bom + "\x80", L"\uFFFD", false},
      {"UTF-16LE, odd length", "\xFF\xFE[\0S\0]\0\n\0k\0=\0" "1\0\n\0x\0=\0y\0z"s, L"y", false},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    store.files[kIni] = c.file;
    IniFile ini(store, SystemCp932());
    EXPECT_EQ(ini.Read("S", "k", kIni), L"1") << c.what;
    EXPECT_EQ(ini.Read("S", "x", kIni), c.x) << c.what;
    EXPECT_EQ(ini.Write("S", "k", L"2", kIni).error, c.rewritten ? 0 : kErrorInvalidData) << c.what;
    std::string after = c.file;
    if (c.rewritten) after[after.find('1')] = '2';
    EXPECT_EQ(store.files[kIni], after) << c.what;
    store.readError = 32;  // an existing file that cannot be read is never written over
    EXPECT_EQ(ini.Write("S", "k", L"3", kIni).error, 32u);
    EXPECT_EQ(store.files[kIni], after) << c.what;
  }
}

}  // namespace
}  // namespace lw::settings
