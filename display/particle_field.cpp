#include "display/particle_field.h"

#include "display/pixel_canvas.h"

namespace lw::display {
namespace {

// How many particles ahead the pass asks for their pixels. Between frames the saver sleeps and the
// pixel buffer leaves the caches, so nearly every point is a miss; asked for early, the misses
// overlap instead of coming one after another.
constexpr std::size_t kAhead = 16;

// `address` gives a point's pixel memory or null. The prefetch stays in this loop: GCC deletes a
// prefetch hidden in a helper function as a call without effect.
template <typename Plot, typename Draw, typename Address>
void RunPass(ParticleField& f, float emitX, float emitY, std::uint32_t trailColour, Plot plot, Draw draw,
             Address address) {
  const std::size_t n = f.size();
  double* posX = f.posX.data();
  double* posY = f.posY.data();
  double* stepX = f.stepX.data();
  double* stepY = f.stepY.data();
  double* life = f.life.data();
  for (std::size_t i = 0; i < n; ++i) {
    if (const std::size_t a = i + kAhead; a < n) {
      if (const void* p = address(static_cast<float>(posX[a]), static_cast<float>(posY[a]))) __builtin_prefetch(p, 1);
      if (const void* p = address(static_cast<float>(posX[a] - stepX[a]), static_cast<float>(posY[a] - stepY[a])))
        __builtin_prefetch(p, 1);
    }
    plot(static_cast<float>(posX[i]), static_cast<float>(posY[i]), trailColour);
    posX[i] -= stepX[i];
    posY[i] -= stepY[i];
    stepY[i] = 50.0 - 100.0 * draw();
    stepX[i] = 50.0 - 100.0 * draw();
    life[i] -= 1.0;
    if (life[i] <= 0.0) {
      life[i] = 500.0 * draw();
      posX[i] = emitX;
      posY[i] = emitY;
      stepY[i] = -15.0 * draw();
      stepX[i] = 5.0 - 10.0 * draw();
    }
    plot(static_cast<float>(posX[i]), static_cast<float>(posY[i]), kYellow);
  }
}

}  // namespace

ParticleField::ParticleField(std::int16_t particleCount) {
  if (particleCount < 0) return;
  const std::size_t n = static_cast<std::size_t>(particleCount) + 1;
  posX.assign(n, 0.0);
  posY.assign(n, 0.0);
  stepX.assign(n, 0.0);
  stepY.assign(n, 0.0);
  life.assign(n, 0.0);
}

void ParticleField::Pass(float emitX, float emitY, std::uint32_t trailColour, DisplaySurface& surface,
                         RandomSource& random) {
  // The common pairing (pixels in memory, the built-in generator) runs without a call per point.
  auto* uniform = dynamic_cast<UniformRandom*>(&random);
  if (PixelCanvas* canvas = surface.Canvas()) {
    const PixelCanvas::Writer writer = canvas->writer();
    auto plot = [&writer](float x, float y, std::uint32_t c) { writer.PSet(x, y, c); };
    auto address = [&writer](float x, float y) { return writer.PixelAddress(x, y); };
    if (uniform) {
      // The generator's state in a local for the pass (registers), written back after it.
      UniformRandom local = *uniform;
      RunPass(*this, emitX, emitY, trailColour, plot, [&local] { return local.NextInline(); }, address);
      *uniform = local;
    } else {
      RunPass(*this, emitX, emitY, trailColour, plot, [&random] { return random.Next(); }, address);
    }
    return;
  }
  RunPass(*this, emitX, emitY, trailColour, [&surface](float x, float y, std::uint32_t c) { surface.PSet(x, y, c); },
          [&random] { return random.Next(); },
          [](float, float) -> const void* { return nullptr; });
}

}  // namespace lw::display
