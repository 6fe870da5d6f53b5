// The display loop's pace: 60 frame slots a second on the clock, whatever the display's refresh
// rate, so the emitters (stepped at most once a frame) swing at the same speed on every screen.
#pragma once

#include <limits>

#include "display/clock.h"

namespace lw::display {

class FramePacer {
 public:
  static constexpr double kFramesPerSecond = 60.0;
  static constexpr double kPeriodMs = 1000.0 / kFramesPerSecond;

  FramePacer(const Clock& clock, FrameWait& wait) : clock_(clock), wait_(wait) {}

  // Waits for the next frame slot. True when it has come: the frame is to be stepped and
  // presented. False when the wait ended early (input): the slot stays where it was, for the next
  // call, so a burst of messages never spends the frames after it. The first call is due at once.
  bool WaitForFrame();

 private:
  const Clock& clock_;
  FrameWait& wait_;
  double due_ = -std::numeric_limits<double>::infinity();  // when the next slot comes; never more than one period from now
};

}  // namespace lw::display
