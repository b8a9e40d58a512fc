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

THorzPlan PlanHorizontal(const TContributors& list) {
  THorzPlan plan;
  const int newWidth = list.Outputs();
  if (newWidth <= 0) return plan;
  plan.list = PadContributors(list);
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

// The source rows a pass reads: [first, first + count).
struct TRowRange {
  int first, count;
};

// Horizontal pass over the source rows of `rows` (intermediate row 0 is
// source row rows.first), one group of `lanes` rows per stripe; progress
// after every row.
bool HorizontalPass(const TBitmap& source, TRowRange rows, TIntermediate& inter, const THorzPlan& plan,
                    const TKernels& kernels, int threads, const TProgressRec& progress) {
  const int height = rows.count;
  const std::size_t scratchSize = static_cast<std::size_t>(plan.widestStrip) * 3 * kernels.lanes;
  std::vector<std::vector<double>> scratch(static_cast<std::size_t>(threads), std::vector<double>(scratchSize));
  const auto stripe = [&](int group, int thread) {
    THorzGroup g{};
    const int r0 = group * kernels.lanes;
    for (int lane = 0; lane < kernels.lanes; ++lane) {
      const int r = r0 + lane;
      g.src[lane] = source.ScanLine(rows.first + std::min(r, height - 1));
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

// The part of the scaled picture that is computed: the whole scaled size
// (which fixes every weight) and the window cut from it.
struct TWindow {
  int coverWidth, coverHeight, left, top, width, height;
  bool Whole() const { return left == 0 && top == 0 && width == coverWidth && height == coverHeight; }
};

// Outputs [first, first + count) of a list, with their taps.
TContributors Slice(const TContributors& list, int first, int count) {
  if (first == 0 && count == list.Outputs()) return list;
  TContributors part;
  const int begin = list.first[first], end = list.first[first + count];
  part.index.assign(list.index.begin() + begin, list.index.begin() + end);
  part.weight.assign(list.weight.begin() + begin, list.weight.begin() + end);
  part.first.reserve(static_cast<std::size_t>(count) + 1);
  for (int o = first; o <= first + count; ++o) part.first.push_back(list.first[o] - begin);
  return part;
}

TContributors WindowList(int srcSize, int coverSize, int first, int count, TResampleFilter filter) {
  if (count <= 0) return {};
  return Slice(BuildContributors(srcSize, coverSize, filter), first, count);
}

// The source rows the vertical list reads (all of them for the whole
// picture, so its progress stays per source row); the list's indices are
// made relative to the first.
TRowRange RowsRead(TContributors& vertical, int height, bool whole) {
  if (whole || vertical.index.empty()) return {0, height};
  const auto [lo, hi] = std::minmax_element(vertical.index.begin(), vertical.index.end());
  const TRowRange rows{*lo, *hi - *lo + 1};
  for (auto& index : vertical.index) index -= rows.first;
  return rows;
}

bool TwoPasses(const TBitmap& source, const TRows& target, const TWindow& window, TResampleFilter filter,
               TProgressRec progress, TResampleIsa isa, int threads) {
  TContributors vertical = WindowList(source.Height(), window.coverHeight, window.top, window.height, filter);
  const TRowRange rows = RowsRead(vertical, source.Height(), window.Whole());
  progress.per = 100.0 / (static_cast<double>(static_cast<long long>(window.width) + rows.count) + 0.5);
  const TKernels kernels = KernelsFor(isa);
  const double shown = window.Whole() ? 1.0
                                      : static_cast<double>(window.width) * window.height /
                                            (static_cast<double>(window.coverWidth) * window.coverHeight);
  threads = ResampleThreads(
      threads, Work(source.Width(), source.Height(), window.coverWidth, window.coverHeight, filter) * shown);
  TIntermediate inter(window.width, rows.count);
  {
    const THorzPlan plan =
        PlanHorizontal(WindowList(source.Width(), window.coverWidth, window.left, window.width, filter));
    if (!HorizontalPass(source, rows, inter, plan, kernels, threads, progress)) return false;
  }
  return VerticalPass(inter, rows.count, target, window.width, window.height, vertical, kernels, threads,
                      progress);
}

bool Filterable(const TBitmap& source) { return source.PixelFormat() == TPixelFormat::pf24bit && !source.Empty(); }

}  // namespace

bool FilteredResample(const TBitmap& source, TBitmap& target, TResampleFilter filter, TProgressRec progress,
                      TResampleIsa isa, int threads) {
  if (!Filterable(source) || target.PixelFormat() != TPixelFormat::pf24bit) return true;
  const TWindow whole{target.Width(), target.Height(), 0, 0, target.Width(), target.Height()};
  return TwoPasses(source, RowsOf(target), whole, filter, progress, isa, threads);
}

bool FilteredResampleWindow(const TBitmap& source, TBitmap& target, int coverWidth, int coverHeight, int left,
                            int top, TResampleFilter filter, TProgressRec progress, TResampleIsa isa,
                            int threads) {
  if (!Filterable(source) || target.PixelFormat() != TPixelFormat::pf24bit) return true;
  if (left < 0 || top < 0 || left + target.Width() > coverWidth || top + target.Height() > coverHeight)
    return true;
  const TWindow window{coverWidth, coverHeight, left, top, target.Width(), target.Height()};
  return TwoPasses(source, RowsOf(target), window, filter, progress, isa, threads);
}

bool FilteredResampleInPlace(TBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter,
                             TProgressRec progress, TResampleIsa isa, int threads) {
  if (!Filterable(bitmap)) return true;
  const std::size_t rowBytes = static_cast<std::size_t>(newWidth) * 3;
  TPixelBuffer result(rowBytes * static_cast<std::size_t>(newHeight));
  const TRows rows{result.Data(), static_cast<std::ptrdiff_t>(rowBytes)};
  const TWindow whole{newWidth, newHeight, 0, 0, newWidth, newHeight};
  if (!TwoPasses(bitmap, rows, whole, filter, progress, isa, threads)) return false;
  // Shrinking reuses the raster's memory, whose pages are already mapped.
  bitmap.Allocate(newWidth, newHeight, TPixelFormat::pf24bit);
  for (int y = 0; y < newHeight; ++y) std::memcpy(bitmap.ScanLine(y), rows.Row(y), rowBytes);
  return true;
}

}  // namespace skyloom
