#pragma once

#include "startup/hack_options.h"

namespace lw::display {
// Runs the saver as an X11 hack until it is told to end; the process's exit code.
int RunHack(const startup::HackOptions& options);
// The signal (SIGTERM, SIGINT) that ended the last RunHack, 0 if none did.
int StopSignal();
}  // namespace lw::display
