// The particles: five arrays of doubles and the pass that moves, re-emits and draws each one.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display_surface.h"
#include "display/random_source.h"

namespace lw::display {

class ParticleField {
 public:
  ParticleField() = default;
  // Indices 0 to particleCount inclusive, all zero; a negative count leaves the field empty.
  explicit ParticleField(std::int16_t particleCount);

  std::size_t size() const { return posX.size(); }

  // One pass over every particle, re-emitting at (emitX, emitY). Per particle: redraw its pixel in
  // the trail colour, move it by its stored step, draw new steps (Y then X), lose one life, and
  // when the life is spent draw life, emission step Y and X, then draw it yellow.
  void Pass(float emitX, float emitY, std::uint32_t trailColour, DisplaySurface& surface, RandomSource& random);

  std::vector<double> posX, posY, stepX, stepY, life;
};

}  // namespace lw::display
