// The two number readers on arbitrary UTF-16 text. The strict coercion of settings values: no
// crash, never NaN, blanks around the text never change the result, and the whole-number rules
// never fail on a result. The forgiving command-line scan: a finite result, blanks anywhere never
// change it, and the preview handle is its rounded value or 0.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/conversions.h"
#include "startup/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  const auto value = lw::CoerceNumber(text);
  if (value && std::isnan(*value)) std::abort();
  const auto padded = lw::CoerceNumber(L" \u3000" + text.substr(0, text.find(L'\0')) + L"\t ");
  if (padded.has_value() != value.has_value() || (value && !(*padded == *value))) std::abort();
  if (value) (void)lw::FitInt16(lw::Floor(*value));

  const auto scanned = lw::ScanNumber(text);
  if (scanned && !std::isfinite(*scanned)) std::abort();
  std::wstring squeezed;
  for (wchar_t c : text)
    if (c != L' ' && c != L'\t' && c != L'\n') squeezed.push_back(c);
  if (lw::ScanNumber(squeezed) != scanned) std::abort();
  const auto rounded = scanned ? lw::RoundToInt32(*scanned) : std::nullopt;
  if (lw::startup::ParentWindowHandle(L"/p " + text) != rounded.value_or(0)) std::abort();
  return 0;
}
