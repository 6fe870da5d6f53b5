#include "startup/command_line.h"

#include "platform/conversions.h"

namespace lw::startup {

std::wstring ArgumentText(std::wstring_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const auto close = commandLine.find(L'"', 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  }
  while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return std::wstring(commandLine.substr(i));
}

wchar_t ModeLetter(std::wstring_view args) {
  if (args.size() < 2) return L'\0';
  const wchar_t c = args[1];
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

std::int32_t ParentWindowHandle(std::wstring_view args) {
  std::int32_t handle = 0;
  if (args.size() < 4) return handle;
  if (const auto number = ScanNumber(args.substr(3)))
    if (const auto rounded = RoundToInt32(*number)) handle = *rounded;
  return handle;
}

}  // namespace lw::startup
