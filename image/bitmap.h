#pragma once
// The engine's in-memory raster: 24 bits per pixel (bytes blue, green, red)
// or 1 bit per pixel (bit 7 = leftmost pixel, 0 black, 1 white). Rows are
// stored bottom-up and each is padded to a multiple of 4 bytes, exactly as a
// device-independent bitmap, so the bits can be handed to GDI unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "image/pixel_buffer.h"

namespace skyloom {

enum class TPixelFormat { pf1bit, pf8bit, pf24bit };

inline int BitsOf(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf24bit: return 24;
  }
  return 24;
}

// Bytes of one stored row: ((width * bits + 31) div 32) * 4.
inline std::size_t RowSizeOf(int width, TPixelFormat format) {
  return ((static_cast<std::size_t>(width) * BitsOf(format) + 31) / 32) * 4;
}

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, TPixelFormat format) { Allocate(width, height, format); }
  TBitmap(const TBitmap&) = default;
  // A moved-from raster is empty, never a size without its block.
  TBitmap(TBitmap&& other) noexcept { Swap(other); }
  TBitmap& operator=(TBitmap&& other) noexcept {
    TBitmap taken(std::move(other));
    Swap(taken);
    return *this;
  }
  // Copy first, then swap: a refused copy leaves this raster as it was.
  TBitmap& operator=(const TBitmap& other) {
    if (this != &other) {
      TBitmap copy(other);
      Swap(copy);
    }
    return *this;
  }

  // Replaces the content with a zero-filled raster of the given size. The
  // new block comes first: when it is refused (EOutOfMemory) the raster
  // keeps its size, format and pixels.
  void Allocate(int width, int height, TPixelFormat format) {
    const int w = width < 0 ? 0 : width;
    const int h = height < 0 ? 0 : height;
    const std::size_t size = RowSizeOf(w, format) * static_cast<std::size_t>(h);
    // A raster of the same size keeps its block (already mapped): clearing
    // it is far cheaper than mapping a new one.
    if (bits_.Size() == size) {
      std::memset(bits_.Data(), 0, size);
    } else {
      TPixelBuffer fresh(size);
      bits_.Swap(fresh);
    }
    width_ = w;
    height_ = h;
    format_ = format;
    modified_ = true;
  }

  int Width() const { return width_; }
  int Height() const { return height_; }
  TPixelFormat PixelFormat() const { return format_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t RowSize() const { return RowSizeOf(width_, format_); }

  // Row y counted from the top of the picture (y = 0 is the top row), which
  // is stored last because rows are bottom-up.
  std::uint8_t* ScanLine(int y) { return bits_.Data() + RowSize() * static_cast<std::size_t>(height_ - 1 - y); }
  const std::uint8_t* ScanLine(int y) const {
    return bits_.Data() + RowSize() * static_cast<std::size_t>(height_ - 1 - y);
  }

  // The whole bottom-up block (first byte = bottom row).
  std::uint8_t* Bits() { return bits_.Data(); }
  const std::uint8_t* Bits() const { return bits_.Data(); }
  std::size_t SizeInBytes() const { return bits_.Size(); }

  // 8-bit rasters carry their palette (blue, green, red, reserved per entry).
  std::vector<std::uint8_t>& Palette() { return palette_; }
  const std::vector<std::uint8_t>& Palette() const { return palette_; }

  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }

  void Swap(TBitmap& other) noexcept {
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(format_, other.format_);
    bits_.Swap(other.bits_);
    palette_.swap(other.palette_);
    std::swap(modified_, other.modified_);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  TPixelBuffer bits_;
  std::vector<std::uint8_t> palette_;
  bool modified_ = false;
};

}  // namespace skyloom
