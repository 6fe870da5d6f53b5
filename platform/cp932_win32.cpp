// Code page 932 through Windows' own tables, whatever the system's ANSI code page.
#include <windows.h>

#include "platform/text_codec.h"

namespace lw {
namespace {

constexpr UINT kCp932 = 932;

class WinCp932 final : public Cp932Codec {
 public:
  std::string Encode(std::wstring_view text, bool* lossless) const override {
    if (lossless) *lossless = true;
    if (text.empty()) return {};
    const int n = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), n, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
      if (lossless) *lossless = false;
      return {};
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, text.data(), n, out.data(), size, "?", &usedDefault);
    if (lossless && usedDefault) *lossless = false;
    return out;
  }

  std::wstring Decode(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    const int n = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(kCp932, 0, bytes.data(), n, nullptr, 0);
    if (size <= 0) return {};
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(kCp932, 0, bytes.data(), n, out.data(), size);
    return out;
  }
};

}  // namespace

const Cp932Codec& SystemCp932() {
  static const WinCp932 codec;
  return codec;
}

}  // namespace lw
