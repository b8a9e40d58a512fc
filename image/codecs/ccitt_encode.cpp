#include "image/codecs/ccitt_encode.h"

#include <algorithm>

namespace skyloom::fax {
namespace {

// Runs longer than the largest make-up code repeat it.
void EncodeRun(TBitWriter& out, TColour colour, int run) {
  while (run >= kMaxMakeUp + 64) {
    out.Put(MakeUpCode(colour, kMaxMakeUp));
    run -= kMaxMakeUp;
  }
  if (run >= 64) {
    out.Put(MakeUpCode(colour, run / 64 * 64));
    run %= 64;
  }
  out.Put(TerminatingCode(colour, run));
}

}  // namespace

void EncodeRow1D(TBitWriter& out, int width, const TChanges& changes) {
  TColour colour = kWhite;
  int a0 = 0;
  for (std::size_t i = 0; a0 < width; ++i, colour = Other(colour)) {
    EncodeRun(out, colour, changes[i] - a0);
    a0 = changes[i];
  }
}

void EncodeRow2D(TBitWriter& out, int width, const TChanges& reference, const TChanges& changes) {
  TReferenceCursor cursor(reference);
  TColour colour = kWhite;
  int a0 = -1;        // the imaginary white pixel left of the row
  std::size_t i = 0;  // changes[i] is a1, the first change right of a0
  while (a0 < width) {
    while (changes[i] <= a0) ++i;
    const int a1 = changes[i];
    int b1 = 0, b2 = 0;
    cursor.Find(a0, colour, b1, b2);
    if (b2 < a1) {
      out.Put(kPassCode);
      a0 = b2;
      continue;
    }
    const int offset = a1 - b1;
    if (offset >= -3 && offset <= 3) {
      out.Put(kVerticalCodes[offset + 3]);
      a0 = a1;
      colour = Other(colour);
      continue;
    }
    const int a2 = changes[i + 1];
    out.Put(kHorizontalCode);
    EncodeRun(out, colour, a1 - std::max(a0, 0));
    EncodeRun(out, Other(colour), a2 - a1);
    a0 = a2;
  }
}

}  // namespace skyloom::fax
