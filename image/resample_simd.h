#pragma once
// Vector kernels of the two resampling passes, one set per instruction set.
// Every lane runs exactly the scalar arithmetic (the sum starts at zero and
// adds weight * sample in contributor order, separate multiply and add), so
// all sets give the same bytes. The kernels see only raw memory: the AVX2
// set is compiled for a wider target and must not share inline code with
// the rest of the program.
#include <cstdint>

namespace skyloom::resample_simd {

// A group of source rows filtered horizontally together, one row per lane,
// over one strip of output columns (so that the widened source samples it
// reads stay in the first-level cache). Lanes beyond the picture repeat its
// last row and have a null target.
constexpr int kStripColumns = 64;

struct THorzGroup {
  const std::uint8_t* src[4];
  std::uint8_t* dst[4];
  int firstColumn;             // output columns [firstColumn, +columns)
  int columns;                 // at most kStripColumns
  int srcFirst;                // source pixels [srcFirst, +srcCount) are read
  int srcCount;
  int taps;                    // per output column, padded
  const std::int32_t* index;   // [column * taps + t], whole row, minus srcFirst
  const double* weight;        // [column * taps + t], whole row
  double* scratch;             // srcCount * 3 * lanes doubles
};

// One output row of the vertical pass: taps source rows and their weights,
// the same for every byte of the row.
struct TVertRow {
  const std::uint8_t* const* rows;
  const double* weight;
  int taps;
  std::uint8_t* dst;
  int bytes;
};

constexpr int kSse2Lanes = 2;
constexpr int kAvx2Lanes = 4;

void HorzGroupSse2(const THorzGroup& group);
void VertRowSse2(const TVertRow& row);
void HorzGroupAvx2(const THorzGroup& group);
void VertRowAvx2(const TVertRow& row);

// The scalar form every lane follows: clamp to 0..255, round half to even.
// Used for row tails.
std::uint8_t VertByteScalar(const TVertRow& row, int x);

}  // namespace skyloom::resample_simd
