// Number conversions: the forgiving scan of the command line and the strict coercion of settings values.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "platform/conversions.h"

namespace lw {
namespace {

constexpr std::optional<double> kFail = std::nullopt;

TEST(ScanNumber, StopsAtTheFirstCharacterThatCannotContinueANumber) {
  const std::pair<std::wstring, std::optional<double>> cases[] = {
      {L"abc", 0.0},          {L"  12 34 ", 1234.0},    {L"\t1\n2", 12.0},       {L"1\r2", 1.0},
      {L"1,000", 1.0},        {L"- 7", -7.0},           {L"+-7", 0.0},           {L".5", 0.5},
      {L"1.2.3", 1.2},        {L"1D3", 1000.0},         {L"1e+", 1.0},           {L"1e-09", 1e-09},
      {L"&hff", 255.0},       {L"&HFFFF", -1.0},        {L"&H10000", 65536.0},   {L"&HFFFFFFFF", -1.0},
      {L"&H100000000", kFail}, {L"&O17", 15.0},         {L"&O8", 0.0},           {L"&H", 0.0},
      {L"-&H10", 0.0},        {L"1e999", kFail},        {L"&H 1 0", 16.0},       {L"90.09", 90.09},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ScanNumber(text), expected) << ::testing::PrintToString(text);
}

// The expected results are those of the platform's own coercion under a Japanese locale.
TEST(CoerceNumber, FollowsThePlatformCoercion) {
  const std::pair<std::wstring, std::optional<double>> cases[] = {
      // blanks, signs and parentheses
      {L"\u3000600\u00A0", 600.0}, {L"\u200B600", kFail}, {L"600-", -600.0},    {L"+-600", -600.0},
      {L"--600", kFail},          {L"-600-", kFail},      {L"(5)", -5.0},       {L"(-5", -5.0},
      {L"5)", kFail},
      // separators, point, exponent
      {L"1,000", 1000.0},         {L",1000", kFail},      {L"1.000,5", 1.0005}, {L"1 000", kFail},
      {L".5", 0.5},               {L".", kFail},          {L"5 ,", 5.0},        {L"0.1", 0.1},
      {L"00.012", 0.012},         {L"1.2.3", kFail},      {L"1e-+-3", 0.001},   {L"1d3", kFail},
      {L"1e", kFail},             {L"1e3,5", 15000.0},    {L"0.e3", 0.0},
      // hexadecimal and octal forms, which ignore a sign; only a leading "&" starts them
      {L"&HFFFF", 65535.0},       {L"&H80000000", -2147483648.0}, {L"&HFFFFFFFF", kFail},
      {L"&HFFFFFFFFFFFFFFF0", 16.0}, {L"(&H10)", 16.0},   {L"&O8", kFail},      {L"&H10,", kFail},
      {L"1H5", kFail},            {L".&H1", kFail},       {L"\uFFE5&H10", kFail},
      // currency sign of the Japanese locale
      {L"5\uFFE5", 5.0},          {L"$5", kFail},         {L"\uFFE51e3", kFail},
      // junk, empty, NUL
      {L" ", kFail},              {L"12abc", kFail},      {L"\uFF11", kFail},   {std::wstring(L"5\0x", 3), 5.0},
      // range: digits folded one at a time, the platform's limits
      {L"1e400", kFail},          {L"1e-400", 0.0},       {L"1e308", 9.9999999999999981e+307},
      {L"1.7976931348623157e308", kFail}, {L"12345678901234567890", 1.2345678901234569e+19},
      {std::wstring(1024, L'1'), std::numeric_limits<double>::infinity()},  // 1024 digits at most
      {L"1" + std::wstring(1023, L'0') + L"1", kFail}, {L"0." + std::wstring(1100, L'0') + L"5", 0.0},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(CoerceNumber(text), expected) << ::testing::PrintToString(text.substr(0, 40));
}

}  // namespace
}  // namespace lw
