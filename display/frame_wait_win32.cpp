#include "display/frame_wait_win32.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace lw::display {

WaitableTimerWait::WaitableTimerWait(const Clock& clock) : clock_(clock) {
  timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
  if (!timer_) {
    // Before Windows 10 1803: an ordinary timer, with the system tick raised to 1 ms meanwhile.
    timer_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    raisedResolution_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  }
}

WaitableTimerWait::~WaitableTimerWait() {
  if (timer_) CloseHandle(timer_);
  if (raisedResolution_) timeEndPeriod(1);
}

void WaitableTimerWait::WaitUntil(double deadlineMs) {
  // At most a second at a time: a far deadline is waited for by the caller asking again.
  const double ms = std::min(deadlineMs - clock_.Milliseconds(), 1000.0);
  if (!(ms > 0)) return;
  // Rounded up, in 100 ns units, so the wait does not end a hair before the deadline.
  LARGE_INTEGER due;
  due.QuadPart = -static_cast<LONGLONG>(std::ceil(ms * 10'000.0));
  if (timer_ && SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
    MsgWaitForMultipleObjectsEx(1, &timer_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  } else {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::ceil(ms)), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

}  // namespace lw::display
