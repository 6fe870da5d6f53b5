// The uniform random source of the saver: seeded once, then a fresh draw in [0, 1) at every use.
#pragma once

#include <cstdint>

namespace lw::display {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Seed(double secondsSinceMidnight) = 0;
  virtual double Next() = 0;  // 0 <= r < 1
};

// xoshiro256+ over a splitmix64-expanded seed: fast, and equal seeds give equal sequences.
class UniformRandom final : public RandomSource {
 public:
  void Seed(double secondsSinceMidnight) override;
  double Next() override { return NextInline(); }
  double NextInline() {
    const std::uint64_t result = s_[0] + s_[3];
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = (s_[3] << 45) | (s_[3] >> 19);
    return static_cast<double>(result >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t s_[4] = {0x9E3779B97F4A7C15ull, 0xBF58476D1CE4E5B9ull, 0x94D049BB133111EBull, 1};
};

}  // namespace lw::display
