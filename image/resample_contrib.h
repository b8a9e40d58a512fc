#pragma once
// Contributor lists: for every output column (or row) the source indices and
// weights of the taps that make it, built once per pass and stored flat.
#include <cstdint>
#include <vector>

#include "image/resample_kernels.h"

namespace skyloom {

struct TContributors {
  // Taps of output o are [first[o], first[o + 1]) in index/weight, in the
  // order the sum must run. Indices always lie in 0 .. source size - 1.
  std::vector<std::int32_t> first;
  std::vector<std::int32_t> index;
  std::vector<double> weight;

  int Outputs() const { return first.empty() ? 0 : static_cast<int>(first.size()) - 1; }
  int Count(int o) const { return first[o + 1] - first[o]; }
  int MaxCount() const;
};

// Lists for scaling srcSize samples to dstSize: unnormalised kernel weights,
// zero weights dropped, indices mirrored at the edges. Both sizes must be
// positive.
TContributors BuildContributors(int srcSize, int dstSize, TResampleFilter filter);

// A source index for tap position j. Left of the edge mirrors around 0
// (-j), right of it around the last sample (2n - 1 - j); a source narrower
// than the kernel's reach can need several reflections, which are applied
// until the index lands inside, so every tap reads a real sample.
std::int32_t MirrorIndex(std::int64_t j, std::int32_t n);

// The same taps laid out with one fixed count per output, short lists
// padded at their end with zero weights (which leave every sum's value
// unchanged), so vector code can walk several outputs in step.
struct TPaddedContributors {
  int taps = 0;
  std::vector<std::int32_t> index;  // [o * taps + t]
  std::vector<double> weight;
};

TPaddedContributors PadContributors(const TContributors& list);

}  // namespace skyloom
