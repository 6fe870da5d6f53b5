// Runtime number conversions shared by every subsystem.
//
// Two text-to-number rules exist and they differ on purpose:
//  - ScanNumber: the forgiving scan used for the preview window handle on the command line. It
//    skips blanks anywhere, stops at the first character that cannot continue a number and
//    yields 0 for text that does not start with one.
//  - CoerceNumber: the strict coercion used for values read from the settings file and for the
//    dialog's numeric test, the platform's OLE Automation rules (number_coercion.cpp). The whole
//    text must be a number (blanks around it, signs before or after, parentheses, thousands
//    separators, exponent, &H/&O forms, currency sign), or the conversion fails.
// Whole-number conversions return std::nullopt when the value does not fit, so a caller that
// assigns only on success keeps its previous value, which is how a failed conversion behaves.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lw {

// Scan a number the forgiving way. Fails only when a hexadecimal or octal form overflows 32 bits.
std::optional<double> ScanNumber(std::wstring_view text);

// Coerce a whole text to a number; fails when the text is not a number or out of range (a run
// of several hundred digits gives infinity, as the platform's coercion does; no 16-bit check
// accepts it).
std::optional<double> CoerceNumber(std::wstring_view text);

// Round half to even ("banker's rounding"), the rounding of every whole-number conversion.
double RoundHalfEven(double value);

// Round toward minus infinity: 600.9 -> 600, -2.5 -> -3.
double Floor(double value);

// Range checks of values that are already whole.
std::optional<std::int16_t> FitInt16(double whole);
std::optional<std::int32_t> FitInt32(double whole);

// Round half to even, then range-check.
std::optional<std::int16_t> RoundToInt16(double value);
std::optional<std::int32_t> RoundToInt32(double value);

// Decimal text of a whole number: optional minus sign, no leading zeros, no separators.
std::wstring DecimalText(std::int32_t value);

}  // namespace lw
