// The animation of one monitor: its surface and random source, its centre, its spring, its two
// emitters with their centre-line flips, its particles and its emitter timer. The saver runs one
// per monitor; they share nothing, so each screen swings about its own centre.
#pragma once

#include <cstdint>

#include "display/display_surface.h"
#include "display/particle_field.h"
#include "display/random_source.h"
#include "display/saver_timer.h"
#include "display/spring_model.h"

namespace lw::display {

class MonitorAnimation {
 public:
  // The emitter timer runs from here on, as from the moment the window is loaded.
  MonitorAnimation(DisplaySurface& surface, RandomSource& random, double nowMs);

  // Centre from the surface's size, spring in its start state, the random source seeded once,
  // particle arrays created, the first emitter step still to come.
  void Start(std::int16_t particleCount, double seed);
  // Another surface for the same monitor (its size changed): new centre, the motion goes on.
  void Rebind(DisplaySurface& surface);
  // The emitter step when its timer is due, and always before the first passes after Start.
  void RunDueTimer(double nowMs);
  void EmitterTick();
  // Both particle passes, at emitter 0 then emitter 1.
  void Passes();

  DisplaySurface& surface() const { return *surface_; }
  const SpringModel& spring() const { return spring_; }
  const EmitterState& emitters() const { return emitters_; }
  const ParticleField& particles() const { return particles_; }
  ParticleField& particles() { return particles_; }
  std::int32_t centerX() const { return centerX_; }
  std::int32_t centerY() const { return centerY_; }
  const SaverTimer& timer() const { return timer_; }

 private:
  void Centre();

  DisplaySurface* surface_;
  RandomSource* random_;
  SpringModel spring_;
  EmitterState emitters_;
  ParticleField particles_;
  SaverTimer timer_{1};
  bool moved_ = false;  // an emitter step ran since Start
  std::int32_t centerX_ = 0;
  std::int32_t centerY_ = 0;
};

}  // namespace lw::display
