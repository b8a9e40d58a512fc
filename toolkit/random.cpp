#include "toolkit/random.h"

#include <chrono>

namespace skyloom {

void TRandom::Randomize() {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  seed_ = static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

TRandom& AppRandom() {
  static TRandom generator;
  return generator;
}

}  // namespace skyloom
