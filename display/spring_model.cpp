#include "display/spring_model.h"

#include <cmath>

#include "platform/conversions.h"

namespace lw::display {
namespace {

// One spring's pull on the mass toward an anchor at (anchorX, 0). The difference is rounded
// to single precision before squaring; the sum of squares is taken in double for the root.
void Spring(float anchorX, float bobX, float bobY, float restLength, float k, float& dist, float& force,
            float& unitX, float& unitY, float& forceX, float& forceY) {
  const float dx = anchorX - bobX;
  dist = static_cast<float>(std::sqrt(static_cast<double>(bobY) * bobY + static_cast<double>(dx) * dx));
  force = dist > restLength ? static_cast<float>((static_cast<double>(dist) - restLength) * k) : 0.0f;
  if (dist == 0.0f) {
    forceX = 0.0f;
    forceY = 0.0f;
    return;
  }
  unitX = static_cast<float>(static_cast<double>(dx) / dist);
  unitY = static_cast<float>(-static_cast<double>(bobY) / dist);
  forceX = static_cast<float>(static_cast<double>(unitX) * force);
  forceY = static_cast<float>(static_cast<double>(unitY) * force);
}

std::uint32_t Flipped(std::uint32_t colour) { return colour == kBlack ? kYellow : kBlack; }

}  // namespace

void SpringModel::Step() {
  Spring(anchorLeftX, bobX, bobY, restLength, springK1, dist1, force1, unitX, unitY, force1X, force1Y);
  Spring(anchorRightX, bobX, bobY, restLength, springK2, dist2, force2, unitX, unitY, force2X, force2Y);
  bobAX = static_cast<float>((static_cast<double>(force2X) + force1X) / bobMass);
  bobAY = static_cast<float>((static_cast<double>(force2Y) + force1Y) / bobMass);
  bobVX = static_cast<float>(static_cast<double>(bobAX) * timeStep + bobVX);
  bobVY = static_cast<float>(static_cast<double>(bobAY) * timeStep + bobVY);
  bobX = static_cast<float>(static_cast<double>(bobVX) * timeStep + bobX);
  bobY = static_cast<float>(static_cast<double>(bobVY) * timeStep + bobY);
}

void EmitterStep(SpringModel& model, EmitterState& state, std::int32_t centerX, std::int32_t centerY,
                 DisplaySurface& surface) {
  model.Step();

  const double x = static_cast<double>(model.bobX) * 200.0 * surface.TwipsPerPixelX() + centerX;
  state.emitX[0] = static_cast<float>(x);
  state.emitY[0] = static_cast<float>(centerY - static_cast<double>(model.bobY) * 200.0 * surface.TwipsPerPixelY());
  state.emitX[1] = static_cast<float>(static_cast<double>(model.bobX) * 200.0 * surface.TwipsPerPixelX() + centerX);
  state.emitY[1] = static_cast<float>(static_cast<double>(model.bobY) * 200.0 * surface.TwipsPerPixelY() + centerY);

  const double y = state.emitY[0];
  // A Y that does not fit 32 bits leaves the reference where it was.
  const auto rounded = RoundToInt32(y);
  if (state.firstTick) {
    state.firstTick = false;
    if (rounded) state.refY = *rounded;
  }
  const double half = std::trunc(RoundHalfEven(static_cast<double>(surface.ScreenHeight())) / 2.0);
  if (y - state.refY > 0 && y > half && state.downArmed) {
    if (rounded) state.refY = *rounded;
    state.downArmed = false;
    state.trailColour = Flipped(state.trailColour);
    surface.Cls();
  }
  if (y - state.refY < 0 && y < half && !state.downArmed) {
    if (rounded) state.refY = *rounded;
    state.downArmed = true;
    state.trailColour = Flipped(state.trailColour);
    surface.Cls();
  }
}

}  // namespace lw::display
