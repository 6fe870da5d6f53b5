// The INI format on code page 932 bytes: what a read finds in ordinary and hostile files, and what
// a write makes of them.
#include <gtest/gtest.h>

#include <string>

#include "settings/profile_file.h"
#include "settings/settings.h"

namespace lw::settings {
namespace {

using namespace std::string_literals;

// Two katakana whose trail bytes differ only in ASCII case: ア (83 41) and ヂ (83 61).
const std::string kA = "\x83\x41", kDi = "\x83\x61";

TEST(ProfileRead, FindsValuesTheWayThePlatformDoes) {
  struct Case { const char* what; std::string file, section, key, expected; };
  const std::string K = std::string(kKeyParticleCount);
  const Case cases[] = {
      {"plain", "[Section]\r\n" + K + "=600\r\n", "Section", K, "600"},
      {"blanks around", "  [Section]  \r\n\t " + K + " \t=  600 \x1A\r\n", "Section", K, "600"},
      {"full-width blanks stay", "[Section]\n" + K + "=\x81\x40" "600\x81\x40\n", "Section", K, "\x81\x40" "600\x81\x40"},
      {"LF only, no final line end", "[Section]\n" + K + "=7", "Section", K, "7"},
      {"section case", "[sECTION]\n" + K + "=1\n", "Section", K, "1"},
      {"header without ]", "[Section\n" + K + "=1\n", "Section", K, ""},
      {"header with junk after ]", "[Section]junk\n" + K + "=1\n", "Section", K, "1"},
      {"last ] ends the name", "[Sec]tion]\nk=1\n", "Sec]tion", "k", "1"},
      {"key before any section", K + "=1\n[Section]\n", "Section", K, ""},
      {"other section", "[Other]\n" + K + "=1\n[Section]\n" + K + "=2\n", "Section", K, "2"},
      {"first of duplicate keys", "[Section]\nk=1\nk=2\n", "Section", "k", "1"},
      {"a longer key is another key", "[Section]\nkk=1\nk=2\n", "Section", "k", "2"},
      {"only the first duplicate section", "[Section]\na=1\n[Section]\nk=2\n", "Section", "k", ""},
      {"key without =", "[Section]\nk\n", "Section", "k", ""},
      {"= in the value", "[Section]\nk=a=b\n", "Section", "k", "a=b"},
      {"double quotes", "[Section]\nk=\" x \"\n", "Section", "k", " x "},
      {"unmatched quotes", "[Section]\nk=\"x'\n", "Section", "k", "\"x'"},
      {"NUL ends the value", "[Section]\nk=ab\0cd\n"s, "Section", "k", "ab"},
      {"NUL in a key name", "[Section]\nk\0zz=1\n"s, "Section", "k", "1"},
      {"CR-only lines", "[Section]\rk=1\r", "Section", "k", "1"},
      {"ASCII key case", "[Section]\nbgm" + std::string(kKeyBgmSource).substr(3) + "=2\n", "Section",
       std::string(kKeyBgmSource), "2"},
      {"trail byte never folds", "[Section]\nk" + kDi + "=lower\nk" + kA + "=upper\n", "Section", "k" + kA, "upper"},
      {"] as a trail byte", "[\x83\x5D]\nk=1\n", "\x83\x5D", "k", "1"},
      {"lead byte swallows LF", "[Section]\nk=1\x83\nj=2\n", "Section", "k", "1\x83\nj=2"},
      {"binary junk", "\x01\xFF\x00\n[Section\x80]\n\x9F\x9F=\x01\n"s, "Section\x80", "\x9F\x9F", "\x01"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadProfileValue(c.file, c.section, c.key), c.expected) << c.what;

  // Double-byte letters fold as the platform folds them: a stored key, then one that finds it.
  const std::pair<std::string, std::string> folds[] = {
      {"\x82\x81", "\x82\x60"}, {"\x82\x9A", "\x82\x79"},  // full-width a, z
      {"\x83\xBF", "\x83\x9F"}, {"\x83\xD6", "\x83\xB6"},  // alpha, omega
      {"\x84\x70", "\x84\x40"}, {"\x84\x80", "\x84\x4F"}, {"\x84\x91", "\x84\x60"},  // Cyrillic, gap at 847F
      {"\xFA\x40", "\x87\x54"}, {"\xFA\x49", "\x87\x5D"},  // small Roman numerals one and ten
      {"\xEE\xEF", "\x87\x54"}, {"\xEE\xF8", "\x87\x5D"},  // the same, NEC-selected codes
      {"\xFA\x4A", "\x87\x54"}, {"\xFA\x53", "\x87\x5D"},  // capital Roman numerals, IBM codes
  };
  for (const auto& [stored, asked] : folds) {
    EXPECT_EQ(ReadProfileValue("[S]\n" + stored + "=1\n", "S", asked), "1") << std::hex << (stored[1] & 0xFF);
    EXPECT_EQ(ReadProfileValue("[S]\n" + asked + "=1\n", "S", stored), "1") << std::hex << (stored[1] & 0xFF);
  }
  EXPECT_EQ(ReadProfileValue("[S]\n\x84\x7F=1\n", "S", "\x84\x4F"), "");  // not a letter
  // The same letters in a Unicode file: full-width a and z, alpha, omega, Cyrillic a, ya and yo,
  // small Roman numerals one and ten; full-width grave accent and final sigma do not fold.
  const std::pair<std::wstring, std::wstring> wide[] = {
      {L"\uFF41", L"\uFF21"}, {L"\uFF5A", L"\uFF3A"}, {L"\u03B1", L"\u0391"}, {L"\u03C9", L"\u03A9"}, {L"\u0430", L"\u0410"},
      {L"\u044F", L"\u042F"}, {L"\u0451", L"\u0401"}, {L"\u2170", L"\u2160"}, {L"\u2179", L"\u2169"}, {L"k", L"K"},
      {L"\uFF40", L"\uFF20"}, {L"\u03C2", L"\u03A2"},
  };
  for (const auto& [stored, asked] : wide) {
    const bool folds = stored != L"\uFF40" && stored != L"\u03C2";
    EXPECT_EQ(ReadProfileValue(L"[S]\n" + stored + L"=1\n", L"S", asked), folds ? L"1" : L"") << int(stored[0]);
    EXPECT_EQ(ReadProfileValue(L"[S]\n" + asked + L"=1\n", L"S", stored), folds ? L"1" : L"") << int(stored[0]);
  }
}

TEST(ProfileRead, CutsLongValuesTo255BytesWithoutSplittingACharacter) {
  const std::string ascii(300, 'x');
  EXPECT_EQ(ReadProfileValue("[S]\nk=" + ascii + "\n", "S", "k"), ascii.substr(0, 255));
  EXPECT_EQ(ReadProfileValue("[S]\nk=\"" + ascii.substr(0, 255) + "\"\n", "S", "k"), ascii.substr(0, 255));
  std::string dbcs = "x";
  for (int i = 0; i < 150; ++i) dbcs += "\x88\x9F";  // 亜
  EXPECT_EQ(ReadProfileValue("[S]\nk=" + dbcs + "\n", "S", "k"), dbcs.substr(0, 255));
  EXPECT_EQ(ReadProfileValue("[S]\nk=" + dbcs.substr(1) + "\n", "S", "k"), dbcs.substr(1, 254));
  const std::string line(100000, 'y');
  EXPECT_EQ(ReadProfileValue("[S]\n" + line + "\nk=1\nj=" + line + "\n", "S", "k"), "1");
}

TEST(ProfileWrite, EditsInPlaceAndKeepsEverythingElse) {
  struct Case { const char* what; std::string file, section, key, value, expected; };
  const Case cases[] = {
      {"fresh file", "", "Section", "k", "1", "[Section]\r\nk=1\r\n"},
      {"update keeps LF line end", "[Section]\nk=1\nj=2\n", "Section", "K", "9", "[Section]\nK=9\nj=2\n"},
      {"update keeps CR", "[Section]\rk=1\rj=2", "Section", "k", "9", "[Section]\rk=9\rj=2"},
      {"append after last key", "[Section]\r\na=1\r\n\r\n[Other]\r\n", "Section", "k", "2",
       "[Section]\r\na=1\r\nk=2\r\n\r\n[Other]\r\n"},
      {"append to a bare header", "; c\r\n[Section]\r\n", "Section", "k", "2", "; c\r\n[Section]\r\nk=2\r\n"},
      {"no final line end", "[Section]\r\na=1", "Section", "k", "2", "[Section]\r\na=1\r\nk=2\r\n"},
      {"new section after text without line end", "x=1", "Section", "k", "2", "x=1\r\n[Section]\r\nk=2\r\n"},
      {"a lead byte takes the last LF", "[A]\nk=\x83\n", "Section", "k", "1", "[A]\nk=\x83\n\r\n[Section]\r\nk=1\r\n"},
      {"only the first duplicate key", "[Section]\nk=1\nk=2\n", "Section", "k", "3", "[Section]\nk=3\nk=2\n"},
      {"trail byte differs only in case", "[Section]\nk" + kDi + "=1\n", "Section", "k" + kA, "2",
       "[Section]\nk" + kDi + "=1\nk" + kA + "=2\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(WriteProfileValue(c.file, c.section, c.key, c.value), c.expected) << c.what;
}

TEST(ProfileWrite, RefusesWhatWouldBreakTheLines) {
  struct Case { std::string section, key, value; };
  const Case cases[] = {{"", "k", "v"},        {"S", " ", "v"},      {"S", "k", "a\r\nb"}, {"S", "k", "a\0b"s},
                        {"S", "k=", "v"},      {"S", "[k]", "v"},    {"S]", "k", "v"},
                        {"S", "k", "x\x83"},  {"S\x83", "k", "v"},  {"S", "\x83", "v"}};
  for (const auto& c : cases)
    EXPECT_EQ(WriteProfileValue("[S]\nk=1\n", c.section, c.key, c.value), std::nullopt)
        << ::testing::PrintToString(c.section + "|" + c.key);
}

}  // namespace
}  // namespace lw::settings
