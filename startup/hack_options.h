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
  std::int16_t count = 600;  // the settings file's rules: empty 600, otherwise floored 16-bit, else 0
  std::string music{};       // empty: no music
  bool fps = false;
};

inline constexpr std::string_view kHackUsage =
    "usage: lumenweave [-root | -window | -window-id ID] [-count N] [-music FILE] [-fps]";

// A window id in decimal or with a 0x prefix; nullopt for anything else.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// nullopt for an unknown option, an option without its value or a window id that is no number.
// `screensaverWindow` is $XSCREENSAVER_WINDOW (null when unset): the daemon's window, used unless
// -window or -window-id names another target.
std::optional<HackOptions> ParseHackOptions(const std::vector<std::string>& args, const char* screensaverWindow);

}  // namespace lw::startup
