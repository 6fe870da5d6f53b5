// The settings file reader and writer on arbitrary bytes: no crash, reads never longer than the
// limit, a value written into any file reads back as it does from a fresh file, the other keys
// stay as they were, and writing twice changes nothing more.
// Input: three length bytes (section, key, value), those texts, then the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/profile_file.h"

using lw::settings::ProfileNamesEqual;
using lw::settings::ReadProfileValue;
using lw::settings::WriteProfileValue;

static std::string_view TrimBlanks(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::size_t ls = data[0] % 16, lk = data[1] % 16, lv = data[2];
  in.remove_prefix(3);
  if (in.size() < ls + lk + lv) return 0;
  const std::string_view section = in.substr(0, ls), key = in.substr(ls, lk), value = in.substr(ls + lk, lv);
  const std::string_view file = in.substr(ls + lk + lv);
  if (ReadProfileValue(file, section, key).size() > lw::settings::kMaxValueBytes) std::abort();
  const auto written = WriteProfileValue(file, section, key, value);
  if (!written) return 0;
  const auto fresh = WriteProfileValue("", section, key, value);
  if (!fresh || ReadProfileValue(*written, section, key) != ReadProfileValue(*fresh, section, key)) std::abort();
  if (WriteProfileValue(*written, section, key, value) != written) std::abort();
  // A file whose last byte is a lone lead byte takes the line end added after it into that
  // character, which changes that last value's bytes; names compare as the writer stores them.
  const auto last = file.empty() ? 0 : static_cast<unsigned char>(file.back());
  if ((last >= 0x81 && last <= 0x9F) || (last >= 0xE0 && last <= 0xFC)) return 0;
  if (!ProfileNamesEqual(TrimBlanks(key), "zz") &&
      ReadProfileValue(*written, section, "zz") != ReadProfileValue(file, section, "zz"))
    std::abort();
  if (!ProfileNamesEqual(TrimBlanks(section), "Other") &&
      ReadProfileValue(*written, "Other", key) != ReadProfileValue(file, "Other", key))
    std::abort();
  return 0;
}
