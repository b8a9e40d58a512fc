#include "tests/image/resample_reference.h"

#include <cmath>
#include <cstdint>

#include "image/resample_sine.h"

namespace skyloom::reference {
namespace {

struct Contributor {
  int pixel;
  double weight;
};

struct ContributorList {
  int n = 0;
  std::vector<Contributor> p;
};

double Sinc(double t) {
  if (t == 0) return 1;
  const double pit = 3.141592653589793 * t;
  return ResampleSine(pit) / pit;
}

int Mirror(int j, int size) {
  if (j < 0) j = -j;
  if (j >= size) j = 2 * size - 1 - j;
  // A source narrower than the kernel: mirror again until inside.
  while (j < 0 || j >= size) {
    if (size == 1) return 0;
    if (j < 0) j = -j;
    if (j >= size) j = 2 * size - 1 - j;
  }
  return j;
}

std::vector<ContributorList> Contributors(int oldSize, int newSize, TResampleFilter filter) {
  std::vector<ContributorList> lists(newSize);
  const double scale = (double)newSize / (double)oldSize;
  const double support = Support(filter);
  for (int i = 0; i < newSize; i++) {
    double w;
    if (scale >= 1) {
      w = support;
    } else {
      w = support / scale;
    }
    const double centre = i / scale;
    const int left = (int)std::floor(centre - w);
    const int right = (int)std::ceil(centre + w);
    for (int j = left; j <= right; j++) {
      double weight;
      if (scale >= 1) {
        weight = Kernel(filter, centre - j);
      } else {
        weight = Kernel(filter, (centre - j) * scale) * scale;
      }
      if (weight == 0) continue;
      lists[i].p.push_back({Mirror(j, oldSize), weight});
      lists[i].n++;
    }
  }
  return lists;
}

std::uint8_t ClampRound(double sum) {
  if (sum > 255) return 255;
  if (sum < 0) return 0;
  const double f = std::floor(sum);
  const double frac = sum - f;
  int v = (int)f;
  if (frac > 0.5 || (frac == 0.5 && v % 2 == 1)) v++;
  return (std::uint8_t)v;
}

}  // namespace

double Support(TResampleFilter filter) {
  switch (filter) {
    case rfTriangle: return 1;
    case rfHermite: return 1;
    case rfBell: return 1.5;
    case rfBSpline: return 2;
    case rfLanczos3: return 3;
    case rfMitchell: return 2;
    default: return 0;
  }
}

double Kernel(TResampleFilter filter, double x) {
  const double a = std::fabs(x);
  switch (filter) {
    case rfTriangle:
      if (a < 1) return 1 - a;
      return 0;
    case rfHermite:
      if (a < 1) return (2 * a - 3) * (a * a) + 1;
      return 0;
    case rfBell:
      if (a < 0.5) return 0.75 - a * a;
      if (a < 1.5) return 0.5 * ((a - 1.5) * (a - 1.5));
      return 0;
    case rfBSpline:
      if (a < 1) return 0.5 * (a * a * a) - a * a + 2.0 / 3;
      if (a < 2) return ((2 - a) * (2 - a) * (2 - a)) / 6;
      return 0;
    case rfLanczos3:
      if (a < 3) return Sinc(a) * Sinc(a / 3);
      return 0;
    case rfMitchell:
      if (a < 1) return (7 * (a * a * a) - 12 * (a * a) + 16.0 / 3) / 6;
      if (a < 2) return (-(7.0 / 3) * (a * a * a) + 12 * (a * a) - 20 * a + 32.0 / 3) / 6;
      return 0;
    default:
      return 0;
  }
}

TBitmap Resample(const TBitmap& source, int newWidth, int newHeight, TResampleFilter filter,
                 std::vector<int>* progress) {
  const int W = source.Width();
  const int H = source.Height();
  TBitmap target(newWidth, newHeight, TPixelFormat::pf24bit);
  TBitmap work(newWidth, H, TPixelFormat::pf24bit);
  const double factor = 100 / (newWidth + H + 0.5);

  std::vector<ContributorList> contrib = Contributors(W, newWidth, filter);
  for (int r = 0; r < H; r++) {
    const std::uint8_t* src = source.ScanLine(r);
    std::uint8_t* dst = work.ScanLine(r);
    for (int i = 0; i < newWidth; i++) {
      for (int c = 0; c < 3; c++) {
        double sum = 0;
        for (int t = 0; t < contrib[i].n; t++) sum += contrib[i].p[t].weight * src[contrib[i].p[t].pixel * 3 + c];
        dst[i * 3 + c] = ClampRound(sum);
      }
    }
    if (progress) progress->push_back((int)(factor * (r + 1)));
  }

  contrib = Contributors(H, newHeight, filter);
  for (int i = 0; i < newWidth; i++) {
    for (int k = 0; k < newHeight; k++) {
      for (int c = 0; c < 3; c++) {
        double sum = 0;
        for (int t = 0; t < contrib[k].n; t++)
          sum += contrib[k].p[t].weight * work.ScanLine(contrib[k].p[t].pixel)[i * 3 + c];
        target.ScanLine(k)[i * 3 + c] = ClampRound(sum);
      }
    }
    if (progress) progress->push_back((int)(factor * (H + i + 1)));
  }
  return target;
}

}  // namespace skyloom::reference
