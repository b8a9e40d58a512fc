#pragma once
// One movable, zero-filled memory block holding a packed picture at rest.
// On Windows it is global memory (moveable, shareable), locked only while
// the picture is read or drawn, so the system may move idle thumbnails;
// elsewhere it is plain heap memory.
#include <cstddef>
#include <cstdint>

#include "image/packed_dib.h"

namespace skyloom {

class TDibBlock {
 public:
  TDibBlock() = default;
  explicit TDibBlock(std::size_t size);  // zero-filled; throws EOutOfMemory
  ~TDibBlock() { Release(); }
  TDibBlock(TDibBlock&& other) noexcept;
  TDibBlock& operator=(TDibBlock&& other) noexcept;
  TDibBlock(const TDibBlock&) = delete;
  TDibBlock& operator=(const TDibBlock&) = delete;

  bool Empty() const { return handle_ == nullptr; }
  std::size_t Size() const { return size_; }

  // The block's bytes, held in place for the scope.
  class Locked {
   public:
    explicit Locked(const TDibBlock& block);
    ~Locked();
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    std::uint8_t* Data() const { return data_; }

   private:
    void* handle_;
    std::uint8_t* data_;
  };

 private:
  void Release() noexcept;
  void* handle_ = nullptr;
  std::size_t size_ = 0;
};

// The raster packed into a new block (see PackDib); an empty block for a
// depth other than 24 or 1 bits.
TDibBlock PackIntoBlock(const TBitmap& raster);
// The block back into a raster; false (raster untouched) as for ExpandDib.
bool ExpandBlock(const TDibBlock& block, TBitmap& raster);

}  // namespace skyloom
