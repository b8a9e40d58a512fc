#include <cstdlib>
#include <utility>

#include "image/dib_block.h"
#include "toolkit/errors.h"

namespace skyloom {

TDibBlock::TDibBlock(std::size_t size) {
  if (size == 0) return;
  handle_ = std::calloc(size, 1);
  if (!handle_) throw EOutOfMemory();
  size_ = size;
}

TDibBlock::TDibBlock(TDibBlock&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), size_(std::exchange(other.size_, 0)) {}

TDibBlock& TDibBlock::operator=(TDibBlock&& other) noexcept {
  if (this == &other) return *this;
  Release();
  handle_ = std::exchange(other.handle_, nullptr);
  size_ = std::exchange(other.size_, 0);
  return *this;
}

void TDibBlock::Release() noexcept {
  std::free(handle_);
  handle_ = nullptr;
  size_ = 0;
}

TDibBlock::Locked::Locked(const TDibBlock& block)
    : handle_(block.handle_), data_(static_cast<std::uint8_t*>(block.handle_)) {}

TDibBlock::Locked::~Locked() = default;

}  // namespace skyloom
