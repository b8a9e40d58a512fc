#include "image/resample_contrib.h"

#include <algorithm>
#include <cmath>

namespace skyloom {

int TContributors::MaxCount() const {
  int most = 0;
  for (int o = 0; o < Outputs(); ++o) most = std::max(most, Count(o));
  return most;
}

std::int32_t MirrorIndex(std::int64_t j, std::int32_t n) {
  if (n <= 1) return 0;
  while (j < 0 || j >= n) {
    if (j < 0) j = -j;
    if (j >= n) j = 2 * static_cast<std::int64_t>(n) - 1 - j;
  }
  return static_cast<std::int32_t>(j);
}

TContributors BuildContributors(int srcSize, int dstSize, TResampleFilter filter) {
  TContributors list;
  list.first.reserve(static_cast<std::size_t>(dstSize) + 1);
  list.first.push_back(0);
  const double support = ResampleSupport(filter);
  const double scale = static_cast<double>(dstSize) / static_cast<double>(srcSize);
  const bool enlarging = scale >= 1.0;
  const double w = enlarging ? support : support / scale;
  for (int i = 0; i < dstSize; ++i) {
    const double centre = static_cast<double>(i) / scale;
    const auto left = static_cast<std::int64_t>(std::floor(centre - w));
    const auto right = static_cast<std::int64_t>(std::ceil(centre + w));
    for (std::int64_t j = left; j <= right; ++j) {
      const double d = centre - static_cast<double>(j);
      const double weight = enlarging ? ResampleKernel(filter, d) : ResampleKernel(filter, d * scale) * scale;
      if (weight == 0.0) continue;
      list.index.push_back(MirrorIndex(j, srcSize));
      list.weight.push_back(weight);
    }
    list.first.push_back(static_cast<std::int32_t>(list.index.size()));
  }
  return list;
}

TPaddedContributors PadContributors(const TContributors& list) {
  TPaddedContributors padded;
  padded.taps = std::max(list.MaxCount(), 1);
  const auto size = static_cast<std::size_t>(list.Outputs()) * padded.taps;
  padded.index.assign(size, 0);
  padded.weight.assign(size, 0.0);
  for (int o = 0; o < list.Outputs(); ++o) {
    const std::size_t base = static_cast<std::size_t>(o) * padded.taps;
    const int count = list.Count(o);
    for (int t = 0; t < count; ++t) {
      padded.index[base + t] = list.index[list.first[o] + t];
      padded.weight[base + t] = list.weight[list.first[o] + t];
    }
    // Padding re-reads the last real tap, which is already in cache.
    const std::int32_t last = count > 0 ? padded.index[base + count - 1] : 0;
    for (int t = count; t < padded.taps; ++t) padded.index[base + t] = last;
  }
  return padded;
}

}  // namespace skyloom
