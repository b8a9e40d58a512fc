#include "image/packed_dib.h"

#include <cstring>
#include <utility>

namespace skyloom {
namespace {

constexpr std::size_t kMonoTableSize = 8;

void Put32At(TPackedDib& block, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get32At(const TPackedDib& block, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(block[at + i]) << (8 * i);
  return v;
}

std::size_t TableSizeOf(TPixelFormat format) { return format == TPixelFormat::pf1bit ? kMonoTableSize : 0; }

}  // namespace

TPackedDib PackDib(const TBitmap& raster) {
  const TPixelFormat format = raster.PixelFormat();
  if (format != TPixelFormat::pf24bit && format != TPixelFormat::pf1bit) return {};
  const std::size_t table = TableSizeOf(format);
  const std::size_t rows = raster.RowSize() * static_cast<std::size_t>(raster.Height());
  TPackedDib block(kDibHeaderSize + table + rows + kDibSlack, 0);  // zero-initialised like the platform block
  Put32At(block, 0, kDibHeaderSize);
  Put32At(block, 4, static_cast<std::uint32_t>(raster.Width()));
  Put32At(block, 8, static_cast<std::uint32_t>(raster.Height()));
  block[12] = 1;  // planes
  block[14] = static_cast<std::uint8_t>(BitsOf(format));
  if (table) std::memset(block.data() + kDibHeaderSize + 4, 255, 4);  // entry 1 white, entry 0 stays black
  if (rows) std::memcpy(block.data() + kDibHeaderSize + table, raster.Bits(), rows);
  return block;
}

bool ExpandDib(const TPackedDib& block, TBitmap& raster) {
  if (block.size() < kDibHeaderSize) return false;
  const auto width = static_cast<std::int32_t>(Get32At(block, 4));
  const auto height = static_cast<std::int32_t>(Get32At(block, 8));
  const unsigned bits = block[14] | (block[15] << 8);
  if (width < 0 || height < 0 || (bits != 24 && bits != 1)) return false;
  const TPixelFormat format = bits == 1 ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  const std::size_t table = TableSizeOf(format);
  const std::size_t rows = RowSizeOf(width, format) * static_cast<std::size_t>(height);
  if (block.size() < kDibHeaderSize + table + rows) return false;
  TBitmap expanded(width, height, format);
  if (rows) std::memcpy(expanded.Bits(), block.data() + kDibHeaderSize + table, rows);
  raster = std::move(expanded);
  return true;
}

}  // namespace skyloom
