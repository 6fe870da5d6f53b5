// The INI format on code page 932 bytes: what a read finds in ordinary and hostile files, and what
// a write makes of them.
#include <gtest/gtest.h>

#include <string>

#include "settings/profile_file.h"

namespace lw::settings {
namespace {

using namespace std::string_literals;

// Two katakana whose trail bytes differ only in ASCII case: ア (83 41) and ヂ (83 61).
const std::string kA = "\x83\x41", kDi = "\x83\x61";

TEST(ProfileRead, FindsValuesTheWayThePlatformDoes) {
  const struct { const char* what; std::string file, section, key, expected; } cases[] = {
      {"blanks around", "  [S]  \r\n\t k \t=  600 \x1A\r\n", "S", "k", "600"},
      {"full-width blanks stay", "[S]\nk=\x81\x40" "600\x81\x40\n", "S", "k", "\x81\x40" "600\x81\x40"},
      {"LF only, no final line end", "[S]\nk=7", "S", "k", "7"},
      {"CR-only lines", "[S]\rk=1\r", "S", "k", "1"},
      {"section and key case", "[sEc]\nKEY=1\n", "SeC", "key", "1"},
      {"header without ]", "[S\nk=1\n", "S", "k", ""},
      {"last ] ends the name", "[Sec]tion]junk\nk=1\n", "Sec]tion", "k", "1"},
      {"key before any section", "k=1\n[S]\n", "S", "k", ""},
      {"first of duplicate keys", "[S]\nk=1\nk=2\n", "S", "k", "1"},
      {"a longer key is another key", "[S]\nkk=1\nk=2\n", "S", "k", "2"},
      {"only the first duplicate section", "[S]\na=1\n[S]\nk=2\n", "S", "k", ""},
      {"key without =", "[S]\nk\n", "S", "k", ""},
      {"= in the value", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"double quotes", "[S]\nk=\" x \"\n", "S", "k", " x "},
      {"unmatched quotes", "[S]\nk=\"x'\n", "S", "k", "\"x'"},
      {"NUL ends the value and a key name", "[S]\nk\0zz=ab\0cd\n"s, "S", "k", "ab"},
      {"trail byte never folds", "[S]\nk" + kDi + "=lower\nk" + kA + "=upper\n", "S", "k" + kA, "upper"},
      {"] as a trail byte", "[\x83\x5D]\nk=1\n", "\x83\x5D", "k", "1"},
      {"lead byte swallows LF", "[S]\nk=1\x83\nj=2\n", "S", "k", "1\x83\nj=2"},
      {"binary junk", "\x01\xFF\x00\n[S\x80]\n\x9F\x9F=\x01\n"s, "S\x80", "\x9F\x9F", "\x01"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadProfileValue(c.file, c.section, c.key), c.expected) << c.what;
}

// Double-byte letters fold as the platform folds them, either way round; the same letters in a
// Unicode file too. Each pair is a stored key and one that finds it, or (last) one that does not.
TEST(ProfileRead, FoldsDoubleByteLetters) {
  const struct { std::string stored, asked; bool folds; } cases[] = {
      {"\x82\x9A", "\x82\x79", true},  {"\x83\xBF", "\x83\x9F", true},  // full-width z, alpha
      {"\x84\x70", "\x84\x40", true},  {"\x84\x91", "\x84\x60", true},  // Cyrillic a and ya, after the gap at 847F
      {"\xFA\x49", "\x87\x5D", true},  {"\xEE\xEF", "\x87\x54", true},  // small Roman numerals, IBM and NEC codes
      {"\xFA\x4A", "\x87\x54", true},  {"\x84\x7F", "\x84\x4F", false},
  };
  for (const auto& c : cases)
    for (const auto& [stored, asked] : {std::pair(c.stored, c.asked), std::pair(c.asked, c.stored)})
      EXPECT_EQ(ReadProfileValue("[S]\n" + stored + "=1\n", "S", asked), c.folds ? "1" : "")
          << ::testing::PrintToString(stored);
  // Full-width a and z, omega, Cyrillic ya and yo, small Roman ten; full-width grave accent and
  // final sigma do not fold.
  const struct { std::wstring stored, asked; bool folds; } wide[] = {
      {L"\uFF41", L"\uFF21", true}, {L"\uFF5A", L"\uFF3A", true}, {L"\u03C9", L"\u03A9", true},
      {L"\u044F", L"\u042F", true}, {L"\u0451", L"\u0401", true}, {L"\u2179", L"\u2169", true},
      {L"\uFF40", L"\uFF20", false}, {L"\u03C2", L"\u03A2", false},
  };
  for (const auto& c : wide)
    for (const auto& [stored, asked] : {std::pair(c.stored, c.asked), std::pair(c.asked, c.stored)})
      EXPECT_EQ(ReadProfileValue(L"[S]\n" + stored + L"=1\n", L"S", asked), c.folds ? L"1" : L"") << int(stored[0]);
}

TEST(ProfileRead, CutsLongValuesTo255BytesWithoutSplittingACharacter) {
  const std::string ascii(300, 'x');
  EXPECT_EQ(ReadProfileValue("[S]\nk=" + ascii + "\n", "S", "k"), ascii.substr(0, 255));
  EXPECT_EQ(ReadProfileValue("[S]\nk=\"" + ascii.substr(0, 255) + "\"\n", "S", "k"), ascii.substr(0, 255));
  std::string dbcs = "x";
  for (int i = 0; i < 150; ++i) dbcs += "\x88\x9F";  // 亜
  EXPECT_EQ(ReadProfileValue("[S]\nk=" + dbcs + "\n", "S", "k"), dbcs.substr(0, 255));
  EXPECT_EQ(ReadProfileValue("[S]\nk=" + dbcs.substr(1) + "\n", "S", "k"), dbcs.substr(1, 254));
  std::wstring pairs;
  for (int i = 0; i < 150; ++i) pairs += L"\xD800\xDC00";  // U+10000
  EXPECT_EQ(ReadProfileValue(L"[S]\nk=" + pairs + L"\n", L"S", L"k"), pairs.substr(0, 254));
  // A lone low surrogate is a character of its own, not a pair with the unit before it.
  const std::wstring x(255, L'x');
  EXPECT_EQ(ReadProfileValue(L"[S]\nk=" + x + L"\xDC00\n", L"S", L"k"), x);
  const std::string line(100000, 'y');
  EXPECT_EQ(ReadProfileValue("[S]\n" + line + "\nk=1\nj=" + line + "\n", "S", "k"), "1");
}

// A write edits in place and keeps everything else; it refuses (nullopt) what would break the lines.
TEST(ProfileWrite, EditsInPlaceOrRefuses) {
  const struct { const char* what; std::string file, section, key, value, expected; } cases[] = {
      {"fresh file", "", "S", "k", "1", "[S]\r\nk=1\r\n"},
      {"update keeps LF and the key's case", "[S]\nk = 1 \nj=2\n", "S", "K", "9", "[S]\nK=9\nj=2\n"},
      {"update keeps CR", "[S]\rk=1\rj=2", "S", "k", "9", "[S]\rk=9\rj=2"},
      {"append after last key", "[S]\r\na=1\r\n\r\n[O]\r\n", "S", "k", "2", "[S]\r\na=1\r\nk=2\r\n\r\n[O]\r\n"},
      {"append to a bare header", "; c\r\n[S]\r\n", "S", "k", "2", "; c\r\n[S]\r\nk=2\r\n"},
      {"no final line end", "[S]\r\na=1", "S", "k", "2", "[S]\r\na=1\r\nk=2\r\n"},
      {"new section after text without line end", "x=1", "S", "k", "2", "x=1\r\n[S]\r\nk=2\r\n"},
      {"a lead byte takes the last LF", "[A]\nk=\x83\n", "S", "k", "1", "[A]\nk=\x83\n\r\n[S]\r\nk=1\r\n"},
      {"only the first duplicate key", "[S]\nk=1\nk=2\n", "S", "k", "3", "[S]\nk=3\nk=2\n"},
      {"trail byte differs only in case", "[S]\nk" + kDi + "=1\n", "S", "k" + kA, "2",
       "[S]\nk" + kDi + "=1\nk" + kA + "=2\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(WriteProfileValue(c.file, c.section, c.key, c.value), c.expected) << c.what;
  const std::string refused[][3] = {{"", "k", "v"},  {"S", " ", "v"},   {"S", "k", "a\r\nb"}, {"S", "k", "a\0b"s},
                                    {"S", "k=", "v"}, {"S", "[k]", "v"}, {"S]", "k", "v"},     {"S", "k", "x\x83"},
                                    {"S\x83", "k", "v"}, {"S", "\x83", "v"}};
  for (const auto& [section, key, value] : refused)
    EXPECT_EQ(WriteProfileValue("[S]\nk=1\n", section, key, value), std::nullopt) << ::testing::PrintToString(key);
}

}  // namespace
}  // namespace lw::settings
