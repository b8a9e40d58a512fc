#pragma once
// Decoding of one fax-coded row into its changing elements.
#include "image/codecs/ccitt_bits.h"
#include "image/codecs/ccitt_changes.h"

namespace skyloom::fax {

// Each answers false when the row does not decode to exactly `width`
// pixels: an invalid code, EOL or an extension (uncompressed mode) inside
// the row, runs past the width, or data running out. `changes` gets the row
// without sentinels.
bool DecodeRow1D(TBitReader& in, int width, TChanges& changes);
// `reference` is the row above with sentinels (only sentinels for an all
// white one).
bool DecodeRow2D(TBitReader& in, int width, const TChanges& reference, TChanges& changes);

// Takes fill bits and one EOL when they come next. Otherwise leaves the
// stream as it was, but for zero bits that run on to the end of the data.
bool TakeEol(TBitReader& in);

}  // namespace skyloom::fax
