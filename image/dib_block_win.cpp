#include <windows.h>

#include <utility>

#include "image/dib_block.h"
#include "toolkit/errors.h"

namespace skyloom {

TDibBlock::TDibBlock(std::size_t size) {
  if (size == 0) return;
  handle_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, size);
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
  if (handle_) GlobalFree(handle_);
  handle_ = nullptr;
  size_ = 0;
}

TDibBlock::Locked::Locked(const TDibBlock& block)
    : handle_(block.handle_), data_(handle_ ? static_cast<std::uint8_t*>(GlobalLock(handle_)) : nullptr) {
  if (handle_ && !data_) throw EOutOfMemory();
}

TDibBlock::Locked::~Locked() {
  if (data_) GlobalUnlock(handle_);
}

}  // namespace skyloom
