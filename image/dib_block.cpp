#include "image/dib_block.h"

#include <utility>

#include "image/dib_block_memory.h"
#include "toolkit/errors.h"

namespace skyloom {

TDibBlock::TDibBlock(std::size_t size) {
  if (size == 0) return;
  handle_ = dib_memory::Allocate(size);
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
  if (handle_) dib_memory::Free(handle_);
  handle_ = nullptr;
  size_ = 0;
}

TDibBlock::Locked::Locked(const TDibBlock& block)
    : handle_(block.handle_), data_(handle_ ? dib_memory::Lock(handle_) : nullptr) {
  if (handle_ && !data_) throw EOutOfMemory();
}

TDibBlock::Locked::~Locked() {
  if (data_) dib_memory::Unlock(handle_);
}

TDibBlock PackIntoBlock(const TBitmap& raster) {
  const std::size_t size = PackedDibSize(raster);
  if (size == 0) return {};
  TDibBlock block(size);
  TDibBlock::Locked bytes(block);
  PackDibInto(raster, bytes.Data());
  return block;
}

bool ExpandBlock(const TDibBlock& block, TBitmap& raster) {
  if (block.Empty()) return false;
  TDibBlock::Locked bytes(block);
  return ExpandDib(bytes.Data(), block.Size(), raster);
}

}  // namespace skyloom
