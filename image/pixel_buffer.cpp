#include "image/pixel_buffer.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "image/page_memory.h"
#include "toolkit/errors.h"

namespace skyloom {
namespace {

// Below this the ordinary heap is as quick.
constexpr std::size_t kPageThreshold = std::size_t{1} << 20;

// The test seam's window: allocations number first .. first + count - 1,
// counted from arming, are refused. Atomic because the resampler's workers
// allocate too.
std::atomic<int> refusedCount{0};
std::atomic<int> refusedFirst{0};
std::atomic<int> allocationsSeen{0};

bool RefusedForTest() {
  const int count = refusedCount.load(std::memory_order_relaxed);
  if (count == 0) return false;
  const int n = allocationsSeen.fetch_add(1, std::memory_order_relaxed) - refusedFirst.load(std::memory_order_relaxed);
  return n >= 0 && n < count;
}

}  // namespace

void FailPixelAllocations(int count, int after) {
  refusedCount.store(0, std::memory_order_relaxed);
  allocationsSeen.store(0, std::memory_order_relaxed);
  refusedFirst.store(after > 0 ? after : 0, std::memory_order_relaxed);
  refusedCount.store(count > 0 ? count : 0, std::memory_order_relaxed);
}

// Refusal is the toolkit's out-of-memory error, so the error box says so.
TPixelBuffer::TPixelBuffer(std::size_t size) : size_(size) {
  if (size == 0) return;
  if (RefusedForTest()) throw EOutOfMemory();
  pages_ = size >= kPageThreshold;
  data_ = static_cast<std::uint8_t*>(pages_ ? AllocatePages(size) : std::calloc(size, 1));
  if (!data_) throw EOutOfMemory();
}

TPixelBuffer::~TPixelBuffer() { Release(); }

void TPixelBuffer::Release() noexcept {
  if (!data_) return;
  if (pages_) {
    FreePages(data_, size_);
  } else {
    std::free(data_);
  }
  data_ = nullptr;
  size_ = 0;
}

TPixelBuffer::TPixelBuffer(const TPixelBuffer& other) : TPixelBuffer(other.size_) {
  if (size_) std::memcpy(data_, other.data_, size_);
}

TPixelBuffer& TPixelBuffer::operator=(const TPixelBuffer& other) {
  if (this == &other) return *this;
  TPixelBuffer copy(other);
  Swap(copy);
  return *this;
}

TPixelBuffer::TPixelBuffer(TPixelBuffer&& other) noexcept { Swap(other); }

TPixelBuffer& TPixelBuffer::operator=(TPixelBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    Swap(other);
  }
  return *this;
}

void TPixelBuffer::Swap(TPixelBuffer& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(pages_, other.pages_);
}

}  // namespace skyloom
