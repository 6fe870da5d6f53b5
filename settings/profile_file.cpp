#include "settings/profile_file.h"

#include <optional>
#include <vector>

namespace lw::settings {
namespace {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One character of a code page 932 text, upper-cased: ASCII letters, and the full-width Latin,
// Greek and Cyrillic letters, whose lower-case forms are double-byte characters of their own.
unsigned FoldedChar(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (IsLeadByte(b) && i + 1 < s.size()) {
    unsigned c = (b << 8) | static_cast<unsigned char>(s[i + 1]);
    i += 2;
    if (c >= 0x8281 && c <= 0x829A) c -= 0x8281 - 0x8260;          // ａ-ｚ -> Ａ-Ｚ
    else if (c >= 0x83BF && c <= 0x83D6) c -= 0x83BF - 0x839F;     // α-ω -> Α-Ω
    else if (c >= 0x8470 && c <= 0x8491) {                          // а-я -> А-Я (0x847F is unused)
      const unsigned idx = c - 0x8470 - (c > 0x847F ? 1 : 0);
      c = 0x8440 + idx;
    }
    return c;
  }
  ++i;
  return (b >= 'a' && b <= 'z') ? b - 32u : b;
}

struct Line {
  std::size_t begin;  // offset of the line's first byte
  std::size_t end;    // offset just past its text, before the line end
  std::size_t next;   // offset of the next line
};

std::vector<Line> SplitLines(std::string_view file) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < file.size()) {
    std::size_t nl = file.find('\n', pos);
    const std::size_t next = nl == std::string_view::npos ? file.size() : nl + 1;
    std::size_t end = nl == std::string_view::npos ? file.size() : nl;
    if (end > pos && file[end - 1] == '\r') --end;
    lines.push_back({pos, end, next});
    pos = next;
  }
  return lines;
}

std::optional<std::string_view> SectionName(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const auto close = text.find(']');
  return Trim(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
  std::size_t valueBegin;  // offset in the file where the value's bytes start (after '=')
};

std::optional<KeyLine> ParseKey(std::string_view file, const Line& line) {
  const std::string_view text = file.substr(line.begin, line.end - line.begin);
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return KeyLine{Trim(text), {}, line.end};
  return KeyLine{Trim(text.substr(0, eq)), Trim(text.substr(eq + 1)), line.begin + eq + 1};
}

// Index of the first line of the named section's body, and one past its last line.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(std::string_view file, const std::vector<Line>& lines,
                                                              std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(file.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (!name || !ProfileNamesEqual(*name, section)) continue;
    std::size_t j = i + 1;
    while (j < lines.size() && !SectionName(file.substr(lines[j].begin, lines[j].end - lines[j].begin))) ++j;
    return std::make_pair(i + 1, j);
  }
  return std::nullopt;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

// Cuts to at most kMaxValueBytes without splitting a double-byte character.
std::string Cut(std::string_view v) {
  if (v.size() <= kMaxValueBytes) return std::string(v);
  std::size_t i = 0;
  while (i < kMaxValueBytes) {
    const std::size_t len = IsLeadByte(static_cast<unsigned char>(v[i])) ? 2 : 1;
    if (i + len > kMaxValueBytes) break;
    i += len;
  }
  return std::string(v.substr(0, i));
}

}  // namespace

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (FoldedChar(a, i) != FoldedChar(b, j)) return false;
  return i == a.size() && j == b.size();
}

std::string ReadProfileValue(std::string_view file, std::string_view section, std::string_view key) {
  const auto lines = SplitLines(file);
  const auto body = FindSection(file, lines, section);
  if (!body) return {};
  for (std::size_t i = body->first; i < body->second; ++i) {
    const auto parsed = ParseKey(file, lines[i]);
    if (parsed && !parsed->key.empty() && ProfileNamesEqual(parsed->key, key)) return Cut(Unquote(parsed->value));
  }
  return {};
}

std::string WriteProfileValue(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view value) {
  const auto lines = SplitLines(file);
  const std::string entry = std::string(key) + "=" + std::string(value) + "\r\n";
  const auto body = FindSection(file, lines, section);
  if (!body) {
    std::string out(file);
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += "[" + std::string(section) + "]\r\n" + entry;
    return out;
  }
  std::size_t lastKeyLine = body->first - 1;  // the header, when the section has no key yet
  for (std::size_t i = body->first; i < body->second; ++i) {
    if (Trim(file.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty()) continue;
    lastKeyLine = i;
    const auto parsed = ParseKey(file, lines[i]);
    if (!parsed || !ProfileNamesEqual(parsed->key, key)) continue;
    std::string out(file.substr(0, lines[i].begin));
    out += entry.substr(0, entry.size() - 2);
    out += file.substr(lines[i].end);
    return out;
  }
  const Line& after = lines[lastKeyLine];
  std::string out(file.substr(0, after.next));
  if (after.next == after.end) out += "\r\n";  // the last line had no line end
  out += entry;
  out += file.substr(after.next);
  return out;
}

}  // namespace lw::settings
