// What the command line says: the argument text, the mode letter and the preview parent handle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lw::startup {

// The argument text of a full command line: everything after the program's own path (quoted or
// not) and the blanks that follow it; empty when there are no arguments. A quoted path ends at its
// closing quote, whatever follows. An unquoted path may hold blanks: when the line starts with one
// of `ownPaths` (the program's file name, long and short form; letter case ignored) followed by a
// blank or the end, that whole path is skipped, otherwise the path ends at the first blank.
std::wstring ArgumentText(std::wstring_view commandLine, const std::vector<std::wstring>& ownPaths = {});

// The second character of the upper-cased argument text, or L'\0' when it has fewer than two.
wchar_t ModeLetter(std::wstring_view args);

// The window handle after the mode letter ("/p 1234" the preview's parent, "/c:1234" the settings
// dialog's owner): the number from the fourth character on, scanned forgivingly and rounded half
// to even to 32 bits; 0 when there is none or it does not fit.
std::int32_t ParentWindowHandle(std::wstring_view args);

}  // namespace lw::startup
