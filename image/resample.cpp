#include "image/resample.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "image/pixel_buffer.h"
#include "image/resample_contrib.h"
#include "image/resample_simd.h"

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

// Horizontal pass, a group of `lanes` source rows at a time; progress after
// every source row.
bool HorizontalPass(const TBitmap& source, TIntermediate& inter, int newWidth, TResampleFilter filter,
                    const TKernels& kernels, const TProgressRec& progress) {
  const int height = source.Height();
  const THorzPlan plan = PlanHorizontal(source.Width(), newWidth, filter);
  std::vector<double> scratch(static_cast<std::size_t>(plan.widestStrip) * 3 * kernels.lanes);
  THorzGroup group{};
  group.taps = plan.list.taps;
  group.index = plan.list.index.data();
  group.weight = plan.list.weight.data();
  group.scratch = scratch.data();
  for (int r0 = 0; r0 < height; r0 += kernels.lanes) {
    for (int lane = 0; lane < kernels.lanes; ++lane) {
      const int r = r0 + lane;
      group.src[lane] = source.ScanLine(std::min(r, height - 1));
      group.dst[lane] = r < height ? inter.Row(r) : nullptr;
    }
    for (const TStrip& strip : plan.strips) {
      group.firstColumn = strip.firstColumn;
      group.columns = strip.columns;
      group.srcFirst = strip.srcFirst;
      group.srcCount = strip.srcCount;
      kernels.horz(group);
    }
    for (int r = r0; r < std::min(r0 + kernels.lanes, height); ++r) {
      if (progress.Report(r + 1)) return false;
    }
  }
  return true;
}

// Vertical pass in output-row order, which streams through memory. The
// per-column progress of the two-pass scheme is kept: after each output
// row the columns whose share of the work is done are reported, so every
// column value comes exactly once and in order.
bool VerticalPass(TIntermediate& inter, int height, const TRows& target, int newWidth, int newHeight,
                  TResampleFilter filter, const TKernels& kernels, const TProgressRec& progress) {
  const TContributors list = newHeight > 0 ? BuildContributors(height, newHeight, filter) : TContributors{};
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(std::max(list.MaxCount(), 1)));
  long long reported = 0;
  for (int k = 0; k < newHeight && newWidth > 0; ++k) {
    const int first = list.first[k];
    const int count = list.Count(k);
    for (int t = 0; t < count; ++t) rows[t] = inter.Row(list.index[first + t]);
    kernels.vert(TVertRow{rows.data(), list.weight.data() + first, count, target.Row(k), newWidth * 3});
    const long long done = static_cast<long long>(newWidth) * (k + 1) / newHeight;
    for (; reported < done; ++reported) {
      if (progress.Report(height + reported + 1)) return false;
    }
  }
  for (; reported < newWidth; ++reported) {  // no output rows at all
    if (progress.Report(height + reported + 1)) return false;
  }
  return true;
}

bool TwoPasses(const TBitmap& source, const TRows& target, int newWidth, int newHeight, TResampleFilter filter,
               TProgressRec progress, TResampleIsa isa) {
  const int height = source.Height();
  progress.per = 100.0 / (static_cast<double>(static_cast<long long>(newWidth) + height) + 0.5);
  const TKernels kernels = KernelsFor(isa);
  TIntermediate inter(newWidth, height);
  if (!HorizontalPass(source, inter, newWidth, filter, kernels, progress)) return false;
  return VerticalPass(inter, height, target, newWidth, newHeight, filter, kernels, progress);
}

bool Filterable(const TBitmap& source) { return source.PixelFormat() == TPixelFormat::pf24bit && !source.Empty(); }

}  // namespace

bool FilteredResample(const TBitmap& source, TBitmap& target, TResampleFilter filter, TProgressRec progress,
                      TResampleIsa isa) {
  if (!Filterable(source) || target.PixelFormat() != TPixelFormat::pf24bit) return true;
  return TwoPasses(source, RowsOf(target), target.Width(), target.Height(), filter, progress, isa);
}

bool FilteredResampleInPlace(TBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter,
                             TProgressRec progress, TResampleIsa isa) {
  if (!Filterable(bitmap)) return true;
  const std::size_t rowBytes = static_cast<std::size_t>(newWidth) * 3;
  TPixelBuffer result(rowBytes * static_cast<std::size_t>(newHeight));
  const TRows rows{result.Data(), static_cast<std::ptrdiff_t>(rowBytes)};
  if (!TwoPasses(bitmap, rows, newWidth, newHeight, filter, progress, isa)) return false;
  // Shrinking reuses the raster's memory, whose pages are already mapped.
  bitmap.Allocate(newWidth, newHeight, TPixelFormat::pf24bit);
  for (int y = 0; y < newHeight; ++y) std::memcpy(bitmap.ScanLine(y), rows.Row(y), rowBytes);
  return true;
}

}  // namespace skyloom
