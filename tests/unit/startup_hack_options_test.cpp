// The X11 hack's command line: targets, the particle count's settings-file rules, refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup/hack_options.h"

namespace lw::startup {
namespace {

TEST(HackOptions, Table) {
  constexpr auto kOwn = HackTarget::kOwnWindow, kRoot = HackTarget::kRoot, kId = HackTarget::kWindowId;
  struct Case {
    std::vector<std::string> args;
    const char* env;
    bool ok;
    HackTarget target;
    unsigned long id;
    int count;
  };
  const Case cases[] = {
      {{}, nullptr, true, kOwn, 0, 600},
      {{"--root", "-count", "12.7"}, nullptr, true, kRoot, 0, 12},
      {{"-root"}, "0x2a", true, kId, 42, 600},           // the daemon's window wins over --root
      {{"-window"}, "0x2a", true, kOwn, 0, 600},         // an explicit choice wins over the daemon's
      {{"-root"}, "junk", true, kRoot, 0, 600},          // an unreadable variable is ignored
      {{"-window-id", "77", "-count", "-1"}, "0x2a", true, kId, 77, -1},
      {{"-count", "abc"}, nullptr, true, kOwn, 0, 0},     // unreadable, as in the settings file
      {{"-count", "40000"}, nullptr, true, kOwn, 0, 0},   // beyond 16 bits
      {{"-count", ""}, nullptr, true, kOwn, 0, 600},
      {{"-count"}, nullptr, false, kOwn, 0, 0},
      {{"-window-id", "0x"}, nullptr, false, kOwn, 0, 0},
      {{"-window-id", "12z"}, nullptr, false, kOwn, 0, 0},
      {{"-bogus"}, nullptr, false, kOwn, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const auto options = ParseHackOptions(c.args, c.env);
    ASSERT_EQ(options.has_value(), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(options->target, c.target);
    EXPECT_EQ(options->windowId, c.id);
    EXPECT_EQ(options->count, c.count);
  }
}

}  // namespace
}  // namespace lw::startup
