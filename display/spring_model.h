// The point mass between two springs that swings the emitters, and the mapping of its position to
// the two emitter points with the centre-line crossings that clear the screen and flip the trails.
// Every stored value is single precision, rounded when it is stored, so the path is the same on
// every machine.
#pragma once

#include <cstdint>

#include "display/display_surface.h"

namespace lw::display {

struct SpringModel {
  float bobX = 16.0f / 10.0f, bobY = 10.0f / 10.0f;
  float bobVX = 14.0f / 10.0f, bobVY = 18.0f / 10.0f;
  float bobAX = 0, bobAY = 0;
  float anchorLeftX = -1.0f, anchorRightX = 1.0f;
  float springK1 = 1.0f, springK2 = 1.0f;
  float restLength = 0.2f;
  float bobMass = 1.0f;
  float timeStep = 0.01f;
  float dist1 = 0, dist2 = 0;
  float force1 = 0, force2 = 0;
  float force1X = 0, force1Y = 0, force2X = 0, force2Y = 0;
  float unitX = 0, unitY = 0;

  // One semi-implicit Euler step. A spring whose distance is exactly 0 has no direction and
  // pulls nothing that step.
  void Step();
};

// The emitters and the trail state that the particle passes read.
struct EmitterState {
  float emitX[2] = {0, 0};
  float emitY[2] = {0, 0};
  std::uint32_t trailColour = kBlack;
  bool firstTick = true;
  bool downArmed = true;
  std::int32_t refY = 0;  // 32 bits, so tall screens keep their reference
};

// One emitter step: spring physics, mapping to twips around (centerX, centerY), then the
// crossings of emitter 0 with the horizontal centre line (each clears the surface).
void EmitterStep(SpringModel& model, EmitterState& state, std::int32_t centerX, std::int32_t centerY,
                 DisplaySurface& surface);

}  // namespace lw::display
