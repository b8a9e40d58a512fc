#pragma once
// The application-wide pseudo-random generator: a 32-bit linear congruential
// generator; a draw with range n gives 0..n-1 from the high bits of the
// product, range 0 (or less) gives 0.
#include <cstdint>

namespace skyloom {

class TRandom {
 public:
  void Seed(std::uint32_t seed) { seed_ = seed; }
  void Randomize();  // seeds from the clock
  std::uint32_t SeedValue() const { return seed_; }

  int Draw(int range) {
    seed_ = seed_ * 134775813u + 1u;
    if (range <= 0) return 0;
    return static_cast<int>((static_cast<std::uint64_t>(seed_) * static_cast<std::uint32_t>(range)) >> 32);
  }

 private:
  std::uint32_t seed_ = 0;
};

// The one generator the application shares (rotation and colour sampling).
TRandom& AppRandom();

}  // namespace skyloom
