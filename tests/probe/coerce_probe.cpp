// Differential oracle for the settings-value coercion: runs every line of a corpus through the
// platform's own OLE Automation coercion (VarR8FromStr, user default locale) and through our
// portable CoerceNumber, and prints both results and whether they agree.
// Corpus lines use the escapes \t \n \r \\ and \uXXXX; lines starting with '#' are comments.
// Output: one line per case "same|DIFF <tab> escaped input <tab> platform <tab> ours", where a
// result is a %.17g number or "fail"; then "locale ..." and "N same, N differ".
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "platform/conversions.h"

namespace {

std::wstring Unescape(const std::string& line) {
  std::wstring out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c != '\\' || i + 1 >= line.size()) {
      out.push_back(static_cast<unsigned char>(c));
      continue;
    }
    const char e = line[++i];
    if (e == 't') out.push_back(L'\t');
    else if (e == 'n') out.push_back(L'\n');
    else if (e == 'r') out.push_back(L'\r');
    else if (e == 'u' && i + 4 < line.size()) {
      out.push_back(static_cast<wchar_t>(std::stoul(line.substr(i + 1, 4), nullptr, 16)));
      i += 4;
    } else out.push_back(static_cast<unsigned char>(e));
  }
  return out;
}

std::string Show(const std::optional<double>& v) {
  if (!v) return "fail";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", *v);
  return buf;
}

std::string Locale(LCTYPE type) {
  wchar_t buf[16] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 16);
  std::string out;
  for (wchar_t* p = buf; *p; ++p) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "U+%04X ", static_cast<unsigned>(*p));
    out += hex;
  }
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) return 2;
  std::printf("locale decimal %s thousand %s currency %s acp %u\n", Locale(LOCALE_SDECIMAL).c_str(),
              Locale(LOCALE_STHOUSAND).c_str(), Locale(LOCALE_SCURRENCY).c_str(), GetACP());
  int same = 0, differ = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '#') continue;
    const std::wstring text = Unescape(line);
    BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    double d = 0;
    const HRESULT hr = VarR8FromStr(b, LOCALE_USER_DEFAULT, 0, &d);
    SysFreeString(b);
    const std::optional<double> platform = SUCCEEDED(hr) ? std::optional<double>(d) : std::nullopt;
    const std::optional<double> ours = lw::CoerceNumber(text);
    const bool agree = platform.has_value() == ours.has_value() && (!platform || *platform == *ours);
    (agree ? same : differ)++;
    std::printf("%s\t%s\t%s\t%s\n", agree ? "same" : "DIFF", line.c_str(), Show(platform).c_str(), Show(ours).c_str());
  }
  std::printf("%d same, %d differ\n", same, differ);
  return 0;
}
