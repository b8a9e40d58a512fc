#pragma once
// The TIFF flavour of LZW: codes most significant bit first, 256 clears the
// table, 257 ends the data, the first free code is 258, and the code width
// grows from 9 to 12 bits as the table fills. The reader and writer reach
// these routines through the engine's LZW hooks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/lzw_hooks.h"

namespace skyloom {

namespace tiff {
constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kFirstFree = 258;
}  // namespace tiff

// Per-strip state of the decoder or the encoder; each side derives its own.
struct TTiffLzwState {
  virtual ~TTiffLzwState() = default;
};

// Decodes the next rowLength bytes of the strip in data into row (resized
// to rowLength). The state is made on the first call and carries the table,
// the read position and the part of a string that did not fit the last
// row. Answers false on a code beyond the table, a table that overflows, or
// data that end before the row is full. A call with no data releases the
// state.
bool DecodeTiffLzwRow(const std::uint8_t* data, std::size_t size, int rowLength, std::vector<std::uint8_t>& row,
                      TTiffLzwState*& state);

// Encodes one row as part of a single code stream over all rows, starting
// it with a clear code. A call with no row writes the last code, the end
// code and the remaining bits, and releases the state.
void EncodeTiffLzwRow(const std::uint8_t* row, int length, TStream& stream, TTiffLzwState*& state);

// Fills the TIFF decoder and encoder slots of hooks with the two above.
void InstallTiffLzwHooks(TLzwHooks& hooks);

}  // namespace skyloom
