#include "image/resample.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "image/pixel_buffer.h"
#include "image/resample_contrib.h"
#include "image/resample_simd.h"
#include "image/resample_stripes.h"

namespace skyloom {
namespace {

using resample_simd::THorzGroup;
using resample_simd::TVertRow;

// Row y of a raster counted from the top, whatever its storage order: the
// stride is the address step from one row to the next one down.
struct TRows {
  std::uint8_t* row0;
  std::ptrdiff_t stride;
  std::uint8_t* Row(int y) const { return row0 + stride * y; }
};

TRows RowsOf(TBitmap& bitmap) {
  if (bitmap.Empty()) return {nullptr, 0};
  return {bitmap.ScanLine(0), -static_cast<std::ptrdiff_t>(bitmap.RowSize())};
}

// The intermediate raster of the two passes: W' columns by H rows, packed
// rows from the top, left uninitialised because every byte is written.
class TIntermediate {
 public:
  TIntermediate(int width, int height)
      : stride_(static_cast<std::size_t>(width) * 3), buffer_(stride_ * static_cast<std::size_t>(height)) {}
  std::uint8_t* Row(int y) { return buffer_.Data() + stride_ * static_cast<std::size_t>(y); }

 private:
  std::size_t stride_;
  TPixelBuffer buffer_;
};

struct TKernels {
  int lanes;
  void (*horz)(const THorzGroup&);
  void (*vert)(const TVertRow&);
};

TKernels KernelsFor(TResampleIsa isa) {
  if (isa == TResampleIsa::isaAvx2 && IsaAvailable(isa))
    return {resample_simd::kAvx2Lanes, resample_simd::HorzGroupAvx2, resample_simd::VertRowAvx2};
  return {resample_simd::kSse2Lanes, resample_simd::HorzGroupSse2, resample_simd::VertRowSse2};
}

// The horizontal lists cut into strips of output columns, each with the
// range of source pixels it reads; indices are stored relative to that
// range.
struct TStrip {
  int firstColumn, columns, srcFirst, srcCount;
};

struct THorzPlan {
  TPaddedContributors list;
  std::vector<TStrip> strips;
  int widestStrip = 0;  // source pixels
};

THorzPlan PlanHorizontal(int srcWidth, int newWidth, TResampleFilter filter) {
  THorzPlan plan;
  if (newWidth <= 0) return plan;
  plan.list = PadContributors(BuildContributors(srcWidth, newWidth, filter));
  const int taps = plan.list.taps;
  for (int first = 0; first < newWidth; first += resample_simd::kStripColumns) {
    const int columns = std::min(resample_simd::kStripColumns, newWidth - first);
    const auto begin = plan.list.index.begin() + static_cast<std::ptrdiff_t>(first) * taps;
    const auto end = begin + static_cast<std::ptrdiff_t>(columns) * taps;
    const auto [lo, hi] = std::minmax_element(begin, end);
    const int srcFirst = *lo;
    const int srcCount = *hi - *lo + 1;
    for (auto it = begin; it != end; ++it) *it -= srcFirst;
    plan.strips.push_back({first, columns, srcFirst, srcCount});
    plan.widestStrip = std::max(plan.widestStrip, srcCount);
  }
  return plan;
}

// Horizontal pass, one group of `lanes` source rows per stripe; progress
// after every source row.
bool HorizontalPass(const TBitmap& source, TIntermediate& inter, const THorzPlan& plan, const TKernels& kernels,
                    int threads, const TProgressRec& progress) {
  const int height = source.Height();
  const std::size_t scratchSize = static_cast<std::size_t>(plan.widestStrip) * 3 * kernels.lanes;
  std::vector<std::vector<double>> scratch(static_cast<std::size_t>(threads), std::vector<double>(scratchSize));
  const auto stripe = [&](int group, int thread) {
    THorzGroup g{};
    const int r0 = group * kernels.lanes;
    for (int lane = 0; lane < kernels.lanes; ++lane) {
      const int r = r0 + lane;
      g.src[lane] = source.ScanLine(std::min(r, height - 1));
      g.dst[lane] = r < height ? inter.Row(r) : nullptr;
    }
    g.taps = plan.list.taps;
    g.index = plan.list.index.data();
    g.weight = plan.list.weight.data();
    g.scratch = scratch[static_cast<std::size_t>(thread)].data();
    for (const TStrip& strip : plan.strips) {
      g.firstColumn = strip.firstColumn;
      g.columns = strip.columns;
      g.srcFirst = strip.srcFirst;
      g.srcCount = strip.srcCount;
      kernels.horz(g);
    }
  };
  int reported = 0;
  const auto finished = [&](int groups) {
    for (const int rows = std::min(groups * kernels.lanes, height); reported < rows; ++reported) {
      if (progress.Report(reported + 1)) return true;
    }
    return false;
  };
  const int groups = (height + kernels.lanes - 1) / kernels.lanes;
  return RunStripes(groups, threads, stripe, finished);
}

// Vertical pass, one output row per stripe, which streams through memory.
// The per-column progress of the two-pass scheme is kept: as output rows
// complete, the columns whose share of the work is done are reported, so
// every column value comes exactly once and in order.
bool VerticalPass(TIntermediate& inter, int height, const TRows& target, int newWidth, int newHeight,
                  const TContributors& list, const TKernels& kernels, int threads, const TProgressRec& progress) {
  const auto taps = static_cast<std::size_t>(std::max(list.MaxCount(), 1));
  std::vector<std::vector<const std::uint8_t*>> rows(static_cast<std::size_t>(threads),
                                                     std::vector<const std::uint8_t*>(taps));
  const auto stripe = [&](int k, int thread) {
    const std::uint8_t** own = rows[static_cast<std::size_t>(thread)].data();
    const int first = list.first[k];
    const int count = list.Count(k);
    for (int t = 0; t < count; ++t) own[t] = inter.Row(list.index[first + t]);
    kernels.vert(TVertRow{own, list.weight.data() + first, count, target.Row(k), newWidth * 3});
  };
  long long reported = 0;
  const auto finished = [&](long long columns) {
    for (; reported < columns; ++reported) {
      if (progress.Report(height + reported + 1)) return true;
    }
    return false;
  };
  const auto finishedRows = [&](int done) { return finished(static_cast<long long>(newWidth) * done / newHeight); };
  if (!RunStripes(newWidth > 0 ? newHeight : 0, threads, stripe, finishedRows)) return false;
  return !finished(newWidth);  // no output rows at all
}

// Weighted sums of both passes, to judge whether more threads pay off.
double Work(int width, int height, int newWidth, int newHeight, TResampleFilter filter) {
  const auto taps = [filter](int from, int to) {
    return 2 * ResampleSupport(filter) * std::max(1.0, static_cast<double>(from) / std::max(to, 1)) + 1;
  };
  return static_cast<double>(newWidth) * height * taps(width, newWidth) +
         static_cast<double>(newWidth) * newHeight * taps(height, newHeight);
}

bool TwoPasses(const TBitmap& source, const TRows& target, int newWidth, int newHeight, TResampleFilter filter,
               TProgressRec progress, TResampleIsa isa, int threads) {
  const int height = source.Height();
  progress.per = 100.0 / (static_cast<double>(static_cast<long long>(newWidth) + height) + 0.5);
  const TKernels kernels = KernelsFor(isa);
  threads = ResampleThreads(threads, Work(source.Width(), height, newWidth, newHeight, filter));
  TIntermediate inter(newWidth, height);
  {
    const THorzPlan plan = PlanHorizontal(source.Width(), newWidth, filter);
    if (!HorizontalPass(source, inter, plan, kernels, threads, progress)) return false;
  }
  const TContributors list = newHeight > 0 ? BuildContributors(height, newHeight, filter) : TContributors{};
  return VerticalPass(inter, height, target, newWidth, newHeight, list, kernels, threads, progress);
}

bool Filterable(const TBitmap& source) { return source.PixelFormat() == TPixelFormat::pf24bit && !source.Empty(); }

}  // namespace

bool FilteredResample(const TBitmap& source, TBitmap& target, TResampleFilter filter, TProgressRec progress,
                      TResampleIsa isa, int threads) {
  if (!Filterable(source) || target.PixelFormat() != TPixelFormat::pf24bit) return true;
  return TwoPasses(source, RowsOf(target), target.Width(), target.Height(), filter, progress, isa, threads);
}

bool FilteredResampleInPlace(TBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter,
                             TProgressRec progress, TResampleIsa isa, int threads) {
  if (!Filterable(bitmap)) return true;
  const std::size_t rowBytes = static_cast<std::size_t>(newWidth) * 3;
  TPixelBuffer result(rowBytes * static_cast<std::size_t>(newHeight));
  const TRows rows{result.Data(), static_cast<std::ptrdiff_t>(rowBytes)};
  if (!TwoPasses(bitmap, rows, newWidth, newHeight, filter, progress, isa, threads)) return false;
  // Shrinking reuses the raster's memory, whose pages are already mapped.
  bitmap.Allocate(newWidth, newHeight, TPixelFormat::pf24bit);
  for (int y = 0; y < newHeight; ++y) std::memcpy(bitmap.ScanLine(y), rows.Row(y), rowBytes);
  return true;
}

}  // namespace skyloom
