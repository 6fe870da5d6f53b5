// The time ports of the running saver: the clock its timers and its frame pacing read, and the
// wait between frames. One adapter each per platform; tests drive them by hand.
#pragma once

namespace lw::display {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Milliseconds() const = 0;         // monotonic
  virtual double SecondsSinceMidnight() const = 0;  // local time of day
};

// Blocks until a Clock reading reaches `deadlineMs`, or less long: a platform ends the wait early
// when input or a signal arrives, so the next event pump sees it at once.
class FrameWait {
 public:
  virtual ~FrameWait() = default;
  virtual void WaitUntil(double deadlineMs) = 0;
};

}  // namespace lw::display
