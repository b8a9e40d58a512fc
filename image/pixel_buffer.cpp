#include "image/pixel_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "image/page_memory.h"

namespace skyloom {
namespace {

// Below this the ordinary heap is as quick.
constexpr std::size_t kPageThreshold = std::size_t{1} << 20;

}  // namespace

TPixelBuffer::TPixelBuffer(std::size_t size) : size_(size) {
  if (size == 0) return;
  pages_ = size >= kPageThreshold;
  data_ = static_cast<std::uint8_t*>(pages_ ? AllocatePages(size) : std::calloc(size, 1));
  if (!data_) throw std::bad_alloc();
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
