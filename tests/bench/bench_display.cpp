// One frame's two particle passes on a 1920 x 1080 memory surface, as the saver runs them.
#include <benchmark/benchmark.h>

#include "display/memory_surface.h"
#include "display/particle_field.h"
#include "display/random_source.h"

namespace {

void BM_FramePasses(benchmark::State& state) {
  const auto count = static_cast<std::int16_t>(state.range(0));
  const auto trail = static_cast<std::uint32_t>(state.range(1));
  lw::display::MemorySurface surface(1920, 1080);
  lw::display::ParticleField field(count);
  lw::display::UniformRandom random;
  random.Seed(12345.0);
  // Emitters where the swinging mass puts them a few seconds in; warm the field up first.
  const float emitX[2] = {19241.0f, 19241.0f}, emitY[2] = {5046.0f, 11154.0f};
  for (int i = 0; i < 600; ++i) {
    field.Pass(emitX[0], emitY[0], trail, surface, random);
    field.Pass(emitX[1], emitY[1], trail, surface, random);
  }
  for (auto _ : state) {
    field.Pass(emitX[0], emitY[0], trail, surface, random);
    field.Pass(emitX[1], emitY[1], trail, surface, random);
    benchmark::DoNotOptimize(surface.pixels().data());
    surface.Refresh();  // forgets the changed tiles, as a present does
  }
  const double passes = 2.0 * static_cast<double>(field.size());
  state.counters["per_particle_pass"] =
      benchmark::Counter(passes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_FramePasses)
    ->ArgNames({"N", "trail"})
    ->Args({600, 0})
    ->Args({2000, 0})
    ->Args({32767, 0})
    ->Args({32767, 0xFFFF})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
