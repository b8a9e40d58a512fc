#pragma once
// Coding of one row, given as its changing elements with sentinels.
#include "image/codecs/ccitt_bits.h"
#include "image/codecs/ccitt_changes.h"

namespace skyloom::fax {

void EncodeRow1D(TBitWriter& out, int width, const TChanges& changes);
// `reference` is the row above (only sentinels for an all white one).
void EncodeRow2D(TBitWriter& out, int width, const TChanges& reference, const TChanges& changes);

}  // namespace skyloom::fax
