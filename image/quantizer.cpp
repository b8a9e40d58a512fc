#include "image/quantizer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "image/bitmap.h"

namespace skyloom {
namespace {

constexpr int kSide = 32;
constexpr int kAxes = 3;  // red, green, blue

using THistogram = std::vector<std::uint32_t>;

struct TBox {
  std::array<int, kAxes> lo{};  // inclusive cell bounds
  std::array<int, kAxes> hi{};  // exclusive
  std::uint64_t count = 0;
  std::array<double, kAxes> mean{};
  double error = 0.0;
  std::array<std::array<std::uint64_t, kSide>, kAxes> marginal{};
};

int Cell(int red, int green, int blue) { return (red << 10) | (green << 5) | blue; }

THistogram CountPixels(const TBitmap& raster) {
  THistogram histogram(kSide * kSide * kSide, 0);
  for (int y = 0; y < raster.Height(); ++y) {
    const std::uint8_t* p = raster.ScanLine(y);
    for (int x = 0; x < raster.Width(); ++x, p += 3) ++histogram[static_cast<std::size_t>(TColorQuantizer::CellOf(p[0], p[1], p[2]))];
  }
  return histogram;
}

// Counts the box's cells from the histogram: marginals, pixel count,
// means and error (spread about the means over the whole raster's pixels).
void Recount(TBox& box, const THistogram& histogram, std::uint64_t total) {
  box.marginal = {};
  box.count = 0;
  for (int r = box.lo[0]; r < box.hi[0]; ++r)
    for (int g = box.lo[1]; g < box.hi[1]; ++g)
      for (int b = box.lo[2]; b < box.hi[2]; ++b) {
        const std::uint32_t n = histogram[static_cast<std::size_t>(Cell(r, g, b))];
        if (n == 0) continue;
        box.marginal[0][r] += n;
        box.marginal[1][g] += n;
        box.marginal[2][b] += n;
        box.count += n;
      }
  box.error = 0.0;
  for (int axis = 0; axis < kAxes; ++axis) {
    double sum = 0.0;
    for (int p = box.lo[axis]; p < box.hi[axis]; ++p) sum += static_cast<double>(box.marginal[axis][p]) * p;
    box.mean[axis] = box.count ? sum / static_cast<double>(box.count) : 0.0;
    for (int p = box.lo[axis]; p < box.hi[axis]; ++p) {
      const double d = p - box.mean[axis];
      box.error += static_cast<double>(box.marginal[axis][p]) * d * d;
    }
  }
  box.error = total ? box.error / static_cast<double>(total) : 0.0;
}

// Shrinks the bounds to the occupied cells, then counts again.
TBox Occupied(TBox box, const THistogram& histogram, std::uint64_t total) {
  Recount(box, histogram, total);
  if (box.count == 0) return box;
  for (int axis = 0; axis < kAxes; ++axis) {
    while (box.marginal[axis][box.lo[axis]] == 0) ++box.lo[axis];
    while (box.marginal[axis][box.hi[axis] - 1] == 0) --box.hi[axis];
  }
  Recount(box, histogram, total);
  return box;
}

// The best cut position on one axis: the halves are positions <= cut and
// > cut. -1 when no cut leaves both halves occupied.
int BestCut(const TBox& box, int axis) {
  const int lo = box.lo[axis], hi = box.hi[axis];
  if (hi - lo <= 1) return -1;
  const double mean = box.mean[axis];
  const int s = static_cast<int>(std::nearbyint((lo + mean) / 2));
  const int e = static_cast<int>(std::nearbyint((mean + hi) / 2));
  const auto& marginal = box.marginal[axis];
  std::uint64_t below = 0;
  for (int p = lo; p < s; ++p) below += marginal[p];
  double weighted = 0.0;  // sum of count x position over s..p
  double best = -1.0;
  int cut = -1;
  for (int p = s; p <= e && p < hi; ++p) {
    below += marginal[p];
    weighted += static_cast<double>(marginal[p]) * p;
    if (below == box.count) break;  // nothing left above p
    if (below == 0) continue;
    const double m = weighted / static_cast<double>(box.count);
    const double value =
        (static_cast<double>(below) / static_cast<double>(box.count - below)) * (mean - m) * (mean - m);
    if (value > best) {
      best = value;
      cut = p;
    }
  }
  return cut;
}

// Splits along the axis whose halves have the smallest summed error.
// Answers false when no axis can be split.
bool Split(std::vector<TBox>& boxes, std::size_t which, const THistogram& histogram, std::uint64_t total) {
  double bestError = std::numeric_limits<double>::infinity();
  TBox first, second;
  bool found = false;
  for (int axis = 0; axis < kAxes; ++axis) {
    const TBox& box = boxes[which];
    const int cut = BestCut(box, axis);
    if (cut < 0) continue;
    TBox lower = box, upper = box;
    lower.hi[axis] = cut + 1;
    upper.lo[axis] = cut + 1;
    lower = Occupied(lower, histogram, total);
    upper = Occupied(upper, histogram, total);
    if (lower.count == 0 || upper.count == 0) continue;
    if (lower.error + upper.error < bestError) {
      bestError = lower.error + upper.error;
      first = lower;
      second = upper;
      found = true;
    }
  }
  if (!found) return false;
  boxes[which] = first;
  boxes.push_back(second);
  return true;
}

// The box with the largest error above 0 (the first of equals), or -1.
int WorstBox(const std::vector<TBox>& boxes) {
  int worst = -1;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i].error > 0.0 && (worst < 0 || boxes[i].error > boxes[static_cast<std::size_t>(worst)].error))
      worst = static_cast<int>(i);
  return worst;
}

std::uint8_t ChannelOf(double mean) { return static_cast<std::uint8_t>(static_cast<int>(std::nearbyint(mean)) * 8); }

}  // namespace

TColorQuantizer::TColorQuantizer(const TBitmap& raster, int entries)
    : palette_(static_cast<std::size_t>(std::clamp(entries, 1, 256))), cells_(kSide * kSide * kSide, 0) {
  const THistogram histogram = CountPixels(raster);
  const auto total = static_cast<std::uint64_t>(raster.Width()) * static_cast<std::uint64_t>(raster.Height());
  TBox all;
  all.hi = {kSide, kSide, kSide};
  Recount(all, histogram, total);
  std::vector<TBox> boxes{all};
  while (boxes.size() < palette_.size()) {
    const int worst = WorstBox(boxes);
    if (worst < 0) break;
    if (!Split(boxes, static_cast<std::size_t>(worst), histogram, total)) boxes[static_cast<std::size_t>(worst)].error = 0.0;
  }
  boxCount_ = static_cast<int>(boxes.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const TBox& box = boxes[i];
    palette_[i] = TIERGB{ChannelOf(box.mean[2]), ChannelOf(box.mean[1]), ChannelOf(box.mean[0])};
    for (int r = box.lo[0]; r < box.hi[0]; ++r)
      for (int g = box.lo[1]; g < box.hi[1]; ++g)
        for (int b = box.lo[2]; b < box.hi[2]; ++b) cells_[static_cast<std::size_t>(Cell(r, g, b))] = static_cast<std::uint8_t>(i);
  }
}

}  // namespace skyloom
