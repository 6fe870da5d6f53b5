#include "startup/hack_options.h"

#include <charconv>

namespace lw::startup {
namespace {

// A particle count as the Windows saver's settings take it: a whole number from 0 to 32767.
std::optional<std::int16_t> CountFrom(std::string_view text) {
  int count = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || count < 0 || count > 32767)
    return std::nullopt;
  return static_cast<std::int16_t>(count);
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

ParsedHackOptions ParseHackOptions(const std::vector<std::string>& args, const char* screensaverWindow) {
  HackOptions options;
  bool chosen = false;
  const auto refuse = [](std::string why) { return ParsedHackOptions{std::nullopt, std::move(why)}; };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    if (name.starts_with("--")) name.remove_prefix(1);
    const bool takesValue = name == "-window-id" || name == "-count" || name == "-music" || name == "-display";
    if (takesValue && i + 1 == args.size()) return refuse(args[i] + " needs a value");
    const std::string_view value = takesValue ? std::string_view(args[++i]) : std::string_view();
    if (name == "-root") {
      options.target = HackTarget::kRoot;
    } else if (name == "-window") {
      options.target = HackTarget::kOwnWindow;
      chosen = true;
    } else if (name == "-window-id") {
      const auto id = ParseWindowId(value);
      if (!id) return refuse(args[i - 1] + ": \"" + std::string(value) + "\" is not a window id");
      options.target = HackTarget::kWindowId;
      options.windowId = *id;
      chosen = true;
    } else if (name == "-count") {
      const auto count = CountFrom(value);
      if (!count) return refuse(args[i - 1] + ": \"" + std::string(value) + "\" is not a whole number from 0 to 32767");
      options.count = *count;
    } else if (name == "-music") {
      options.music = value;
    } else if (name == "-display") {
      options.display = value;
    } else if (name == "-fps") {
      options.fps = true;
    } else if (name == "-help" || name == "-h") {
      options.help = true;
    } else {
      return refuse("unknown option " + args[i]);
    }
  }
  if (!chosen && screensaverWindow) {
    if (const auto id = ParseWindowId(screensaverWindow)) {
      options.target = HackTarget::kWindowId;
      options.windowId = *id;
    }
  }
  return {options, {}};
}

}  // namespace lw::startup
