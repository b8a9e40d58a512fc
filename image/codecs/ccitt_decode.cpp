#include "image/codecs/ccitt_decode.h"

#include <algorithm>
#include <bit>

namespace skyloom::fax {
namespace {

// One run: make-up codes, then a terminating code. False on anything else
// or when the run is longer than `limit`.
bool DecodeRun(TBitReader& in, TColour colour, int limit, int& run) {
  const TCodeTable& table = RunTable(colour);
  std::int64_t total = 0;  // make-ups may repeat; the limit check keeps it small
  for (;;) {
    const TCodeEntry code = in.Next(table);
    if (code.kind != TCodeKind::Terminating && code.kind != TCodeKind::MakeUp) return false;
    total += code.value;
    if (total > limit || in.Overrun()) return false;
    if (code.kind == TCodeKind::Terminating) break;
  }
  run = static_cast<int>(total);
  return true;
}

// Appends a change at x. Runs of length 0 stay in the list as two equal
// entries: encoders code the next row against the runs as they coded them,
// and where b1 and b2 fall depends on those entries. One at the width is
// the row's end, not a change. False when the list outgrows any row of
// this width (runs of length 0 coded over and over).
bool AddChange(TChanges& changes, int x, int width) {
  if (x >= width) return true;
  if (changes.size() > 2 * static_cast<std::size_t>(width) + 2) return false;
  changes.push_back(x);
  return true;
}

}  // namespace

bool DecodeRow1D(TBitReader& in, int width, TChanges& changes) {
  changes.clear();
  TColour colour = kWhite;
  for (int a0 = 0; a0 < width; colour = Other(colour)) {
    int run = 0;
    if (!DecodeRun(in, colour, width - a0, run)) return false;
    a0 += run;
    if (!AddChange(changes, a0, width)) return false;
  }
  return true;
}

bool DecodeRow2D(TBitReader& in, int width, const TChanges& reference, TChanges& changes) {
  changes.clear();
  TReferenceCursor cursor(reference);
  TColour colour = kWhite;
  int a0 = -1;  // the imaginary white pixel left of the row
  while (a0 < width) {
    const TCodeEntry mode = in.Next(ModeTable());
    if (in.Overrun()) return false;
    int b1 = 0, b2 = 0;
    cursor.Find(a0, colour, b1, b2);
    switch (mode.kind) {
      case TCodeKind::Pass:
        a0 = b2;
        break;
      case TCodeKind::Vertical: {
        // a1 = a0 is taken as a run of length 0: some encoders end rows so.
        const int a1 = b1 + mode.value;
        if (a1 < std::max(a0, 0) || a1 > width) return false;
        if (!AddChange(changes, a1, width)) return false;
        a0 = a1;
        colour = Other(colour);
        break;
      }
      case TCodeKind::Horizontal: {
        const int start = std::max(a0, 0);
        int first = 0, second = 0;
        if (!DecodeRun(in, colour, width - start, first)) return false;
        if (!DecodeRun(in, Other(colour), width - start - first, second)) return false;
        if (!AddChange(changes, start + first, width) || !AddChange(changes, start + first + second, width))
          return false;
        a0 = start + first + second;
        break;
      }
      default:
        return false;  // EOL or EOFB inside the row, uncompressed mode, or no code
    }
  }
  return true;
}

bool TakeEol(TBitReader& in) {
  constexpr int kEolZeros = 11;
  bool longFill = false;  // more than 24 zero bits already taken
  for (;;) {
    if (in.AtEnd()) return false;
    const std::uint32_t next = in.Peek(24);
    if (next == 0) {
      in.Skip(24);
      longFill = true;
      continue;
    }
    const int zeros = std::countl_zero(next) - 8;
    if (!longFill && zeros < kEolZeros) return false;
    in.Skip(zeros + 1);
    return true;
  }
}

}  // namespace skyloom::fax
