// The forgiving command-line scan on arbitrary UTF-16 text: no crash, a finite result, blanks
// anywhere never change it, and the preview handle is its rounded value or 0.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/conversions.h"
#include "startup/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  const auto value = lw::ScanNumber(text);
  if (value && !std::isfinite(*value)) std::abort();
  std::wstring squeezed;
  for (wchar_t c : text)
    if (c != L' ' && c != L'\t' && c != L'\n') squeezed.push_back(c);
  if (lw::ScanNumber(squeezed) != value) std::abort();
  const std::int32_t handle = lw::startup::ParentWindowHandle(L"/p " + text);
  const auto rounded = value ? lw::RoundToInt32(*value) : std::nullopt;
  if (handle != rounded.value_or(0)) std::abort();
  return 0;
}
