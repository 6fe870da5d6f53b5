// The X11 hack's entry point: reads the command line, then runs the saver. Ended by a signal, it
// dies of that signal once everything is closed, as XScreenSaver's own hacks do, so the daemon
// and a shell see it ended by SIGTERM and not as a program that failed or exited by itself.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/saver_entry_x11.h"
#include "startup/hack_options.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto parsed = lw::startup::ParseHackOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
  const std::string usage(lw::startup::kHackUsage);
  if (!parsed.options) {
    std::fprintf(stderr, "lumenweave: %s\n%s\n", parsed.error.c_str(), usage.c_str());
    return 1;
  }
  if (parsed.options->help) {
    std::printf("%s\n", usage.c_str());
    return 0;
  }
  const int status = lw::display::RunHack(*parsed.options);
  if (const int signal = lw::display::StopSignal()) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  return status;
}
