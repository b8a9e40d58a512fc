#pragma once
// Zero-filled memory for rasters and the resampler's scratch planes. Large
// blocks come straight from the system's page allocator, already zero and
// committed in one go: clearing or first-touching a fresh 70 MB block page
// by page costs more than decoding or filtering it.
#include <cstddef>
#include <cstdint>

namespace skyloom {

class TPixelBuffer {
 public:
  TPixelBuffer() = default;
  explicit TPixelBuffer(std::size_t size);  // throws EOutOfMemory
  ~TPixelBuffer();
  TPixelBuffer(const TPixelBuffer& other);
  TPixelBuffer& operator=(const TPixelBuffer& other);
  TPixelBuffer(TPixelBuffer&& other) noexcept;
  TPixelBuffer& operator=(TPixelBuffer&& other) noexcept;
  void Swap(TPixelBuffer& other) noexcept;

  // Never null, so that copies of zero bytes need no special case.
  std::uint8_t* Data() { return data_ ? data_ : EmptyBlock(); }
  const std::uint8_t* Data() const { return data_ ? data_ : EmptyBlock(); }
  std::size_t Size() const { return size_; }

 private:
  void Release() noexcept;
  static std::uint8_t* EmptyBlock() {
    static std::uint8_t nothing[1];  // zero bytes are ever read or written here
    return nothing;
  }

  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  bool pages_ = false;  // from the page allocator, else from the heap
};

// Test seam: after the next `after` non-empty pixel buffers, the following
// `count` are refused as if the system had no memory left (count 0
// disarms). Only tests arm it.
void FailPixelAllocations(int count, int after = 0);

}  // namespace skyloom
