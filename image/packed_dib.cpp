#include "image/packed_dib.h"

#include <cstring>
#include <utility>

namespace skyloom {
namespace {

constexpr std::size_t kMonoTableSize = 8;

void Put32At(std::uint8_t* block, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get32At(const std::uint8_t* block, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(block[at + i]) << (8 * i);
  return v;
}

bool Packable(TPixelFormat format) { return format == TPixelFormat::pf24bit || format == TPixelFormat::pf1bit; }

std::size_t TableSizeOf(TPixelFormat format) { return format == TPixelFormat::pf1bit ? kMonoTableSize : 0; }

std::size_t RowBytesOf(const TBitmap& raster) {
  return raster.RowSize() * static_cast<std::size_t>(raster.Height());
}

}  // namespace

std::size_t PackedDibSize(const TBitmap& raster) {
  const TPixelFormat format = raster.PixelFormat();
  if (!Packable(format)) return 0;
  return kDibHeaderSize + TableSizeOf(format) + RowBytesOf(raster) + kDibSlack;
}

void PackDibInto(const TBitmap& raster, std::uint8_t* out) {
  const TPixelFormat format = raster.PixelFormat();
  if (!Packable(format)) return;
  const std::size_t table = TableSizeOf(format);
  const std::size_t rows = RowBytesOf(raster);
  std::memset(out, 0, kDibHeaderSize + table);
  Put32At(out, 0, kDibHeaderSize);
  Put32At(out, 4, static_cast<std::uint32_t>(raster.Width()));
  Put32At(out, 8, static_cast<std::uint32_t>(raster.Height()));
  out[12] = 1;  // planes
  out[14] = static_cast<std::uint8_t>(BitsOf(format));
  if (table) std::memset(out + kDibHeaderSize + 4, 255, 4);  // entry 1 white, entry 0 stays black
  if (rows) std::memcpy(out + kDibHeaderSize + table, raster.Bits(), rows);
  std::memset(out + kDibHeaderSize + table + rows, 0, kDibSlack);
}

bool ExpandDib(const std::uint8_t* block, std::size_t size, TBitmap& raster) {
  if (size < kDibHeaderSize) return false;
  const auto width = static_cast<std::int32_t>(Get32At(block, 4));
  const auto height = static_cast<std::int32_t>(Get32At(block, 8));
  const unsigned bits = block[14] | (block[15] << 8);
  if (width < 0 || height < 0 || (bits != 24 && bits != 1)) return false;
  const TPixelFormat format = bits == 1 ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  const std::size_t table = TableSizeOf(format);
  const std::size_t rows = RowSizeOf(width, format) * static_cast<std::size_t>(height);
  if (size < kDibHeaderSize + table + rows) return false;
  TBitmap expanded(width, height, format);
  if (rows) std::memcpy(expanded.Bits(), block + kDibHeaderSize + table, rows);
  raster = std::move(expanded);
  return true;
}

TPackedDib PackDib(const TBitmap& raster) {
  TPackedDib block(PackedDibSize(raster));
  if (!block.empty()) PackDibInto(raster, block.data());
  return block;
}

bool ExpandDib(const TPackedDib& block, TBitmap& raster) { return ExpandDib(block.data(), block.size(), raster); }

}  // namespace skyloom
