// The private-profile ("INI") format, on the raw code page 932 bytes of a file, or on the UTF-16
// text of a Unicode one (where every rule below holds with characters for bytes).
//
// Reading follows what the platform's profile functions do: lines end at CR LF, LF or CR (a
// double-byte character's lead byte takes even a line end as its second byte); blanks (space,
// tab, the ASCII control blanks and ^Z, but not the full-width space) around a line, before "="
// and after it are dropped; a section header is "[" up to the last "]" of its line, the name
// trimmed; lines before the first header belong to no section; only the first section of a name
// is searched, and in it the first key of a name; a line without "=" is a key without a value.
// Names match without regard to letter case the way the platform compares them: ASCII letters
// and the double-byte full-width Latin, Greek, Cyrillic and Roman-numeral letters fold, and a
// trail byte is never taken for a character of its own. A value loses one pair of matching
// surrounding quotes, ends at its first NUL and is cut to kMaxValueBytes without splitting a
// double-byte character.
//
// Writing edits the file in place and keeps every other byte: the first matching key's line is
// replaced, or the key is added after the last non-blank line of the first matching section, or
// the section is appended at the end. A fresh file is "[Section]\r\nkey=value\r\n".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lw::settings {

// Longest value a read returns, in bytes (UTF-16 units in a Unicode file); longer values are cut.
inline constexpr std::size_t kMaxValueBytes = 255;

// The value of `key` in `section`, or empty text when the section or key is missing.
std::string ReadProfileValue(std::string_view file, std::string_view section, std::string_view key);
std::wstring ReadProfileValue(std::wstring_view file, std::wstring_view section, std::wstring_view key);

// The file's new bytes after setting `key` in `section` to `value` (names are trimmed of blanks as
// for reading); nullopt when they cannot be written without changing the file's structure (a name
// empty after trimming; CR, LF or NUL anywhere; "=" in a key or a key starting with "["; "]" in a
// section; a name or value ending in a lone lead byte, which would take the next byte with it),
// so the caller leaves the file as it is.
std::optional<std::string> WriteProfileValue(std::string_view file, std::string_view section, std::string_view key,
                                             std::string_view value);
std::optional<std::wstring> WriteProfileValue(std::wstring_view file, std::wstring_view section,
                                              std::wstring_view key, std::wstring_view value);

// True when two names are equal the way the platform compares them.
bool ProfileNamesEqual(std::string_view a, std::string_view b);

}  // namespace lw::settings
