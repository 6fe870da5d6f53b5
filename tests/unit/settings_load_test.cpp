// Loading the four settings, FileExists, and the settings file on disk (encodings, swaps,
// read-only files).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "settings/settings.h"

namespace lw::settings {
namespace {

using namespace std::string_literals;

// Files in memory; paths with a trailing "\" or naming a folder cannot be opened.
class MemoryStore final : public FileStore {
 public:
  std::map<std::wstring, std::string> files;
  std::set<std::wstring> folders;
  std::uint32_t readError = 0;  // every existing file fails to read with this
  FileRead ReadAll(const std::wstring& path) const override {
    const auto it = files.find(path);
    if (it == files.end()) return {};
    if (readError != 0) return {std::nullopt, readError};
    return {it->second};
  }
  std::uint32_t ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    if (folders.count(path)) return 5;
    files[path] = std::string(bytes);
    return 0;
  }
  bool CanOpenForReading(const std::wstring& path) const override { return files.count(path) != 0; }
};

const std::wstring kFolder = L"C:\\Saver";
const std::wstring kIni = L"C:\\Saver\\Lumenweave.ini";

std::string Line(std::string_view key, const std::string& value) { return std::string(key) + "=" + value + "\r\n"; }

TEST(LoadSettings, AppliesDefaultsConversionsAndTheMusicFileCheck) {
  struct Case {
    const char* what;
    std::optional<std::string> file;  // none: no settings file
    Settings expected;
  };
  const std::string head = "[Section]\r\n";
  const std::string music = "C:\\Music\\song.mp3";
  const std::wstring wmusic = L"C:\\Music\\song.mp3";
  const Case cases[] = {
      {"no file", std::nullopt, {kIni, 600, 0, 0, L""}},
      {"empty file", "", {kIni, 600, 0, 0, L""}},
      {"all set", head + Line(kKeyParticleCount, "1200") + Line(kKeyBgmSource, "2") + Line(kKeyBgmRepeat, "3") +
                      Line(kKeyBgmFile, music),
       {kIni, 1200, 2, 3, wmusic}},
      {"abc", head + Line(kKeyParticleCount, "abc"), {kIni, 0, 0, 0, L""}},
      {"40000", head + Line(kKeyParticleCount, "40000"), {kIni, 0, 0, 0, L""}},
      {"12.7", head + Line(kKeyParticleCount, "12.7"), {kIni, 12, 0, 0, L""}},
      {"600.9", head + Line(kKeyParticleCount, "600.9"), {kIni, 600, 0, 0, L""}},
      {"-2.5", head + Line(kKeyParticleCount, "-2.5"), {kIni, -3, 0, 0, L""}},
      {"&H100", head + Line(kKeyParticleCount, "&H100"), {kIni, 256, 0, 0, L""}},
      {"-32768.5 floors out of range", head + Line(kKeyParticleCount, "-32768.5"), {kIni, 0, 0, 0, L""}},
      {"32767.9", head + Line(kKeyParticleCount, "32767.9"), {kIni, 32767, 0, 0, L""}},
      {"quoted", head + Line(kKeyParticleCount, "\" 50 \""), {kIni, 50, 0, 0, L""}},
      {"empty value is the default", head + Line(kKeyParticleCount, ""), {kIni, 600, 0, 0, L""}},
      {"no range check", head + Line(kKeyBgmSource, "-7") + Line(kKeyBgmRepeat, "99"), {kIni, 600, -7, 99, L""}},
      {"source 2 without a file", head + Line(kKeyBgmSource, "2"), {kIni, 600, 0, 0, L""}},
      {"source 2, file gone", head + Line(kKeyBgmSource, "2") + Line(kKeyBgmFile, "C:\\gone.mp3"), {kIni, 600, 0, 0, L""}},
      {"CD stays with a stale path", head + Line(kKeyBgmSource, "1") + Line(kKeyBgmFile, "C:\\gone.mp3"),
       {kIni, 600, 1, 0, L""}},
      {"folder path", head + Line(kKeyBgmSource, "2") + Line(kKeyBgmFile, "C:\\Music"), {kIni, 600, 0, 0, L""}},
      {"folder path with \\", head + Line(kKeyBgmSource, "2") + Line(kKeyBgmFile, "C:\\Music\\"), {kIni, 600, 0, 0, L""}},
      {"file path with a final \\", head + Line(kKeyBgmSource, "2") + Line(kKeyBgmFile, music + "\\"),
       {kIni, 600, 2, 0, wmusic + L"\\"}},
      {"Japanese path", head + Line(kKeyBgmSource, "2") + Line(kKeyBgmFile, "C:\\\x89\xB9\x8A\x79.mp3"),
       {kIni, 600, 2, 0, L"C:\\\u97F3\u697D.mp3"}},
      {"lower-case key", head + "bgm" + std::string(kKeyBgmSource.substr(3)) + "=1\r\n", {kIni, 600, 1, 0, L""}},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    store.folders = {L"C:\\Music"};
    store.files[L"C:\\Music\\song.mp3"] = "ID3";
    store.files[L"C:\\\u97F3\u697D.mp3"] = "ID3";
    if (c.file) store.files[kIni] = *c.file;
    const Settings s = LoadSettings(kFolder, store, SystemCp932());
    EXPECT_EQ(s.iniPath, c.expected.iniPath) << c.what;
    EXPECT_EQ(s.particleCount, c.expected.particleCount) << c.what;
    EXPECT_EQ(s.bgmSource, c.expected.bgmSource) << c.what;
    EXPECT_EQ(s.bgmTrack, c.expected.bgmTrack) << c.what;
    EXPECT_EQ(s.bgmFile, c.expected.bgmFile) << c.what;
  }
}

TEST(LoadSettings, IniPathJoinsTheFolderAsItIs) {
  EXPECT_EQ(IniPathFor(L"C:\\"), L"C:\\\\Lumenweave.ini");
  EXPECT_EQ(IniPathFor(L"D:\\Apps\\Saver"), L"D:\\Apps\\Saver\\Lumenweave.ini");
}

TEST(IniFile, FreshFileIsByteExactAndReadsBack) {
  MemoryStore store;
  IniFile ini(store, SystemCp932());
  EXPECT_TRUE(ini.Write(kSection, kKeyParticleCount, L"600", kIni).ok());
  EXPECT_TRUE(ini.Write(kSection, kKeyBgmSource, L"2", kIni).ok());
  EXPECT_TRUE(ini.Write(kSection, kKeyBgmRepeat, L"0", kIni).ok());
  EXPECT_TRUE(ini.Write(kSection, kKeyBgmFile, L"C:\\\u97F3\u697D.mp3", kIni).ok());
  EXPECT_EQ(store.files[kIni],
            "[Section]\r\n\x97\xB1\x8E\x71\x90\x94=600\r\nBGM\x8B\xE6\x95\xAA=2\r\nBGM\xD8\xCB\xDF\xB0\xC4=0\r\n"
            "BGM\xCC\xA7\xB2\xD9=C:\\\x89\xB9\x8A\x79.mp3\r\n");
  EXPECT_EQ(ini.Read(kSection, kKeyBgmFile, kIni), L"C:\\\u97F3\u697D.mp3");
}

// A value code page 932 cannot hold, or not within what a read returns, turns the whole file into
// UTF-16LE with a byte-order mark; every value reads back whole.
TEST(IniFile, ValuesBeyondCodePage932MakeTheFileUtf16) {
  struct Case {
    const char* what;
    std::wstring value;
    bool unicode;
  };
  const Case cases[] = {
      {"255 bytes", std::wstring(255, L'x'), false},
      {"256 bytes of kanji", std::wstring(128, L'\u97F3'), true},
      {"Latin", L"C:\\Jos\u00E9\\tone.mp3", true},
      {"Hangul and a surrogate pair", L"C:\\\uD55C\xD83C\xDFB5.mp3", true},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    store.files[kIni] = "[S]\r\nk=1\r\n";
    IniFile ini(store, SystemCp932());
    EXPECT_TRUE(ini.Write("S", "j", c.value, kIni).ok()) << c.what;
    EXPECT_EQ(store.files[kIni].starts_with("\xFF\xFE"), c.unicode) << c.what;
    EXPECT_EQ(ini.Read("S", "j", kIni), c.value) << c.what;
    EXPECT_EQ(ini.Read("S", "k", kIni), L"1") << c.what;
    EXPECT_TRUE(ini.Write("S", "k", L"2", kIni).ok());  // a Unicode file stays Unicode
    EXPECT_EQ(store.files[kIni].starts_with("\xFF\xFE"), c.unicode) << c.what;
  }
  MemoryStore store;
  store.files[kIni] = "[S]\r\nk=1\r\n";
  IniFile ini(store, SystemCp932());
  EXPECT_TRUE(ini.Write("S", "j", L"\u00E9", kIni).ok());
  EXPECT_EQ(store.files[kIni], "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0" "1\0\r\0\n\0j\0=\0\xE9\0\r\0\n\0"s);
}

TEST(IniFile, ByteOrderMarkedFilesAreReadAndKeptInTheirEncoding) {
  struct Case {
    const char* what;
    std::string file;
    std::string after;  // after writing k=2
  };
  const Case cases[] = {
      {"UTF-16LE", "\xFF\xFE[\0S\0]\0\n\0k\0=\0" "1\0"s, "\xFF\xFE[\0S\0]\0\n\0k\0=\0" "2\0"s},
      {"UTF-16BE", "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0" "1"s, "\xFE\xFF\0[\0S\0]\0\n\0k\0=\0" "2"s},
      {"UTF-8", "\xEF\xBB\xBF[S]\nk=1", "\xEF\xBB\xBF[S]\nk=2"},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    store.files[kIni] = c.file;
    IniFile ini(store, SystemCp932());
    EXPECT_EQ(ini.Read("S", "k", kIni), L"1") << c.what;
    EXPECT_TRUE(ini.Write("S", "k", L"2", kIni).ok());
    EXPECT_EQ(store.files[kIni], c.after) << c.what;
  }
  MemoryStore utf8;  // U+00E9, which code page 932 cannot hold, is kept
  utf8.files[kIni] = "\xEF\xBB\xBF[S]\nk=1\nx=\xC3\xA9\n";
  IniFile ini(utf8, SystemCp932());
  EXPECT_TRUE(ini.Write("S", "k", L"2", kIni).ok());
  EXPECT_EQ(utf8.files[kIni], "\xEF\xBB\xBF[S]\nk=2\nx=\xC3\xA9\n");
  utf8.readError = 32;  // an existing file that cannot be read is never written over
  EXPECT_EQ(ini.Write("S", "k", L"3", kIni).error, 32u);
  EXPECT_EQ(utf8.files[kIni], "\xEF\xBB\xBF[S]\nk=2\nx=\xC3\xA9\n");
}

// The real native file store: the swap leaves no temporary file, and read-only files and folders
// stay as they were.
TEST(IniFile, OnDiskWritesSwapAndFailSilently) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("lw-settings-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::wstring folder = dir.wstring();
  const std::wstring path = IniPathFor(folder);
  IniFile ini(SystemFileStore(), SystemCp932());
  EXPECT_TRUE(ini.Write(kSection, kKeyParticleCount, L"42", path).ok());
  EXPECT_EQ(LoadSettings(folder, SystemFileStore(), SystemCp932()).particleCount, 42);
  EXPECT_TRUE(ini.Write(kSection, kKeyParticleCount, L"43", path).ok());
  EXPECT_EQ(LoadSettings(folder, SystemFileStore(), SystemCp932()).particleCount, 43);
  const fs::path file = dir / "Lumenweave.ini";
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(ini.Write(kSection, kKeyParticleCount, L"44", path).error, EACCES);
  EXPECT_EQ(LoadSettings(folder, SystemFileStore(), SystemCp932()).particleCount, 43);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_TRUE(FileExists(path + L"\\", SystemFileStore()));
  EXPECT_FALSE(FileExists(folder, SystemFileStore()));
  EXPECT_FALSE(FileExists(folder + L"\\", SystemFileStore()));
  fs::permissions(file, fs::perms::owner_all);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace lw::settings
