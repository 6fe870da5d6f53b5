// The settings file through the program's own Win32 file store, and the settings values' coercion
// against the platform's own (run with code page 932).
#include "tests/probe/probe.h"  // first: <windows.h> before the other system headers

#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <optional>

#include "platform/conversions.h"
#include "platform/text_codec.h"
#include "platform/file_store.h"
#include "settings/settings.h"

using probe::Say;
using namespace lw::settings;

// The settings file store's writer, killed from outside at random moments.
LW_PROBE_COMMAND(hammer, "hammer INI: saves 粒子数 = 111 and 222 in turn until killed") {
  if (args.empty()) return 2;
  IniFile ini(lw::SystemFileStore(), lw::SystemCp932());
  Say("hammering");
  for (unsigned i = 0;; ++i) static_cast<void>(ini.Write(kSection, kKeyParticleCount, i % 2 ? L"111" : L"222", args[0]));
}

namespace {

// Corpus lines use the escapes \t \n \r \\ and \uXXXX.
std::wstring Unescape(const std::string& line) {
  std::wstring out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    const char e = c == '\\' && i + 1 < line.size() ? line[++i] : 0;
    if (!e) out.push_back(static_cast<unsigned char>(c));
    else if (e == 'u' && i + 4 < line.size()) out.push_back(static_cast<wchar_t>(std::stoul(line.substr(i + 1, 4), nullptr, 16))), i += 4;
    else out.push_back(e == 't' ? L'\t' : e == 'n' ? L'\n' : e == 'r' ? L'\r' : static_cast<unsigned char>(e));
  }
  return out;
}

std::string Show(const std::optional<double>& v) {
  char buf[64] = "fail";
  if (v) std::snprintf(buf, sizeof buf, "%.17g", *v);
  return buf;
}

}  // namespace

// Settings values: the platform's OLE Automation coercion (VarR8FromStr, user default locale)
// against our CoerceNumber, one line "same|DIFF <tab> input <tab> platform <tab> ours" per case,
// then "N same, N differ".
LW_PROBE_COMMAND(coerce, "coerce CORPUS: settings value coercion against VarR8FromStr, one case a line") {
  std::ifstream in(args.empty() ? L"" : args[0].c_str(), std::ios::binary);
  if (!in) return 2;
  Say("acp %u", GetACP());
  int same = 0, differ = 0;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '#') continue;
    const std::wstring text = Unescape(line);
    BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    double d = 0;
    const std::optional<double> platform = SUCCEEDED(VarR8FromStr(b, LOCALE_USER_DEFAULT, 0, &d)) ? std::optional(d) : std::nullopt;
    SysFreeString(b);
    const std::optional<double> ours = lw::CoerceNumber(text);
    const bool agree = platform == ours;
    (agree ? same : differ)++;
    Say("%s\t%s\t%s\t%s", agree ? "same" : "DIFF", line.c_str(), Show(platform).c_str(), Show(ours).c_str());
  }
  Say("%d same, %d differ", same, differ);
  return 0;
}

