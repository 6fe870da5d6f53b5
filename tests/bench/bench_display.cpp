// One frame's two particle passes on a 1920 x 1080 memory surface, as the saver runs them. With
// cold = 1 the caches are flushed between frames (untimed), as a saver that sleeps between frames
// while the display server and other programs run finds them.
#include <benchmark/benchmark.h>

#include <vector>

#include "display/memory_surface.h"
#include "display/particle_field.h"
#include "display/random_source.h"

static void BM_FramePasses(benchmark::State& state) {
  lw::display::MemorySurface surface(1920, 1080);
  lw::display::ParticleField field(static_cast<std::int16_t>(state.range(0)));
  lw::display::UniformRandom random;
  random.Seed(12345.0);
  // Emitters where the swinging mass puts them a few seconds in; the field warmed up first.
  auto frame = [&] {
    field.Pass(19241.0f, 5046.0f, static_cast<std::uint32_t>(state.range(1)), surface, random);
    field.Pass(19241.0f, 11154.0f, static_cast<std::uint32_t>(state.range(1)), surface, random);
    surface.Refresh();  // forgets the changed tiles, as a present does
  };
  for (int i = 0; i < 600; ++i) frame();
  std::vector<char> other(64 << 20);
  for (auto _ : state) {
    if (state.range(2)) {
      state.PauseTiming();
      for (std::size_t i = 0; i < other.size(); i += 64) other[i] = static_cast<char>(other[i] + 1);
      state.ResumeTiming();
    }
    frame();
  }
  using C = benchmark::Counter;
  state.counters["per_particle_pass"] = C(2.0 * static_cast<double>(field.size()), C::kIsIterationInvariantRate | C::kInvert);
}
BENCHMARK(BM_FramePasses)->ArgNames({"N", "trail", "cold"})->Args({600, 0, 0})->Args({600, 0, 1})
    ->Args({2000, 0, 0})->Args({2000, 0, 1})->Args({32767, 0, 0})->Args({32767, 0xFFFF, 0})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
