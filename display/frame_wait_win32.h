// The wait between frames on Windows: a high-resolution waitable timer (an ordinary one with the
// system tick raised to 1 ms before Windows 10 1803), waited on together with the thread's message
// queue, so input ends the wait at once.
#pragma once

#include <windows.h>

#include "display/clock.h"

namespace lw::display {

class WaitableTimerWait final : public FrameWait {
 public:
  // `clock` is the one the deadlines are read on; it must outlive this object.
  explicit WaitableTimerWait(const Clock& clock);
  ~WaitableTimerWait() override;
  WaitableTimerWait(const WaitableTimerWait&) = delete;
  WaitableTimerWait& operator=(const WaitableTimerWait&) = delete;

  void WaitUntil(double deadlineMs) override;

 private:
  const Clock& clock_;
  HANDLE timer_ = nullptr;
  bool raisedResolution_ = false;
};

}  // namespace lw::display
