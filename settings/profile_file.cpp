#include "settings/profile_file.h"

#include <vector>

namespace lw::settings {
namespace {

// What differs between the two forms of a file's text: code page 932 bytes, where a lead byte
// takes the next byte with it, and UTF-16, where a surrogate pair stays together.
bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Length of the character that starts at `i`: a lead byte always takes the next byte with it,
// whatever it is, as the platform's code page conversion does (so a lead byte just before a line
// end swallows it).
std::size_t CharLength(std::string_view s, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}
std::size_t CharLength(std::wstring_view s, std::size_t i) {
  const bool pair = s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000;
  return pair ? 2 : 1;
}

bool IsLoneLead(std::string_view s, std::size_t i) { return IsLeadByte(static_cast<unsigned char>(s[i])); }
bool IsLoneLead(std::wstring_view, std::size_t) { return false; }

// A double-byte character, folded to a canonical form: the letters the platform folds
// (full-width Latin, Greek, Cyrillic; Roman numerals, which also have two codes each).
unsigned FoldDoubleByte(unsigned c) {
  if (c >= 0x8281 && c <= 0x829A) return c - (0x8281 - 0x8260);                 // ａ-ｚ
  if (c >= 0x83BF && c <= 0x83D6) return c - (0x83BF - 0x839F);                 // α-ω
  if (c >= 0x8470 && c <= 0x8491 && c != 0x847F) return 0x8440 + (c - 0x8470) - (c > 0x847F ? 1 : 0);  // а-я
  if (c >= 0xFA40 && c <= 0xFA49) return 0x8754 + (c - 0xFA40);                 // ⅰ-ⅹ
  if (c >= 0xEEEF && c <= 0xEEF8) return 0x8754 + (c - 0xEEEF);                 // ⅰ-ⅹ (NEC-selected)
  if (c >= 0xFA4A && c <= 0xFA53) return 0x8754 + (c - 0xFA4A);                 // Ⅰ-Ⅹ (IBM)
  return c;
}

// The same letters in UTF-16, so a Unicode file matches names as its code page 932 form would.
unsigned FoldWide(unsigned c) {
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;                  // ａ-ｚ
  if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) return c - 0x20;   // α-ω
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;                  // а-я
  if (c == 0x0451) return 0x0401;                                   // ё
  if (c >= 0x2170 && c <= 0x2179) return c - 0x10;                  // ⅰ-ⅹ
  return c;
}

unsigned FoldedChar(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (CharLength(s, i) == 2) {
    const unsigned c = (b << 8) | static_cast<unsigned char>(s[i + 1]);
    i += 2;
    return FoldDoubleByte(c);
  }
  ++i;
  return (b >= 'a' && b <= 'z') ? b - 32u : b;
}
unsigned FoldedChar(std::wstring_view s, std::size_t& i) {
  const unsigned c = s[i++];
  return (c >= 'a' && c <= 'z') ? c - 32u : FoldWide(c);
}

template <typename Ch>
using View = std::basic_string_view<Ch>;

// A character that the platform drops around names and values.
template <typename Ch>
bool IsBlankChar(View<Ch> s, std::size_t i, std::size_t len) {
  if (len == 2) return false;
  const Ch c = s[i];
  return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A;
}

template <typename Ch>
View<Ch> TrimLeft(View<Ch> s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t len = CharLength(s, i);
    if (!IsBlankChar(s, i, len)) break;
    i += len;
  }
  return s.substr(i);
}

template <typename Ch>
View<Ch> Trim(View<Ch> s) {
  s = TrimLeft(s);
  std::size_t end = 0;  // end of the last character that is not blank
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t len = CharLength(s, i);
    if (!IsBlankChar(s, i, len)) end = i + len;
    i += len;
  }
  return s.substr(0, end);
}

// Offset of the first (or last) single-byte character `c`, never a trail byte.
template <typename Ch>
std::size_t FindChar(View<Ch> s, char c, bool last) {
  std::size_t found = View<Ch>::npos;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (s[i] != static_cast<Ch>(c)) continue;
    found = i;
    if (!last) break;
  }
  return found;
}

template <typename Ch>
View<Ch> UpToNul(View<Ch> s) {
  return s.substr(0, s.find(Ch(0)));
}

template <typename Ch>
bool NamesEqual(View<Ch> a, View<Ch> b) {
  a = UpToNul(a);
  b = UpToNul(b);
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (FoldedChar(a, i) != FoldedChar(b, j)) return false;
  return i == a.size() && j == b.size();
}

template <typename Ch>
struct Line {
  std::size_t begin;  // first character
  std::size_t end;    // the line end (CR LF, LF or CR) or the end of the file
  std::size_t next;   // first character of the next line
  View<Ch> text;      // trimmed
};

// Lines end at CR LF, LF or a lone CR, never inside a double-byte character.
template <typename Ch>
std::vector<Line<Ch>> SplitLines(View<Ch> file) {
  std::vector<Line<Ch>> lines;
  std::size_t begin = 0, i = 0;
  while (i < file.size()) {
    if (file[i] != '\r' && file[i] != '\n') {
      i += CharLength(file, i);
      continue;
    }
    const std::size_t next = i + (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n' ? 2 : 1);
    lines.push_back({begin, i, next, Trim(file.substr(begin, i - begin))});
    begin = i = next;
  }
  if (begin < file.size()) lines.push_back({begin, file.size(), file.size(), Trim(file.substr(begin))});
  return lines;
}

// The name of a section header line: "[" up to the last "]", trimmed.
template <typename Ch>
std::optional<View<Ch>> SectionName(View<Ch> line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = FindChar(line, ']', true);
  if (close == View<Ch>::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

template <typename Ch>
struct KeyLine {
  View<Ch> name;
  std::optional<View<Ch>> value;  // none without "="
};

template <typename Ch>
KeyLine<Ch> ParseKey(View<Ch> line) {
  const auto eq = FindChar(line, '=', false);
  if (eq == View<Ch>::npos) return {line, std::nullopt};
  return {Trim(line.substr(0, eq)), TrimLeft(line.substr(eq + 1))};
}

// Lines [header, end) of the first section named `section`.
struct SectionSpan {
  std::size_t header;
  std::size_t end;
};

template <typename Ch>
std::optional<SectionSpan> FindSection(const std::vector<Line<Ch>>& lines, View<Ch> section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].text);
    if (!name || !NamesEqual(*name, section)) continue;
    std::size_t j = i + 1;
    while (j < lines.size() && !SectionName(lines[j].text)) ++j;
    return SectionSpan{i, j};
  }
  return std::nullopt;
}

template <typename Ch>
View<Ch> Unquote(View<Ch> v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

// Cuts to at most kMaxValueBytes units without splitting a character.
template <typename Ch>
View<Ch> Cut(View<Ch> v) {
  if (v.size() <= kMaxValueBytes) return v;
  std::size_t i = 0;
  while (i < v.size()) {
    const std::size_t len = CharLength(v, i);
    if (i + len > kMaxValueBytes) break;
    i += len;
  }
  return v.substr(0, i);
}

template <typename Ch>
bool HasLineBreakOrNul(View<Ch> s) {
  for (const Ch c : s)
    if (c == '\r' || c == '\n' || c == 0) return true;
  return false;
}

// True when the text ends with a lead byte that would take the next byte of the file with it.
template <typename Ch>
bool EndsInLeadByte(View<Ch> s) {
  std::size_t i = 0;
  while (i < s.size() && i + CharLength(s, i) < s.size()) i += CharLength(s, i);
  return i < s.size() && CharLength(s, i) == 1 && IsLoneLead(s, i);
}

template <typename Ch>
std::basic_string<Ch> Read(View<Ch> file, View<Ch> section, View<Ch> key) {
  section = Trim(UpToNul(section));
  key = Trim(UpToNul(key));
  if (key.empty()) return {};
  const auto lines = SplitLines(file);
  const auto span = FindSection(lines, section);
  if (!span) return {};
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (lines[i].text.empty()) continue;
    const KeyLine<Ch> parsed = ParseKey(lines[i].text);
    if (!NamesEqual(parsed.name, key)) continue;
    if (!parsed.value) return {};
    return std::basic_string<Ch>(Cut(Unquote(UpToNul(*parsed.value))));
  }
  return {};
}

template <typename Ch>
std::basic_string<Ch>& Append(std::basic_string<Ch>& out, std::string_view ascii) {
  for (const char c : ascii) out.push_back(static_cast<Ch>(c));
  return out;
}

template <typename Ch>
std::optional<std::basic_string<Ch>> Write(View<Ch> file, View<Ch> section, View<Ch> key, View<Ch> value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty() || HasLineBreakOrNul(section) || HasLineBreakOrNul(key) ||
      HasLineBreakOrNul(value) || FindChar(key, '=', false) != View<Ch>::npos || key.front() == '[' ||
      FindChar(section, ']', false) != View<Ch>::npos || EndsInLeadByte(section) || EndsInLeadByte(key) ||
      EndsInLeadByte(value))
    return std::nullopt;

  std::basic_string<Ch> entry(key);
  Append(entry, "=").append(value);

  const auto lines = SplitLines(file);
  const auto span = FindSection(lines, section);
  std::basic_string<Ch> out;
  out.reserve(file.size() + section.size() + entry.size() + 8);
  if (!span) {
    out.append(file);
    if (!lines.empty() && lines.back().next == lines.back().end) Append(out, "\r\n");  // no line end yet
    Append(out, "[").append(section);
    Append(out, "]\r\n").append(entry);
    Append(out, "\r\n");
    return out;
  }

  std::size_t last = span->header;  // the line after which a new key goes
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (lines[i].text.empty()) continue;
    last = i;
    if (!NamesEqual(ParseKey(lines[i].text).name, key)) continue;
    // Replace the line's text and keep its line end as it was.
    out.append(file.substr(0, lines[i].begin)).append(entry).append(file.substr(lines[i].end));
    return out;
  }
  const Line<Ch>& after = lines[last];
  out.append(file.substr(0, after.next));
  if (after.next == after.end) Append(out, "\r\n");  // that line had no line end
  out.append(entry);
  Append(out, "\r\n").append(file.substr(after.next));
  return out;
}

}  // namespace

bool ProfileNamesEqual(std::string_view a, std::string_view b) { return NamesEqual(a, b); }

std::string ReadProfileValue(std::string_view file, std::string_view section, std::string_view key) {
  return Read(file, section, key);
}
std::wstring ReadProfileValue(std::wstring_view file, std::wstring_view section, std::wstring_view key) {
  return Read(file, section, key);
}

std::optional<std::string> WriteProfileValue(std::string_view file, std::string_view section, std::string_view key,
                                             std::string_view value) {
  return Write(file, section, key, value);
}
std::optional<std::wstring> WriteProfileValue(std::wstring_view file, std::wstring_view section,
                                              std::wstring_view key, std::wstring_view value) {
  return Write(file, section, key, value);
}

}  // namespace lw::settings
