// The strict coercion of settings values on arbitrary UTF-16 text: no crash, never NaN, blanks
// around the text never change the result, and the whole-number rules never fail on a result.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  const auto value = lw::CoerceNumber(text);
  if (value && std::isnan(*value)) std::abort();
  const auto padded = lw::CoerceNumber(L" \u3000" + text.substr(0, text.find(L'\0')) + L"\t ");
  if (padded.has_value() != value.has_value() || (value && !(*padded == *value))) std::abort();
  if (value) (void)lw::FitInt16(lw::Floor(*value));
  return 0;
}
