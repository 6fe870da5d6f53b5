#include "settings/profile_file.h"

#include <vector>

namespace lw::settings {
namespace {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Length in bytes of the character that starts at `i`: a lead byte always takes the next byte
// with it, whatever it is, as the platform's code page conversion does (so a lead byte just
// before a line end swallows it).
std::size_t CharLength(std::string_view s, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// A character that the platform drops around names and values.
bool IsBlankChar(std::string_view s, std::size_t i, std::size_t len) {
  if (len == 2) return false;
  const char c = s[i];
  return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A';
}

std::string_view TrimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t len = CharLength(s, i);
    if (!IsBlankChar(s, i, len)) break;
    i += len;
  }
  return s.substr(i);
}

std::string_view Trim(std::string_view s) {
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
std::size_t FindChar(std::string_view s, char c, bool last) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (s[i] != c) continue;
    found = i;
    if (!last) break;
  }
  return found;
}

std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

// One character, folded to a canonical form: ASCII letters, and the double-byte letters the
// platform folds (full-width Latin, Greek, Cyrillic; Roman numerals, which also have two codes
// each for the same character).
unsigned FoldedChar(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (CharLength(s, i) == 2) {
    unsigned c = (b << 8) | static_cast<unsigned char>(s[i + 1]);
    i += 2;
    if (c >= 0x8281 && c <= 0x829A) return c - (0x8281 - 0x8260);                 // ａ-ｚ
    if (c >= 0x83BF && c <= 0x83D6) return c - (0x83BF - 0x839F);                 // α-ω
    if (c >= 0x8470 && c <= 0x8491 && c != 0x847F) return 0x8440 + (c - 0x8470) - (c > 0x847F ? 1 : 0);  // а-я
    if (c >= 0xFA40 && c <= 0xFA49) return 0x8754 + (c - 0xFA40);                 // ⅰ-ⅹ
    if (c >= 0xEEEF && c <= 0xEEF8) return 0x8754 + (c - 0xEEEF);                 // ⅰ-ⅹ (NEC-selected)
    if (c >= 0xFA4A && c <= 0xFA53) return 0x8754 + (c - 0xFA4A);                 // Ⅰ-Ⅹ (IBM)
    return c;
  }
  ++i;
  return (b >= 'a' && b <= 'z') ? b - 32u : b;
}

struct Line {
  std::size_t begin;      // first byte
  std::size_t end;        // the line end (CR LF, LF or CR) or the end of the file
  std::size_t next;       // first byte of the next line
  std::string_view text;  // trimmed
};

// Lines end at CR LF, LF or a lone CR, never inside a double-byte character.
std::vector<Line> SplitLines(std::string_view file) {
  std::vector<Line> lines;
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
std::optional<std::string_view> SectionName(std::string_view line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = FindChar(line, ']', true);
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view name;
  std::optional<std::string_view> value;  // none without "="
};

KeyLine ParseKey(std::string_view line) {
  const auto eq = FindChar(line, '=', false);
  if (eq == std::string_view::npos) return {line, std::nullopt};
  return {Trim(line.substr(0, eq)), TrimLeft(line.substr(eq + 1))};
}

// Lines [first, last) of the first section named `section`; first is the header's index.
struct SectionSpan {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].text);
    if (!name || !ProfileNamesEqual(*name, section)) continue;
    std::size_t j = i + 1;
    while (j < lines.size() && !SectionName(lines[j].text)) ++j;
    return SectionSpan{i, j};
  }
  return std::nullopt;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

// Cuts to at most kMaxValueBytes without splitting a double-byte character.
std::string_view Cut(std::string_view v) {
  if (v.size() <= kMaxValueBytes) return v;
  std::size_t i = 0;
  while (i < v.size()) {
    const std::size_t len = CharLength(v, i);
    if (i + len > kMaxValueBytes) break;
    i += len;
  }
  return v.substr(0, i);
}

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// True when the text ends with a lead byte that would take the next byte of the file with it.
bool EndsInLeadByte(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && i + CharLength(s, i) < s.size()) i += CharLength(s, i);
  return i < s.size() && CharLength(s, i) == 1 && IsLeadByte(static_cast<unsigned char>(s[i]));
}

}  // namespace

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  a = UpToNul(a);
  b = UpToNul(b);
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (FoldedChar(a, i) != FoldedChar(b, j)) return false;
  return i == a.size() && j == b.size();
}

std::string ReadProfileValue(std::string_view file, std::string_view section, std::string_view key) {
  section = Trim(UpToNul(section));
  key = Trim(UpToNul(key));
  if (key.empty()) return {};
  const auto lines = SplitLines(file);
  const auto span = FindSection(lines, section);
  if (!span) return {};
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (lines[i].text.empty()) continue;
    const KeyLine parsed = ParseKey(lines[i].text);
    if (!ProfileNamesEqual(parsed.name, key)) continue;
    if (!parsed.value) return {};
    return std::string(Cut(Unquote(UpToNul(*parsed.value))));
  }
  return {};
}

std::optional<std::string> WriteProfileValue(std::string_view file, std::string_view section, std::string_view key,
                                             std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty() || HasLineBreakOrNul(section) || HasLineBreakOrNul(key) ||
      HasLineBreakOrNul(value) || FindChar(key, '=', false) != std::string_view::npos || key.front() == '[' ||
      FindChar(section, ']', false) != std::string_view::npos || EndsInLeadByte(section) || EndsInLeadByte(key) ||
      EndsInLeadByte(value))
    return std::nullopt;

  std::string entry;
  entry.reserve(key.size() + value.size() + 1);
  entry.append(key).append("=").append(value);

  const auto lines = SplitLines(file);
  const auto span = FindSection(lines, section);
  std::string out;
  out.reserve(file.size() + section.size() + entry.size() + 8);
  if (!span) {
    out.append(file);
    if (!lines.empty() && lines.back().next == lines.back().end) out.append("\r\n");  // no line end yet
    out.append("[").append(section).append("]\r\n").append(entry).append("\r\n");
    return out;
  }

  std::size_t last = span->header;  // the line after which a new key goes
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (lines[i].text.empty()) continue;
    last = i;
    if (!ProfileNamesEqual(ParseKey(lines[i].text).name, key)) continue;
    // Replace the line's text and keep its line end as it was.
    out.append(file.substr(0, lines[i].begin)).append(entry).append(file.substr(lines[i].end));
    return out;
  }
  const Line& after = lines[last];
  out.append(file.substr(0, after.next));
  if (after.next == after.end) out.append("\r\n");  // that line had no line end
  out.append(entry).append("\r\n").append(file.substr(after.next));
  return out;
}

}  // namespace lw::settings
