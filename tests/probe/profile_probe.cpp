// Differential oracle for the settings file format: the platform's own profile functions
// (GetPrivateProfileStringA / WritePrivateProfileStringA, run with the ANSI code page 932) against
// our reader and writer, on ordinary and hostile files.
//  - read:  the same file bytes read through both;
//  - ours:  files our writer produced, read through both;
//  - theirs: files the platform's writer produced, read through both.
// Results are compared as the text the program sees (decoded from code page 932), since the
// platform hands back bytes it has decoded and encoded again.
// Output: "same|DIFF|known <tab> case <tab> key <tab> platform bytes <tab> our bytes" per look-up,
// then "N same, N differ, N known". "known" marks a difference of Wine's from Windows that is
// expected: Wine folds only ASCII letters in names, Windows also the full-width Latin, Greek and
// Cyrillic letters (and Roman numerals), which our reader follows; and Wine's off-by-one below.
// Usage: profile_probe <empty folder>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/cp932_win32.cpp"  // the probe is built without the program's adapters
#include "settings/profile_file.h"
#include "settings/settings.h"

namespace {

using namespace std::string_literals;
using lw::settings::ProfileText;

struct Query {
  std::string section, key;
};

struct Write {
  std::string section, key, value;
};

std::wstring g_folder;
int g_same = 0, g_differ = 0, g_known = 0, g_file = 0;

std::string Show(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char buf[8];
    if (c >= 0x20 && c < 0x7F && c != '\\') std::snprintf(buf, sizeof buf, "%c", c);
    else std::snprintf(buf, sizeof buf, "\\x%02X", c);
    out += buf;
  }
  return out.size() > 80 ? out.substr(0, 60) + "...(" + std::to_string(bytes.size()) + " bytes)" : out;
}

std::wstring NewPath() { return g_folder + L"\\case" + std::to_wstring(++g_file) + L".ini"; }

void Save(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD done = 0;
  if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(f);
}

std::string Load(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(f, nullptr), '\0');
  DWORD done = 0;
  if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(f);
  bytes.resize(done);
  return bytes;
}

std::string Ansi(const std::wstring& path) {
  char buf[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, buf, sizeof buf, nullptr, nullptr);
  return buf;
}

void Compare(const char* what, const std::wstring& path, const std::vector<Query>& queries, bool knownDiff = false) {
  const ProfileText text = ProfileText::From(Load(path), lw::SystemCp932());
  for (const auto& q : queries) {
    char buf[256] = {};
    GetPrivateProfileStringA(q.section.c_str(), q.key.c_str(), "", buf, sizeof buf, Ansi(path).c_str());
    const std::string platform(buf);
    const std::string ours = lw::settings::ReadProfileValue(text.cp932, q.section, q.key);
    const bool same = lw::SystemCp932().Decode(platform) == lw::SystemCp932().Decode(ours);
    (same ? g_same : knownDiff ? g_known : g_differ)++;
    std::printf("%s\t%s\t[%s] %s\t%s\t%s\n", same ? "same" : knownDiff ? "known" : "DIFF", what, Show(q.section).c_str(), Show(q.key).c_str(),
                Show(platform).c_str(), Show(ours).c_str());
  }
}

std::vector<Query> QueriesOf(const std::vector<Write>& writes) {
  std::vector<Query> out;
  for (const auto& w : writes) out.push_back({w.section, w.key});
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  g_folder = argv[1];

  const std::string K = std::string(lw::settings::kKeyParticleCount);
  const std::string S = "Section";
  const std::string kA = "\x83\x41", kDi = "\x83\x61";  // ア and ヂ: trail bytes 'A' and 'a'
  const std::vector<Query> common = {{S, K}, {S, "k"}, {S, "j"}, {S, "k" + kA}, {S, "k" + kDi}, {"section", "K"}};

  struct ReadCase {
    const char* what;
    std::string file;
    std::vector<Query> queries;
    bool knownDiff = false;
  };
  std::string big;
  for (int i = 0; big.size() < 10 * 1024 * 1024; ++i) big += "key" + std::to_string(i) + "=value" + std::to_string(i) + "\r\n";
  std::string dbcs300;
  for (int i = 0; i < 150; ++i) dbcs300 += "\x88\x9F";
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
      {"binary junk", "\x01\xFF\x00\n[Section\x80]\n\x9F=\x01\n[Section]\nk=\x7F\x80\xA0\xFD\n"s,
       {{"Section\x80", "\x9F"}, {S, "k"}}},
      {"300-byte value", "[Section]\nk=" + std::string(300, 'x') + "\n", common},
      {"long quoted values", "[Section]\nk=\"" + std::string(254, 'x') + "\"\n" + K + "=\"" + std::string(256, 'z') + "\"\n",
       common},
      // Wine drops the last character of a quoted value of exactly 255 characters (an off-by-one
      // of its buffer check); ours returns all 255.
      {"quoted 255-byte value", "[Section]\nj=\"" + std::string(255, 'y') + "\"\n", {{S, "j"}}, true},
      {"300-byte DBCS value", "[Section]\nk=" + dbcs300 + "\n", common},
      {"100000-byte lines", "[Section]\n" + std::string(100000, 'y') + "\nk=1\nj=" + std::string(100000, 'z') + "\n",
       common},
      {"10 MB file", "[Section]\n" + big + "k=1\n", {{S, "k"}, {S, "key5000"}, {S, "key250000"}}},
      {"UTF-16LE with BOM", "\xFF\xFE[\0S\0e\0c\0t\0i\0o\0n\0]\0\r\0\n\0k\0=\0" "1\0\r\0\n\0"s, common},
      {"UTF-8 with BOM", "\xEF\xBB\xBF[Section]\r\nk=\xE9\x9F\xB3\r\n", common},
      {"empty file", "", common},
  };
  for (const auto& c : reads) {
    const std::wstring path = NewPath();
    Save(path, c.file);
    Compare(c.what, path, c.queries, c.knownDiff);
  }

  // Sequences of writes, made once by the platform's writer and once by ours.
  struct WriteCase {
    const char* what;
    std::string initial;
    std::vector<Write> writes;
  };
  const std::string M = std::string(lw::settings::kKeyBgmFile);
  const std::vector<WriteCase> writeCases = {
      {"fresh install", "",
       {{S, K, "600"}, {S, std::string(lw::settings::kKeyBgmSource), "2"},
        {S, std::string(lw::settings::kKeyBgmRepeat), "0"}, {S, M, "C:\\\x89\xB9\x8A\x79\\\x83\x41.mp3"}}},
      {"update in place", "[Section]\r\n" + K + "=1\r\nk=2\r\n", {{S, K, "700"}, {S, "K", "3"}}},
      {"append to section", "[Section]\r\na=1\r\n\r\n[Other]\r\nk=9\r\n", {{S, "k", "2"}, {"Other", "j", "4"}}},
      {"no final line end", "[Section]\r\na=1", {{S, "k", "2"}}},
      {"trail byte case", "[Section]\r\nk" + kDi + "=1\r\n", {{S, "k" + kA, "2"}, {S, "k" + kDi, "3"}}},
      {"duplicate sections", "[Section]\r\na=1\r\n[section]\r\nk=9\r\n", {{S, "k", "2"}}},
      {"empty and long values", "", {{S, "k", ""}, {S, "j", std::string(255, 'v')}, {S, M, dbcs300.substr(0, 254)}}},
      {"quoted value", "", {{S, "k", "\"q\""}, {S, "j", "'r'"}}},
  };
  for (const auto& c : writeCases) {
    const std::wstring theirs = NewPath();
    Save(theirs, c.initial);
    for (const auto& w : c.writes)
      WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(), Ansi(theirs).c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ansi(theirs).c_str());  // flush the cache
    Compare((std::string("theirs: ") + c.what).c_str(), theirs, QueriesOf(c.writes));

    const std::wstring ours = NewPath();
    std::string bytes = c.initial;
    for (const auto& w : c.writes)
      if (const auto edited = lw::settings::WriteProfileValue(bytes, w.section, w.key, w.value)) bytes = *edited;
    Save(ours, bytes);
    Compare((std::string("ours: ") + c.what).c_str(), ours, QueriesOf(c.writes));
  }

  std::printf("%d same, %d differ, %d known\n", g_same, g_differ, g_known);
  return 0;
}
