#include "platform/conversions.h"

#include <cmath>
#include <cwctype>
#include <string>

namespace lw {
namespace {

bool IsScanBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

int DigitValue(wchar_t c, int radix) {
  int v = -1;
  if (c >= L'0' && c <= L'9') v = c - L'0';
  else if (Upper(c) >= L'A' && Upper(c) <= L'F') v = Upper(c) - L'A' + 10;
  return v < radix ? v : -1;
}

// &H and &O literals take the narrowest signed width their digits fit: up to 16 bits they are a
// 16-bit number (&HFFFF is -1), up to 32 bits a 32-bit one; anything longer overflows.
std::optional<double> RadixLiteral(std::wstring_view digits, int radix) {
  std::uint64_t v = 0;
  for (wchar_t c : digits) {
    v = v * static_cast<unsigned>(radix) + static_cast<unsigned>(DigitValue(c, radix));
    if (v > 0xFFFFFFFFull) return std::nullopt;
  }
  if (v <= 0xFFFF) return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(v)));
  return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
}

}  // namespace

std::optional<double> ScanNumber(std::wstring_view text) {
  std::wstring s;
  s.reserve(text.size());
  for (wchar_t c : text)
    if (!IsScanBlank(c)) s.push_back(c);

  if (s.size() >= 2 && s[0] == L'&' && (Upper(s[1]) == L'H' || Upper(s[1]) == L'O')) {
    const int radix = Upper(s[1]) == L'H' ? 16 : 8;
    std::size_t end = 2;
    while (end < s.size() && DigitValue(s[end], radix) >= 0) ++end;
    return RadixLiteral(std::wstring_view(s).substr(2, end - 2), radix);
  }

  // Longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
  std::string ascii;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ascii.push_back(static_cast<char>(s[i++]));
  bool digits = false;
  while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') { ascii.push_back(static_cast<char>(s[i++])); digits = true; }
  if (i < s.size() && s[i] == L'.') {
    ascii.push_back('.');
    ++i;
    while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') { ascii.push_back(static_cast<char>(s[i++])); digits = true; }
  }
  if (!digits) return 0.0;
  if (i < s.size() && (Upper(s[i]) == L'E' || Upper(s[i]) == L'D')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == L'+' || s[j] == L'-')) exponent.push_back(static_cast<char>(s[j++]));
    bool expDigits = false;
    while (j < s.size() && s[j] >= L'0' && s[j] <= L'9') { exponent.push_back(static_cast<char>(s[j++])); expDigits = true; }
    if (expDigits) ascii += exponent;
  }
  const double v = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

double RoundHalfEven(double value) {
  // Built from round and an exact halving rather than nearbyint: saving and restoring the rounding
  // mode costs a processor-feature query (cpuid) per call with MinGW's runtime, and it runs every
  // frame. Doubles of 2^52 and beyond (and NaN, infinities) are already whole.
  if (!(std::fabs(value) < 0x1p52)) return value;
  const double r = std::round(value);  // ties away from zero
  return std::fabs(r - value) == 0.5 ? 2.0 * std::round(value / 2.0) : r;
}

double Floor(double value) { return std::floor(value); }

std::optional<std::int16_t> FitInt16(double whole) {
  if (!(whole >= -32768.0 && whole <= 32767.0)) return std::nullopt;
  return static_cast<std::int16_t>(whole);
}

std::optional<std::int32_t> FitInt32(double whole) {
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return std::nullopt;
  return static_cast<std::int32_t>(whole);
}

std::optional<std::int16_t> RoundToInt16(double value) { return FitInt16(RoundHalfEven(value)); }
std::optional<std::int32_t> RoundToInt32(double value) { return FitInt32(RoundHalfEven(value)); }

std::wstring DecimalText(std::int32_t value) { return std::to_wstring(value); }

}  // namespace lw
