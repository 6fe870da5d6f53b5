// The probe's entry point: the table of registered commands and the helpers they share.
#include "tests/probe/probe.h"

#include <cstdarg>
#include <cstdio>
#include <map>

namespace probe {
namespace {

struct Entry { const char* usage; Command run; };

std::map<std::string, Entry>& Table() {
  static std::map<std::string, Entry> table;
  return table;
}

}  // namespace

Registration::Registration(const char* name, const char* usage, Command run) { Table()[name] = {usage, run}; }

void Say(const char* format, ...) {
  va_list list;
  va_start(list, format);
  std::vprintf(format, list);
  va_end(list);
  std::printf("\n");
  std::fflush(stdout);
}

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace probe

int wmain(int argc, wchar_t** argv) {
  const auto& table = probe::Table();
  const auto found = argc > 1 ? table.find(probe::Utf8(argv[1])) : table.end();
  if (found == table.end()) {
    for (const auto& [name, entry] : table) std::fprintf(stderr, "probe %s\n", entry.usage);
    return 2;
  }
  return found->second.run(probe::Args(argv + 2, argv + argc));
}
