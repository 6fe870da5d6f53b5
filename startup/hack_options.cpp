#include "startup/hack_options.h"

#include <charconv>

#include "platform/conversions.h"

namespace lw::startup {
namespace {

// The particle count follows the settings file: empty text is the default, a number is floored
// and must fit 16 bits, anything else leaves 0 as an unreadable file value does.
std::int16_t CountFrom(std::string_view text) {
  if (text.empty()) return 600;
  const std::wstring wide(text.begin(), text.end());
  if (const auto number = CoerceNumber(wide))
    if (const auto whole = FitInt16(Floor(*number))) return *whole;
  return 0;
}

}  // namespace

std::optional<unsigned long> ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  unsigned long id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return id;
}

std::optional<HackOptions> ParseHackOptions(const std::vector<std::string>& args, const char* screensaverWindow) {
  HackOptions options;
  bool chosen = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    if (name.starts_with("--")) name.remove_prefix(1);
    const bool hasValue = i + 1 < args.size();
    if (name == "-root") {
      options.target = HackTarget::kRoot;
    } else if (name == "-window") {
      options.target = HackTarget::kOwnWindow;
      chosen = true;
    } else if (name == "-window-id" && hasValue) {
      const auto id = ParseWindowId(args[++i]);
      if (!id) return std::nullopt;
      options.target = HackTarget::kWindowId;
      options.windowId = *id;
      chosen = true;
    } else if (name == "-count" && hasValue) {
      options.count = CountFrom(args[++i]);
    } else if (name == "-music" && hasValue) {
      options.music = args[++i];
    } else if (name == "-fps") {
      options.fps = true;
    } else {
      return std::nullopt;
    }
  }
  if (!chosen && screensaverWindow) {
    if (const auto id = ParseWindowId(screensaverWindow)) {
      options.target = HackTarget::kWindowId;
      options.windowId = *id;
    }
  }
  return options;
}

}  // namespace lw::startup
