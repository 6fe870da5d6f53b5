// The command line of the X11 hack, read the way XScreenSaver's hacks read theirs: every option
// with one or two leading dashes, a value in the argument after its option.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw::startup {

enum class HackTarget { kOwnWindow, kRoot, kWindowId };

struct HackOptions {
  HackTarget target = HackTarget::kOwnWindow;
  unsigned long windowId = 0;
  std::int16_t count = 600;  // 0 to 32767, as the Windows saver's settings allow
  std::string music{};       // empty: no music
  bool fps = false;
  std::string display{};     // the X display; empty: $DISPLAY
  bool help = false;         // print the usage and do nothing else
};

// The options, or why the command line is refused (one line, without the program's name).
struct ParsedHackOptions {
  std::optional<HackOptions> options;
  std::string error{};
};

inline constexpr std::string_view kHackUsage =
    "usage: lumenweave [-root | -window | -window-id ID] [-display NAME] [-count N] [-music FILE] [-fps] [-help]";

// A window id in decimal or with a 0x prefix; nullopt for anything else.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// Refuses an unknown option, an option without its value, a window id that is no number and a
// count that is not a whole number from 0 to 32767. `screensaverWindow` is $XSCREENSAVER_WINDOW
// (null when unset): the daemon's window, used unless -window or -window-id names another target.
ParsedHackOptions ParseHackOptions(const std::vector<std::string>& args, const char* screensaverWindow);

}  // namespace lw::startup
