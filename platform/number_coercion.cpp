// The strict text-to-number coercion of settings values (see conversions.h). It follows the
// rules of the platform's OLE Automation coercion with the separators of the systems the program
// is made for ("." decimal, "," thousands), whatever the user's locale, so that a settings file
// means the same number on every machine.
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/conversions.h"

namespace lw {
namespace {

bool IsWhite(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }
wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::optional<double> RadixWhole(std::wstring_view digits, int radix) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (wchar_t c : digits) {
    int d = -1;
    if (IsDigit(c)) d = c - L'0';
    else if (Upper(c) >= L'A' && Upper(c) <= L'F') d = Upper(c) - L'A' + 10;
    if (d < 0 || d >= radix) return std::nullopt;
    v = v * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFull) return std::nullopt;
  }
  if (v <= 0xFFFF) return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(v)));
  return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
}

}  // namespace

std::optional<double> CoerceNumber(std::wstring_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsWhite(text[b])) ++b;
  while (e > b && IsWhite(text[e - 1])) --e;
  std::wstring_view s = text.substr(b, e - b);
  if (s.empty()) return std::nullopt;

  if (s.size() >= 2 && s[0] == L'&' && (Upper(s[1]) == L'H' || Upper(s[1]) == L'O'))
    return RadixWhole(s.substr(2), Upper(s[1]) == L'H' ? 16 : 8);

  bool negative = false;
  if (s.size() >= 2 && s.front() == L'(' && s.back() == L')') {
    negative = true;
    s = s.substr(1, s.size() - 2);
  }
  if (!s.empty() && (s.front() == L'-' || s.front() == L'+')) {
    negative = negative != (s.front() == L'-');
    s.remove_prefix(1);
  } else if (!s.empty() && (s.back() == L'-' || s.back() == L'+')) {
    negative = negative != (s.back() == L'-');
    s.remove_suffix(1);
  }

  std::string ascii;
  std::size_t i = 0;
  bool digits = false;
  while (i < s.size() && (IsDigit(s[i]) || (s[i] == L',' && digits))) {
    if (s[i] != L',') ascii.push_back(static_cast<char>(s[i]));
    digits = digits || IsDigit(s[i]);
    ++i;
  }
  if (i < s.size() && s[i] == L'.') {
    ascii.push_back('.');
    ++i;
    while (i < s.size() && IsDigit(s[i])) { ascii.push_back(static_cast<char>(s[i++])); digits = true; }
  }
  if (!digits) return std::nullopt;
  if (i < s.size() && (Upper(s[i]) == L'E' || Upper(s[i]) == L'D')) {
    ascii.push_back('e');
    ++i;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ascii.push_back(static_cast<char>(s[i++]));
    bool expDigits = false;
    while (i < s.size() && IsDigit(s[i])) { ascii.push_back(static_cast<char>(s[i++])); expDigits = true; }
    if (!expDigits) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  const double v = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

}  // namespace lw
