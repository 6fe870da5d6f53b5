#include "display/frame_pacer.h"

namespace lw::display {

bool FramePacer::WaitForFrame() {
  double now = clock_.Milliseconds();
  if (due_ > now + kPeriodMs) due_ = now + kPeriodMs;  // a clock that stepped back waits no longer
  if (now < due_) {
    wait_.WaitUntil(due_);
    now = clock_.Milliseconds();
    if (now < due_) return false;
  }
  // Slots stay on one grid while the loop keeps up, so the rate is 60 and not 60 less the timer's
  // lateness. A frame a whole period late or more starts a new grid from now instead of rushing
  // out the missed frames one after another.
  due_ = now - due_ < kPeriodMs ? due_ + kPeriodMs : now + kPeriodMs;
  return true;
}

}  // namespace lw::display
