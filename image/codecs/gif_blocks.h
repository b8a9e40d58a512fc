#pragma once
// Chains of GIF data sub-blocks: a size byte, then that many bytes, until a
// block of size 0. Image data and extensions are stored this way.
#include <cstdint>
#include <vector>

namespace skyloom {

class TStream;

// Walks the chain at the stream's position, appending the blocks' bytes to
// data (null: they are only skipped). Stops after the zero-length block or
// at the stream's end, and leaves the stream just after the last byte it
// used.
void ReadSubBlocks(TStream& stream, std::vector<std::uint8_t>* data);

}  // namespace skyloom
