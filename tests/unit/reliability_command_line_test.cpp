// Hostile command lines: very long, non-ASCII, handles that are huge, negative or no numbers at all.
// Each gives its defined argument text, mode letter and preview handle.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "startup/command_line.h"

namespace lw::startup {
namespace {

TEST(ReliabilityCommandLine, HostileArgumentTextAndModeLetter) {
  const std::wstring huge(100000, L'x');
  struct Case {
    const char* name;
    std::wstring commandLine;
    std::wstring args;
    wchar_t mode;
  };
  const Case cases[] = {
      {"very long /S", L"C:\\Lumenweave.scr /S" + huge, L"/S" + huge, L'S'},
      {"very long unrecognised", L"C:\\Lumenweave.scr /X" + huge, L"/X" + huge, L'X'},
      {"unclosed quote swallows everything", L"\"C:\\Lumenweave.scr /S" + huge, L"", L'\0'},
      {"non-ASCII program path", L"\"C:\\\u65E5\u672C\\\u30BB\u30FC\u30D0\u30FC.scr\" /s", L"/s", L'S'},
      {"full-width letter is no mode", L"Lumenweave.scr /\uFF53", L"/\uFF53", L'\uFF53'},
      {"sharp s is no mode", L"Lumenweave.scr /\u00DF", L"/\u00DF", L'\u00DF'},
      {"only blanks", L"Lumenweave.scr \t  \t", L"", L'\0'},
      {"embedded NUL", std::wstring(L"Lumenweave.scr /s\0x", 19), std::wstring(L"/s\0x", 4), L'S'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring args = ArgumentText(c.commandLine);
    EXPECT_EQ(args, c.args);
    EXPECT_EQ(ModeLetter(args), c.mode);
  }
}

TEST(ReliabilityCommandLine, HostilePreviewHandles) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  struct Case {
    const char* name;
    std::wstring args;
    std::int32_t handle;
  };
  const Case cases[] = {
      {"10 000 digits", L"/p " + std::wstring(10000, L'9'), 0},
      {"10 000 negative digits", L"/p -" + std::wstring(10000, L'9'), 0},
      {"10 000 zeros then 5", L"/p " + std::wstring(10000, L'0') + L"5", 5},
      {"100 000 blanks then 5", L"/p " + std::wstring(100000, L' ') + L"5", 5},
      {"exponent beyond double", L"/p 1e99999", 0},
      {"tiny exponent", L"/p 1e-99999", 0},
      {"smallest 32-bit", L"/p -2147483648", kMin},
      {"one below", L"/p -2147483649", 0},
      {"2^32", L"/p 4294967296", 0},
      {"minus one", L"/p -1", -1},
      {"hexadecimal run of 1000 digits", L"/p &H" + std::wstring(1000, L'F'), 0},
      {"Japanese", L"/p \u65E5\u672C", 0},
      {"Arabic-Indic digits are no digits", L"/p \u0661\u0662\u0663", 0},
      {"full-width digits are no digits", L"/p \uFF11\uFF12", 0},
      {"NUL ends the number", std::wstring(L"/p 12\0" L"34", 8), 12},
      {"sign only", L"/p -", 0},
      {"decimal point only", L"/p .", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParentWindowHandle(c.args), c.handle);
  }
}

}  // namespace
}  // namespace lw::startup
