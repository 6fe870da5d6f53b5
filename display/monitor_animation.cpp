#include "display/monitor_animation.h"

#include "platform/conversions.h"

namespace lw::display {

MonitorAnimation::MonitorAnimation(DisplaySurface& surface, RandomSource& random, double nowMs)
    : surface_(&surface), random_(&random) {
  timer_.SetEnabled(true, nowMs);
}

void MonitorAnimation::Centre() {
  // Centres are 32 bits wide so very large screens keep them; a width beyond that keeps 0.
  if (auto w = RoundToInt32(surface_->ScaleWidth())) centerX_ = *w / 2;
  if (auto h = RoundToInt32(surface_->ScaleHeight())) centerY_ = *h / 2;
}

void MonitorAnimation::Start(std::int16_t particleCount, double seed) {
  Centre();
  emitters_ = EmitterState{};
  spring_ = SpringModel{};
  random_->Seed(seed);
  particles_ = ParticleField(particleCount);
  moved_ = false;
}

void MonitorAnimation::Rebind(DisplaySurface& surface) {
  surface_ = &surface;
  Centre();
}

void MonitorAnimation::RunDueTimer(double nowMs) {
  // The emitters move before the first pass, or its particles would all start at (0, 0).
  if (timer_.Due(nowMs) || !moved_) EmitterTick();
}

void MonitorAnimation::EmitterTick() {
  moved_ = true;
  EmitterStep(spring_, emitters_, centerX_, centerY_, *surface_);
}

void MonitorAnimation::Passes() {
  particles_.Pass(emitters_.emitX[0], emitters_.emitY[0], emitters_.trailColour, *surface_, *random_);
  particles_.Pass(emitters_.emitX[1], emitters_.emitY[1], emitters_.trailColour, *surface_, *random_);
}

}  // namespace lw::display
