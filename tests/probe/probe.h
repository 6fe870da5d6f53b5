// The probe program of the end-to-end tests: `probe <command> [args...]`, run under Wine beside
// the saver. It reads what Windows says about the saver's windows, hosts windows the saver runs
// in, and drives the program's Win32 adapters directly. Each topic file registers its commands
// with LW_PROBE_COMMAND; a new command is a new file (or a new block in one), nothing else.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace probe {

using Args = std::vector<std::wstring>;  // the arguments after the command's name
using Command = int (*)(const Args&);

struct Registration {
  Registration(const char* name, const char* usage, Command run);
};

// One line on standard output (a line end is added), flushed at once.
void Say(const char* format, ...);
std::string Utf8(const std::wstring& text);

}  // namespace probe

// Defines the command `name`: LW_PROBE_COMMAND(close, "close TITLE") { ... use args ...; return 0; }
#define LW_PROBE_COMMAND(name, usage)                                                      \
  static int name##_command(const probe::Args& args);                                     \
  static const probe::Registration name##_registration(#name, usage, name##_command);     \
  static int name##_command([[maybe_unused]] const probe::Args& args)
