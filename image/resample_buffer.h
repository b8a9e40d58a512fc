#pragma once
// Scratch memory for the resampler's large rasters. Touching fresh pages one
// by one costs a fault each, which on some systems outweighs the filtering
// itself; where the platform can map the pages in one go, this does.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace skyloom {

struct TResampleUnmap {
  std::size_t bytes = 0;
  void operator()(std::uint8_t* p) const;
};

class TResampleBuffer {
 public:
  explicit TResampleBuffer(std::size_t bytes);  // uninitialised; throws std::bad_alloc

  std::uint8_t* Data() const { return mapped_ ? mapped_.get() : heap_.get(); }

 private:
  std::unique_ptr<std::uint8_t, TResampleUnmap> mapped_;
  std::unique_ptr<std::uint8_t[]> heap_;
};

}  // namespace skyloom
