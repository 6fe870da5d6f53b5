// The settings file reader and writer on arbitrary bytes: no crash, reads never longer than the
// limit, a write reads back as the value (as the reader trims and unquotes it), leaves the other
// keys alone, and writing twice changes nothing more.
// Input: three length bytes (section, key, value), those texts, then the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/profile_file.h"

namespace {

using lw::settings::ReadProfileValue;
using lw::settings::WriteProfileValue;

bool Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool Blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A'; }

// What a read of `value` gives, modelled independently of the reader: blanks dropped around it
// (never a trail byte), one pair of quotes removed, cut to 255 bytes on a character boundary.
std::string Expected(std::string_view v) {
  std::size_t b = 0;
  while (b < v.size() && Blank(v[b])) ++b;
  v.remove_prefix(b);
  std::size_t end = 0;
  for (std::size_t i = 0; i < v.size();) {
    const std::size_t len = Lead(static_cast<unsigned char>(v[i])) && i + 1 < v.size() ? 2 : 1;
    if (len == 2 || !Blank(v[i])) end = i + len;
    i += len;
  }
  v = v.substr(0, end);
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  std::size_t cut = 0;
  while (cut < v.size()) {
    const std::size_t len = Lead(static_cast<unsigned char>(v[cut])) && cut + 1 < v.size() ? 2 : 1;
    if (cut + len > lw::settings::kMaxValueBytes) break;
    cut += len;
  }
  return std::string(v.substr(0, cut));
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::size_t ls = data[0] % 16, lk = data[1] % 16, lv = data[2];
  in.remove_prefix(3);
  if (in.size() < ls + lk + lv) return 0;
  const std::string_view section = in.substr(0, ls), key = in.substr(ls, lk), value = in.substr(ls + lk, lv);
  const std::string_view file = in.substr(ls + lk + lv);

  const std::string before = ReadProfileValue(file, section, key);
  if (before.size() > lw::settings::kMaxValueBytes) std::abort();
  const std::string other = ReadProfileValue(file, section, "zz");
  const std::string elsewhere = ReadProfileValue(file, "Other", key);

  const auto written = WriteProfileValue(file, section, key, value);
  if (!written) return 0;
  if (ReadProfileValue(*written, section, key) != Expected(value)) std::abort();
  if (WriteProfileValue(*written, section, key, value) != written) std::abort();
  // A file whose last byte is a lone lead byte takes the line end added after it into that
  // character, which changes that last value's bytes (not what it reads as).
  const bool danglingLead = !file.empty() && Lead(static_cast<unsigned char>(file.back()));
  // Names are compared as the writer stores them, trimmed of blanks ("ZZ\r" is the key ZZ).
  if (!lw::settings::ProfileNamesEqual(TrimBlanks(key), "zz") && !danglingLead &&
      ReadProfileValue(*written, section, "zz") != other)
    std::abort();
  if (!lw::settings::ProfileNamesEqual(TrimBlanks(section), "Other") && !danglingLead &&
      ReadProfileValue(*written, "Other", key) != elsewhere)
    std::abort();
  return 0;
}
