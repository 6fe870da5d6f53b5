// The strict text-to-number coercion of settings values (see conversions.h).
//
// It reproduces the platform's OLE Automation text-to-double coercion step by step, quirks
// included, so that a settings file means exactly the number it always meant:
//  - blanks (every Unicode white-space character) before and after; one leading "+" and one
//    leading "-" in either order, or any number of trailing ones when there was no leading one;
//    "(" before and ")" after mean negative, and an opening one needs a sign or a closing one;
//  - thousands separators anywhere after the first digit (after the point too), never first;
//  - one decimal point; an exponent "E" (not "D"), its sign given any number of times;
//  - "&H" and "&O" forms, whose sign is ignored, read as: up to &H7FFFFFFF the value itself,
//    &H80000000 as -2147483648, anything wider as its 64-bit negation if that fits 32 bits,
//    otherwise a failure (this is what the platform does when asked for a double);
//  - the currency sign before or after;
//  - digits folded into a double one at a time and then scaled by powers of ten, with the same
//    overflow (failure) and underflow (zero) rules, so the very last bit agrees as well;
//  - the text ends at its first NUL.
// The separators are fixed to those of the Japanese systems the program is made for ("-", "+",
// ".", ",", currency U+FFE5) instead of the user's locale: the file must mean the same number on
// every machine, and a "," decimal separator would read "12,5" as 125 on some and 12.5 on others.
#include <cstdint>
#include <limits>
#include <string>

#include "platform/conversions.h"

namespace lw {
namespace {

constexpr wchar_t kMinus = L'-';
constexpr wchar_t kPlus = L'+';
constexpr wchar_t kPoint = L'.';
constexpr wchar_t kThousands = L',';
constexpr wchar_t kCurrency = L'\uFFE5';
constexpr int kMaxDigits = 1024;

bool IsWhite(wchar_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
int HexLetter(wchar_t c) {
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Integer arithmetic that wraps like the platform's 32-bit ints instead of being undefined.
std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

// What the parse found: the significant digits and a power of ten, or a hexadecimal/octal form.
struct Parsed {
  std::uint8_t digits[kMaxDigits];
  int count = 0;          // digits stored
  std::int32_t pwr10 = 0; // value = digits * 10^pwr10
  int baseShift = 0;      // 4 hexadecimal, 3 octal, 0 decimal
  bool negative = false;
};

class Parser {
 public:
  explicit Parser(std::wstring_view text) : text_(text) {}

  std::optional<Parsed> Run();

 private:
  wchar_t At() const { return pos_ < text_.size() ? text_[pos_] : L'\0'; }
  wchar_t Next() const { return pos_ + 1 < text_.size() ? text_[pos_ + 1] : L'\0'; }
  void SkipWhite() { while (IsWhite(At())) ++pos_; }

  std::wstring_view text_;
  std::size_t pos_ = 0;
};

std::optional<Parsed> Parser::Run() {
  const auto nul = text_.find(L'\0');
  if (nul != std::wstring_view::npos) text_ = text_.substr(0, nul);

  Parsed p;
  bool leadingPlus = false, leadingMinus = false, currency = false, parens = false, point = false;
  bool leadingZero = false, hex = false, oct = false, exponent = false, inExponent = false;
  bool exponentStart = true, negativeExponent = false, inexact = false;
  int count = 0;  // digits seen, which may exceed what is stored

  // Leading symbols and blanks.
  for (;;) {
    const wchar_t c = At();
    if (c == kPoint) {
      point = true;
      ++pos_;
      while (At() == L'0') {
        leadingZero = true;
        ++pos_;
        p.pwr10 = Wrap(std::int64_t{p.pwr10} - 1);
      }
      break;
    }
    if (IsWhite(c)) SkipWhite();
    else if (c == kThousands) return std::nullopt;  // never before the first digit
    else if (c == kPlus && !leadingPlus) { leadingPlus = true; ++pos_; }
    else if (c == kMinus && !leadingMinus) { leadingMinus = true; p.negative = true; ++pos_; }
    else if (c == kCurrency && !currency) { currency = true; ++pos_; }
    else if (c == L'(' && !parens) { parens = true; ++pos_; }
    else break;
  }

  if (!currency && !point && At() == L'&') {
    const wchar_t r = Next();
    if (r == L'H' || r == L'h') hex = true;
    if (r == L'O' || r == L'o') oct = true;
    if (hex || oct) pos_ += 2;
  }
  const bool radix = hex || oct;

  while (At() == L'0') {
    leadingZero = true;
    ++pos_;
  }

  for (; At() != L'\0'; ++pos_) {
    const wchar_t c = At();
    if (IsDigit(c)) {
      if (inExponent) {
        if (exponentStart)
          while (At() == L'0') ++pos_;
        std::int32_t size = 0;
        while (IsDigit(At())) {
          size = Wrap(std::int64_t{size} * 10 + (At() - L'0'));
          ++pos_;
        }
        if (negativeExponent) size = Wrap(-std::int64_t{size});
        p.pwr10 = Wrap(std::int64_t{p.pwr10} + size);
        inExponent = exponentStart = false;
        --pos_;  // the loop steps over the character after the exponent
      } else {
        if (count >= kMaxDigits && !radix) {
          // Digits past the buffer only scale the number.
          inexact = true;
          p.pwr10 = Wrap(std::int64_t{p.pwr10} + (point ? -1 : 1));
        } else {
          if (oct && (c == L'8' || c == L'9')) break;
          if (count >= kMaxDigits) return std::nullopt;  // a radix form that long cannot fit
          if (point) p.pwr10 = Wrap(std::int64_t{p.pwr10} - 1);
          p.digits[count] = static_cast<std::uint8_t>(c - L'0');
        }
        ++count;
      }
    } else if (c == kThousands && !radix) {
      // skipped
    } else if (c == kPoint && !radix && !point && !exponent) {
      point = true;
      if (count == 0)
        while (Next() == L'0') {
          leadingZero = true;
          ++pos_;
          p.pwr10 = Wrap(std::int64_t{p.pwr10} - 1);
        }
    } else if (hex && HexLetter(c) >= 0) {
      if (count >= kMaxDigits) return std::nullopt;
      p.digits[count++] = static_cast<std::uint8_t>(HexLetter(c));
    } else if ((c == L'e' || c == L'E') && !radix && !currency && !exponent) {
      inExponent = exponent = true;
    } else if (inExponent && c == kPlus) {
      // an exponent's plus sign changes nothing, however often it is given
    } else if (inExponent && c == kMinus) {
      negativeExponent = true;
    } else {
      break;
    }
  }

  if (count == 0 && leadingZero) {
    count = 1;
    p.digits[0] = 0;
  }
  if (exponent && inExponent) return std::nullopt;  // "1e", "1e+"

  // Trailing zeros become a power of ten, except when digits ran past the buffer.
  if (!inexact && !radix)
    while (count > 1 && p.digits[count - 1] == 0) {
      p.pwr10 = Wrap(std::int64_t{p.pwr10} + 1);
      --count;
    }
  p.count = count > kMaxDigits ? kMaxDigits : count;
  if (hex) p.baseShift = 4;
  if (oct) p.baseShift = 3;

  // Trailing symbols and blanks.
  for (;;) {
    const wchar_t c = At();
    if (c == kThousands) {
      if (radix) break;
      ++pos_;
    } else if (IsWhite(c)) SkipWhite();
    else if (c == kPlus && !leadingPlus) ++pos_;
    else if (c == kMinus && !leadingMinus) { p.negative = true; ++pos_; }
    else if (c == L')' && parens) { p.negative = true; ++pos_; }
    else if (c == kCurrency && !radix) { currency = true; ++pos_; }
    else break;
  }

  if (parens && !p.negative) return std::nullopt;  // an opening parenthesis alone
  if (At() != L'\0') return std::nullopt;          // the whole text must be the number
  if (p.count == 0) return std::nullopt;
  return p;
}

std::optional<double> RadixToDouble(const Parsed& p) {
  std::uint64_t v = 0;
  const std::uint64_t max = std::numeric_limits<std::uint64_t>::max() >> p.baseShift;
  for (int i = 0; i < p.count; ++i) {
    if (v > max - p.digits[i]) return std::nullopt;
    v = (v << p.baseShift) + p.digits[i];
  }
  const auto negated = static_cast<std::int64_t>(0 - v);
  if (v <= 0x7FFFFFFFu) return static_cast<double>(v);
  if (negated >= -2147483648LL) return static_cast<double>(negated);
  return std::nullopt;
}

std::optional<double> DecimalToDouble(const Parsed& p) {
  // The platform's limits: just below the largest double, and the smallest denormal.
  constexpr double kMax = 1.79769313486231470e+308;
  constexpr double kMin = 4.94065645841246544e-324;
  static constexpr double kPowers[11] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};

  std::int64_t multiplier = 0, divisor = 0;
  if (p.pwr10 < 0) divisor = -std::int64_t{p.pwr10};
  else multiplier = p.pwr10;

  double whole = 0.0;
  for (int i = 0; i < p.count; ++i) whole = whole * 10.0 + p.digits[i];

  // Zero stays zero however it is scaled; skip what would be a very long loop.
  if (whole != 0.0) {
    while (multiplier > 10) {
      if (whole > kMax / kPowers[10]) return std::nullopt;
      whole *= kPowers[10];
      multiplier -= 10;
    }
    if (multiplier) {
      if (whole > kMax / kPowers[multiplier]) return std::nullopt;
      whole *= kPowers[multiplier];
    }
    while (divisor > 10) {
      if (whole < kMin * kPowers[10]) {
        whole = 0.0;
        divisor = 0;
        break;
      }
      whole /= kPowers[10];
      divisor -= 10;
    }
    if (divisor) {
      if (whole < kMin * kPowers[divisor]) whole = 0.0;
      else whole /= kPowers[divisor];
    }
  }
  return p.negative ? -whole : whole;
}

}  // namespace

std::optional<double> CoerceNumber(std::wstring_view text) {
  const auto parsed = Parser(text).Run();
  if (!parsed) return std::nullopt;
  return parsed->baseShift ? RadixToDouble(*parsed) : DecimalToDouble(*parsed);
}

}  // namespace lw
