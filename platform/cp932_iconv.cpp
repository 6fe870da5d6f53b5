// Code page 932 through glibc's iconv, for the native build (tests, fuzzers, tools).
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/text_codec.h"

namespace lw {
namespace {

class IconvCp932 final : public Cp932Codec {
 public:
  std::string Encode(std::wstring_view text, bool* lossless) const override {
    std::string out;
    bool exact = true;
    iconv_t cd = iconv_open("CP932", "WCHAR_T");
    for (wchar_t c : text) {
      char in[sizeof(wchar_t)];
      std::memcpy(in, &c, sizeof c);
      char buf[8];
      char* ip = in;
      char* op = buf;
      std::size_t il = sizeof in, ol = sizeof buf;
      if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        out.push_back('?');
        exact = false;
      } else {
        out.append(buf, op);
      }
    }
    iconv_close(cd);
    if (lossless) *lossless = exact;
    return out;
  }

  std::wstring Decode(std::string_view bytes) const override {
    std::wstring out;
    iconv_t cd = iconv_open("WCHAR_T", "CP932");
    std::size_t i = 0;
    while (i < bytes.size()) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
      std::size_t len = (lead && i + 1 < bytes.size()) ? 2 : 1;
      char in[2] = {bytes[i], len == 2 ? bytes[i + 1] : '\0'};
      wchar_t w = 0;
      char* ip = in;
      char* op = reinterpret_cast<char*>(&w);
      std::size_t il = len, ol = sizeof w;
      if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        out.push_back(len == 2 ? L'\u30FB' : L'\uFFFD');
      } else {
        out.push_back(w);
      }
      i += len;
    }
    iconv_close(cd);
    return out;
  }
};

}  // namespace

const Cp932Codec& SystemCp932() {
  static const IconvCp932 codec;
  return codec;
}

}  // namespace lw
