// The private-profile ("INI") format, on the raw code page 932 bytes of a file.
//
// Reading and writing follow what the platform's own profile functions do: section and key
// names match without regard to letter case (the case of double-byte characters is compared by
// character, never by folding a trail byte), names and values are trimmed of blanks, and a write
// updates the key in place or appends it to its section, creating the section when missing.
// Everything else in the file is kept byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lw::settings {

// Longest value a read returns, in bytes; longer values are cut.
inline constexpr std::size_t kMaxValueBytes = 255;

// The value of `key` in `section`, or empty text when the section or key is missing.
std::string ReadProfileValue(std::string_view file, std::string_view section, std::string_view key);

// The file's new bytes after setting `key` in `section` to `value`.
std::string WriteProfileValue(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view value);

// True when two names are equal the way the platform compares them.
bool ProfileNamesEqual(std::string_view a, std::string_view b);

}  // namespace lw::settings
