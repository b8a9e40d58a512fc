#include "image/dib_block.h"

#include <cstring>

namespace skyloom {

TDibBlock PackIntoBlock(const TBitmap& raster) {
  const TPackedDib packed = PackDib(raster);
  if (packed.empty()) return {};
  TDibBlock block(packed.size());
  TDibBlock::Locked bytes(block);
  std::memcpy(bytes.Data(), packed.data(), packed.size());
  return block;
}

bool ExpandBlock(const TDibBlock& block, TBitmap& raster) {
  if (block.Empty()) return false;
  TDibBlock::Locked bytes(block);
  const TPackedDib packed(bytes.Data(), bytes.Data() + block.Size());
  return ExpandDib(packed, raster);
}

}  // namespace skyloom
