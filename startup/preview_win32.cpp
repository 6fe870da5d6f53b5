// Placeholder until the preview window exists: nothing is shown and the program ends.
#include "startup/preview_win32.h"

namespace lw::startup {
void RunPreview(std::int32_t) {}
}  // namespace lw::startup
