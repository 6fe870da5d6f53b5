#include "display/particle_field.h"

#include "display/pixel_canvas.h"

namespace lw::display {
namespace {

template <typename Plot, typename Draw>
void RunPass(ParticleField& f, float emitX, float emitY, std::uint32_t trailColour, Plot plot, Draw draw) {
  const std::size_t n = f.size();
  double* posX = f.posX.data();
  double* posY = f.posY.data();
  double* stepX = f.stepX.data();
  double* stepY = f.stepY.data();
  double* life = f.life.data();
  for (std::size_t i = 0; i < n; ++i) {
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
    if (uniform) {
      // The generator's state in a local for the pass (registers), written back after it.
      UniformRandom local = *uniform;
      RunPass(*this, emitX, emitY, trailColour, plot, [&local] { return local.NextInline(); });
      *uniform = local;
    } else {
      RunPass(*this, emitX, emitY, trailColour, plot, [&random] { return random.Next(); });
    }
    return;
  }
  RunPass(*this, emitX, emitY, trailColour, [&surface](float x, float y, std::uint32_t c) { surface.PSet(x, y, c); },
          [&random] { return random.Next(); });
}

}  // namespace lw::display
