#pragma once
#include <cstdint>

namespace lw::startup {
// Embeds the preview picture in `parentWnd` and returns when the preview has ended.
void RunPreview(std::int32_t parentWnd);
}  // namespace lw::startup
