// Conversion between the program's wide text and the code page 932 (Shift_JIS) bytes of the
// settings file. The file is Shift_JIS on every system, whatever its ANSI code page, so that
// files written on Japanese systems keep their meaning everywhere.
#pragma once

#include <string>
#include <string_view>

namespace lw {

class Cp932Codec {
 public:
  virtual ~Cp932Codec() = default;
  // Characters code page 932 cannot hold become '?'; Encode reports that through `lossless`.
  virtual std::string Encode(std::wstring_view text, bool* lossless = nullptr) const = 0;
  // Invalid byte sequences decode to U+30FB or U+FFFD, never fail.
  virtual std::wstring Decode(std::string_view bytes) const = 0;
};

// The implementation of the running system: Windows' own code page tables, or iconv natively.
const Cp932Codec& SystemCp932();

}  // namespace lw
