#include "display/random_source.h"

#include <cstring>

namespace lw::display {

void UniformRandom::Seed(double secondsSinceMidnight) {
  std::uint64_t x;
  std::memcpy(&x, &secondsSinceMidnight, sizeof x);
  for (std::uint64_t& s : s_) {
    x += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = x;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    s = z ^ (z >> 31);
  }
  if ((s_[0] | s_[1] | s_[2] | s_[3]) == 0) s_[3] = 1;
}

}  // namespace lw::display
