// A window timer seen as a due time checked by the event pump: at most one tick per check, and
// intervals below 10 ms raised to 10 ms as the platform does.
#pragma once

namespace lw::display {

class SaverTimer {
 public:
  explicit SaverTimer(double intervalMs) : interval_(intervalMs < 10.0 ? 10.0 : intervalMs) {}
  bool enabled() const { return enabled_; }
  double interval() const { return interval_; }
  // Switching on restarts the interval; switching on a running timer changes nothing.
  void SetEnabled(bool on, double nowMs) {
    if (on && !enabled_) due_ = nowMs + interval_;
    enabled_ = on;
  }
  // True (and the next tick scheduled an interval after now) when the timer is due.
  bool Due(double nowMs) {
    if (!enabled_ || nowMs < due_) return false;
    due_ = nowMs + interval_;
    return true;
  }

 private:
  double interval_;
  bool enabled_ = false;
  double due_ = 0;
};

}  // namespace lw::display
