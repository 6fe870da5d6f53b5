// The X11 hack's entry point: reads the command line, then runs the saver.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/saver_entry_x11.h"
#include "startup/hack_options.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto options = lw::startup::ParseHackOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
  if (!options) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(lw::startup::kHackUsage.size()), lw::startup::kHackUsage.data());
    return 1;
  }
  return lw::display::RunHack(*options);
}
