// The settings file through the program's own Win32 file store, and two differentials of the
// portable settings code against the platform's own functions (run with code page 932).
#include "tests/probe/probe.h"  // first: <windows.h> before the other system headers

#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <optional>

#include "platform/conversions.h"
#include "platform/text_codec.h"
#include "platform/file_store.h"
#include "settings/profile_file.h"
#include "settings/settings.h"

namespace {

using probe::Say;
using namespace lw::settings;

const std::string_view kKeys[] = {kKeyParticleCount, kKeyBgmSource, kKeyBgmRepeat, kKeyBgmFile};

}  // namespace

LW_PROBE_COMMAND(settings,
                 "settings write INI KEY(0-3) VALUE | load FOLDER | hammer INI | readonly INI 0|1\n"
                 "  write prints \"saved\" or \"refused\"; load prints count, source, track, file (code page 932)\n"
                 "  with tabs; hammer saves 粒子数 = 111 and 222 in turn until killed") {
  if (args.size() < 2) return 2;
  IniFile ini(lw::SystemFileStore(), lw::SystemCp932());
  if (args[0] == L"write" && args.size() == 4) {
    Say(ini.Write(kSection, kKeys[probe::Number(args, 2) & 3], args[3], args[1]).ok() ? "saved" : "refused");
    return 0;
  }
  if (args[0] == L"load") {
    const Settings s = LoadSettings(args[1], lw::SystemFileStore(), lw::SystemCp932());
    Say("%d\t%d\t%d\t%s", s.particleCount, s.bgmSource, s.bgmTrack, lw::SystemCp932().Encode(s.bgmFile).c_str());
    return 0;
  }
  if (args[0] == L"hammer") {
    Say("hammering");
    for (unsigned i = 0;; ++i) static_cast<void>(ini.Write(kSection, kKeyParticleCount, i % 2 ? L"111" : L"222", args[1]));
  }
  if (args[0] == L"readonly" && args.size() == 3) {
    const DWORD a = GetFileAttributesW(args[1].c_str());
    const DWORD b = args[2] == L"1" ? a | FILE_ATTRIBUTE_READONLY : a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    return a != INVALID_FILE_ATTRIBUTES && SetFileAttributesW(args[1].c_str(), b) ? 0 : 1;
  }
  return 2;
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

namespace {

using namespace std::string_literals;

struct Query {
  std::string section, key;
};
struct Write {
  std::string section, key, value;
};

std::wstring g_folder;
int g_same = 0, g_differ = 0, g_known = 0, g_file = 0;

std::string Escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char buf[8];
    std::snprintf(buf, sizeof buf, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
    out += buf;
  }
  return out.size() > 80 ? out.substr(0, 60) + "...(" + std::to_string(bytes.size()) + " bytes)" : out;
}

std::wstring Saved(const std::string& bytes) {
  const std::wstring path = g_folder + L"\\case" + std::to_wstring(++g_file) + L".ini";
  lw::SystemFileStore().ReplaceAll(path, bytes);
  return path;
}

std::string Ansi(const std::wstring& path) {
  char buf[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, buf, sizeof buf, nullptr, nullptr);
  return buf;
}

// Reads each key through both and compares the text the program sees (decoded from code page
// 932), since the platform hands back bytes it has decoded and encoded again.
void Compare(const std::string& what, const std::wstring& path, const std::vector<Query>& queries, bool known = false) {
  const auto& codec = lw::SystemCp932();
  const ProfileText text = ProfileText::From(lw::SystemFileStore().ReadAll(path).bytes.value_or(""), codec);
  for (const auto& q : queries) {
    char buf[256] = {};
    GetPrivateProfileStringA(q.section.c_str(), q.key.c_str(), "", buf, sizeof buf, Ansi(path).c_str());
    const std::string ours = ReadProfileValue(text.cp932, q.section, q.key);
    const bool same = codec.Decode(buf) == codec.Decode(ours);
    (same ? g_same : known ? g_known : g_differ)++;
    Say("%s\t%s\t[%s] %s\t%s\t%s", same ? "same" : known ? "known" : "DIFF", what.c_str(), Escaped(q.section).c_str(),
        Escaped(q.key).c_str(), Escaped(buf).c_str(), Escaped(ours).c_str());
  }
}

}  // namespace

// The settings file format: the platform's profile functions (GetPrivateProfileStringA and
// WritePrivateProfileStringA) against our reader and writer, on the same bytes, on files our
// writer made and on files the platform's writer made. One line "same|DIFF|known <tab> case <tab>
// key <tab> platform <tab> ours" per look-up, then "N same, N differ, N known". "known" marks an
// expected difference of Wine's from Windows: Wine folds only ASCII letters in names, Windows also
// full-width Latin, Greek and Cyrillic letters and Roman numerals, which our reader follows; and
// Wine's off-by-one below.
LW_PROBE_COMMAND(profile, "profile EMPTY-FOLDER: the settings file format against the platform's profile functions") {
  if (args.empty()) return 2;
  g_folder = args[0];
  const std::string K(kKeyParticleCount), M(kKeyBgmFile), S = "Section";
  const std::string kA = "\x83\x41", kDi = "\x83\x61";  // ア and ヂ: trail bytes 'A' and 'a'
  const std::vector<Query> common = {{S, K}, {S, "k"}, {S, "j"}, {S, "k" + kA}, {S, "k" + kDi}, {"section", "K"}};
  std::string big, dbcs300;
  for (int i = 0; big.size() < 10 * 1024 * 1024; ++i) big += "key" + std::to_string(i) + "=value" + std::to_string(i) + "\r\n";
  for (int i = 0; i < 150; ++i) dbcs300 += "\x88\x9F";
  struct ReadCase {
    const char* what;
    std::string file;
    std::vector<Query> queries;
    bool known = false;
  };
  const std::vector<ReadCase> reads = {
      {"plain", "[Section]\r\n" + K + "=600\r\nk=1\r\n", common},
      {"blanks", "  [Section]  \r\n\t " + K + " \t=  600 \x1A\r\n k = 1 \r\n", common},
      {"full-width blanks", "[Section]\n" + K + "\x81\x40=\x81\x40" "600\x81\x40\nk\x81\x40\x81\x40=\x81\x40x\n", common},
      {"no final line end", "[Section]\nk=7", common},
      {"section case", "[sECTION]\nk=1\n", common},
      {"untrimmed section", "[ Section ]\nk=1\n", common},
      {"header without ]", "[Section\nk=1\n", common},
      {"junk after ]", "[Section]junk\nk=1\n", common},
      {"last ]", "[Sec]tion]\nk=1\n", {{"Sec]tion", "k"}, {"Sec", "k"}}},
      {"before any section", "k=1\n[Section]\nj=2\n", common},
      {"duplicate keys", "[Section]\nk=1\nk=2\nK=3\n", common},
      {"duplicate sections", "[Section]\nj=1\n[Other]\nk=9\n[section]\nk=2\n", common},
      {"key without =", "[Section]\nk\nj=\n", common},
      {"= in value", "[Section]\nk=a=b\n", common},
      {"quotes", "[Section]\nk=\" x \"\nj='y'\n" + K + "=\"z'\n", common},
      {"lone quote", "[Section]\nk=\"\nj=''\n", common},
      {"NUL in value", "[Section]\nk=ab\0cd\nj=1\n"s, common},
      {"NUL in key", "[Section]\nk\0zz=1\n"s, common},
      {"CR-only lines", "[Section]\rk=1\r", common},
      {"trail byte case", "[Section]\nk" + kDi + "=lower\nk" + kA + "=upper\n", common},
      {"trail byte case, one key", "[Section]\nk" + kDi + "=lower\n", common},
      {"letter case", "[Section]\n\x82\x81=fw\n\x83\xBF=gr\n\x84\x91=cy\n\x84\x76=yo\nbgm\x8B\xE6\x95\xAA=2\n\xFA\x40=rn\n",
       {{S, "\x82\x60"}, {S, "\x83\x9F"}, {S, "\x84\x60"}, {S, "\x84\x46"}, {S, "BGM\x8B\xE6\x95\xAA"}, {S, "\x87\x54"},
        {S, "\xFA\x4A"}, {S, "\x82\x81"}},
       true},
      {"] as trail byte", "[\x83\x5D]\nk=1\n", {{"\x83\x5D", "k"}}},
      {"lead byte before LF", "[Section]\nk=1\x83\nj=2\n", common},
      {"binary junk", "\x01\xFF\x00\n[Section\x80]\n\x9F=\x01\n[Section]\nk=\x7F\x80\xA0\xFD\n"s, {{"Section\x80", "\x9F"}, {S, "k"}}},
      {"300-byte value", "[Section]\nk=" + std::string(300, 'x') + "\n", common},
      {"long quoted values", "[Section]\nk=\"" + std::string(254, 'x') + "\"\n" + K + "=\"" + std::string(256, 'z') + "\"\n", common},
      // Wine drops the last character of a quoted value of exactly 255 characters (an off-by-one
      // of its buffer check); ours returns all 255.
      {"quoted 255-byte value", "[Section]\nj=\"" + std::string(255, 'y') + "\"\n", {{S, "j"}}, true},
      {"300-byte DBCS value", "[Section]\nk=" + dbcs300 + "\n", common},
      {"100000-byte lines", "[Section]\n" + std::string(100000, 'y') + "\nk=1\nj=" + std::string(100000, 'z') + "\n", common},
      {"10 MB file", "[Section]\n" + big + "k=1\n", {{S, "k"}, {S, "key5000"}, {S, "key250000"}}},
      {"UTF-16LE with BOM", "\xFF\xFE[\0S\0e\0c\0t\0i\0o\0n\0]\0\r\0\n\0k\0=\0" "1\0\r\0\n\0"s, common},
      {"UTF-8 with BOM", "\xEF\xBB\xBF[Section]\r\nk=\xE9\x9F\xB3\r\n", common},
      {"empty file", "", common},
  };
  for (const auto& c : reads) Compare(c.what, Saved(c.file), c.queries, c.known);

  struct WriteCase {
    const char* what;
    std::string initial;
    std::vector<Write> writes;
  };
  const std::vector<WriteCase> writes = {
      {"fresh install", "",
       {{S, K, "600"}, {S, std::string(kKeyBgmSource), "2"}, {S, std::string(kKeyBgmRepeat), "0"},
        {S, M, "C:\\\x89\xB9\x8A\x79\\\x83\x41.mp3"}}},
      {"update in place", "[Section]\r\n" + K + "=1\r\nk=2\r\n", {{S, K, "700"}, {S, "K", "3"}}},
      {"append to section", "[Section]\r\na=1\r\n\r\n[Other]\r\nk=9\r\n", {{S, "k", "2"}, {"Other", "j", "4"}}},
      {"no final line end", "[Section]\r\na=1", {{S, "k", "2"}}},
      {"trail byte case", "[Section]\r\nk" + kDi + "=1\r\n", {{S, "k" + kA, "2"}, {S, "k" + kDi, "3"}}},
      {"duplicate sections", "[Section]\r\na=1\r\n[section]\r\nk=9\r\n", {{S, "k", "2"}}},
      {"empty and long values", "", {{S, "k", ""}, {S, "j", std::string(255, 'v')}, {S, M, dbcs300.substr(0, 254)}}},
      {"quoted value", "", {{S, "k", "\"q\""}, {S, "j", "'r'"}}},
  };
  for (const auto& c : writes) {
    std::vector<Query> queries;
    for (const auto& w : c.writes) queries.push_back({w.section, w.key});
    const std::wstring theirs = Saved(c.initial);
    for (const auto& w : c.writes)
      WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(), Ansi(theirs).c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ansi(theirs).c_str());  // flushes the cache
    Compare("theirs: "s + c.what, theirs, queries);
    std::string bytes = c.initial;
    for (const auto& w : c.writes)
      if (const auto edited = WriteProfileValue(bytes, w.section, w.key, w.value)) bytes = *edited;
    Compare("ours: "s + c.what, Saved(bytes), queries);
  }
  Say("%d same, %d differ, %d known", g_same, g_differ, g_known);
  return 0;
}
