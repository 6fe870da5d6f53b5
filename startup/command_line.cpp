#include "startup/command_line.h"

#include "platform/conversions.h"

namespace lw::startup {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

wchar_t FoldAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c; }

// Length of the own path the line starts with, when it is followed by a blank or the end; else 0.
std::size_t OwnPathLength(std::wstring_view line, const std::vector<std::wstring>& ownPaths) {
  for (const auto& path : ownPaths) {
    if (path.empty() || path.size() > line.size()) continue;
    if (path.size() < line.size() && !IsBlank(line[path.size()])) continue;
    bool same = true;
    for (std::size_t k = 0; same && k < path.size(); ++k) same = FoldAscii(line[k]) == FoldAscii(path[k]);
    if (same) return path.size();
  }
  return 0;
}

}  // namespace

std::wstring ArgumentText(std::wstring_view commandLine, const std::vector<std::wstring>& ownPaths) {
  std::size_t i = OwnPathLength(commandLine, ownPaths);
  if (i == 0 && !commandLine.empty() && commandLine[0] == L'"') {
    // A quoted path ends at its closing quote, as CommandLineToArgvW reads it: the switch may
    // follow at once ("C:\x\Lumenweave.scr"/s).
    const auto close = commandLine.find(L'"', 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  }
  while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
  return std::wstring(commandLine.substr(i));
}

wchar_t ModeLetter(std::wstring_view args) {
  if (args.size() < 2) return L'\0';
  return FoldAscii(args[1]);
}

std::int32_t ParentWindowHandle(std::wstring_view args) {
  std::int32_t handle = 0;
  if (args.size() < 4) return handle;
  if (const auto number = ScanNumber(args.substr(3)))
    if (const auto rounded = RoundToInt32(*number)) handle = *rounded;
  return handle;
}

}  // namespace lw::startup
