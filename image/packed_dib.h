#pragma once
// A picture at rest in the thumbnail grid: one block holding a 40-byte
// bitmap information header, the colour table of a 1-bit picture (black,
// white) and the bottom-up rows, as the platform's DIB drawing takes it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap.h"

namespace skyloom {

using TPackedDib = std::vector<std::uint8_t>;

constexpr std::size_t kDibHeaderSize = 40;
// The block carries 4 bytes beyond header, table and rows.
constexpr std::size_t kDibSlack = 4;

// Header (size 40, width, positive height, 1 plane, 24 or 1 bits, no
// compression, every other field 0), for 1 bit the table {0,0,0,0},
// {255,255,255,255}, then the raster's rows as stored: 44 + stride x height
// bytes at 24 bits, 52 + stride x height at 1 bit. Only those two depths
// are stored; any other answers an empty block.
TPackedDib PackDib(const TBitmap& raster);
// The same in place, for a block that is not a vector: the size the packed
// form takes (0 for another depth), and the packed form written into out,
// which holds that many bytes (every one of them is written).
std::size_t PackedDibSize(const TBitmap& raster);
void PackDibInto(const TBitmap& raster, std::uint8_t* out);

// Back into a raster of the stored depth; false (raster untouched) for a
// block too short for what its header states, or of another depth.
bool ExpandDib(const TPackedDib& block, TBitmap& raster);
bool ExpandDib(const std::uint8_t* block, std::size_t size, TBitmap& raster);

}  // namespace skyloom
