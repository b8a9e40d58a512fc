// The filtered resample: kernels, contributor lists, and the fast path
// against the plain reference, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "image/resample.h"
#include "image/resample_contrib.h"
#include "image/resample_sine.h"
#include "tests/image/resample_reference.h"
#include "tests/image/resample_test_util.h"

namespace skyloom {
namespace {

using testing_util::FirstDifference;
using testing_util::NoiseBitmap;

constexpr TResampleFilter kKernelFilters[] = {rfTriangle, rfHermite, rfBell, rfBSpline, rfLanczos3, rfMitchell};

std::vector<TResampleIsa> Isas() {
  std::vector<TResampleIsa> isas{TResampleIsa::isaSse2};
  if (IsaAvailable(TResampleIsa::isaAvx2)) isas.push_back(TResampleIsa::isaAvx2);
  return isas;
}

TBitmap Fast(const TBitmap& source, int width, int height, TResampleFilter filter, TResampleIsa isa,
             std::vector<int>* progress = nullptr) {
  TBitmap target(width, height, TPixelFormat::pf24bit);
  TProgressEvent event = [progress](void*, int percent) { progress->push_back(percent); };
  bool aborting = false;
  const TProgressRec rec{progress ? &event : nullptr, nullptr, 0.0, &aborting};
  EXPECT_TRUE(FilteredResample(source, target, filter, rec, isa));
  return target;
}

TEST(ResampleSine, AgreesWithTheLibrarySineOverTheKernelRange) {
  double worst = 0;
  for (int i = 0; i <= 300000; ++i) {
    const double x = 3 * 3.141592653589793 * i / 300000.0;
    worst = std::max(worst, std::fabs(ResampleSine(x) - std::sin(x)));
  }
  EXPECT_LT(worst, 4e-16);
  EXPECT_EQ(ResampleSine(0.0), 0.0);
  EXPECT_DOUBLE_EQ(ResampleSine(-1.0), -std::sin(1.0));
}

TEST(ResampleKernels, ValuesAndSupports) {
  EXPECT_EQ(ResampleKernel(rfTriangle, -0.25), 0.75);
  EXPECT_EQ(ResampleKernel(rfTriangle, 1.0), 0.0);
  EXPECT_EQ(ResampleKernel(rfHermite, 0.5), 0.5);
  EXPECT_EQ(ResampleKernel(rfBell, 0.0), 0.75);
  EXPECT_EQ(ResampleKernel(rfBell, 1.0), 0.125);
  EXPECT_EQ(ResampleKernel(rfBell, 1.5), 0.0);
  EXPECT_DOUBLE_EQ(ResampleKernel(rfBSpline, 0.0), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(ResampleKernel(rfBSpline, -1.0), 1.0 / 6.0);
  EXPECT_DOUBLE_EQ(ResampleKernel(rfMitchell, 0.0), 8.0 / 9.0);
  EXPECT_NEAR(ResampleKernel(rfMitchell, 1.0), 1.0 / 18.0, 1e-15);
  EXPECT_EQ(ResampleKernel(rfMitchell, 2.0), 0.0);
  EXPECT_EQ(ResampleKernel(rfLanczos3, 0.0), 1.0);
  EXPECT_NEAR(ResampleKernel(rfLanczos3, 1.0), 0.0, 1e-16);
  const double pi = 3.141592653589793;
  EXPECT_NEAR(ResampleKernel(rfLanczos3, 0.5), std::sin(pi / 2) / (pi / 2) * std::sin(pi / 6) / (pi / 6), 1e-15);
  EXPECT_EQ(ResampleKernel(rfLanczos3, 3.0), 0.0);
  EXPECT_FALSE(HasKernel(rfNone));
  EXPECT_FALSE(HasKernel(static_cast<TResampleFilter>(7)));
  for (const TResampleFilter f : kKernelFilters) {
    EXPECT_TRUE(HasKernel(f));
    EXPECT_EQ(ResampleSupport(f), reference::Support(f));
    for (double x = -3.5; x <= 3.5; x += 0.0625) EXPECT_EQ(ResampleKernel(f, x), reference::Kernel(f, x)) << f;
  }
}

TEST(ResampleContributors, TriangleDoublingTakesMeans) {
  const TContributors list = BuildContributors(4, 8, rfTriangle);
  ASSERT_EQ(list.Outputs(), 8);
  ASSERT_EQ(list.Count(0), 1);
  EXPECT_EQ(list.index[list.first[0]], 0);
  EXPECT_EQ(list.weight[list.first[0]], 1.0);
  ASSERT_EQ(list.Count(1), 2);
  EXPECT_EQ(list.index[list.first[1]], 0);
  EXPECT_EQ(list.index[list.first[1] + 1], 1);
  EXPECT_EQ(list.weight[list.first[1]], 0.5);
  EXPECT_EQ(list.weight[list.first[1] + 1], 0.5);
}

TEST(ResampleContributors, MirrorsAtBothEdgesAndAgainForTinySources) {
  EXPECT_EQ(MirrorIndex(-1, 5), 1);
  EXPECT_EQ(MirrorIndex(-4, 5), 4);
  EXPECT_EQ(MirrorIndex(5, 5), 4);
  EXPECT_EQ(MirrorIndex(6, 5), 3);
  EXPECT_EQ(MirrorIndex(-3, 2), 0);  // 3, then 2*2-1-3
  EXPECT_EQ(MirrorIndex(5, 2), 1);   // -2, then 2
  EXPECT_EQ(MirrorIndex(-7, 1), 0);
  EXPECT_EQ(MirrorIndex(9, 1), 0);
  for (const TResampleFilter f : kKernelFilters) {
    for (int src = 1; src <= 4; ++src) {
      for (const int dst : {1, 2, 3, 7, 40}) {
        const TContributors list = BuildContributors(src, dst, f);
        for (const std::int32_t index : list.index) ASSERT_TRUE(index >= 0 && index < src) << f << " " << src;
      }
    }
  }
}

// Sizes chosen to cross every boundary of the vector code: one-pixel
// sources and targets, row groups that do not fill the lanes, odd column
// counts, row byte counts that are not multiples of the vector width,
// several column strips, and mixed enlarging/reducing per axis.
struct SizeCase {
  int w, h, nw, nh;
};
constexpr SizeCase kSizes[] = {
    {1, 1, 1, 1},   {1, 1, 5, 3},   {1, 7, 4, 2},    {7, 1, 3, 9},    {2, 3, 11, 1},  {3, 2, 1, 13},
    {5, 5, 5, 5},   {13, 9, 6, 4},  {13, 9, 27, 19}, {37, 23, 12, 41}, {64, 48, 21, 17}, {41, 3, 17, 30},
    {6, 40, 35, 5}, {100, 7, 33, 7}, {9, 100, 9, 33}, {17, 17, 16, 18}, {50, 3, 150, 5}, {300, 2, 70, 3},
    {200, 1, 1, 1},
};

TEST(ResampleExactness, MatchesTheReferenceForEveryFilterSizeAndInstructionSet) {
  std::uint32_t seed = 1;
  for (const SizeCase& s : kSizes) {
    const TBitmap source = NoiseBitmap(s.w, s.h, seed++);
    for (const TResampleFilter f : kKernelFilters) {
      const TBitmap expected = reference::Resample(source, s.nw, s.nh, f);
      for (const TResampleIsa isa : Isas()) {
        const TBitmap got = Fast(source, s.nw, s.nh, f, isa);
        EXPECT_EQ(FirstDifference(got, expected), "")
            << s.w << "x" << s.h << "->" << s.nw << "x" << s.nh << " filter " << int(f) << " isa " << int(isa);
      }
    }
  }
}

TEST(ResampleExactness, MatchesTheReferenceOnALargerPhotoSizedReduction) {
  const TBitmap source = NoiseBitmap(301, 203, 77);
  for (const TResampleFilter f : {rfLanczos3, rfBell, rfMitchell}) {
    const TBitmap expected = reference::Resample(source, 128, 86, f);
    for (const TResampleIsa isa : Isas()) EXPECT_EQ(FirstDifference(Fast(source, 128, 86, f, isa), expected), "");
  }
}

TEST(ResampleExactness, ProgressValuesFollowRowsThenColumns) {
  const TBitmap source = NoiseBitmap(30, 21, 5);
  std::vector<int> expected;
  reference::Resample(source, 17, 40, rfBell, &expected);
  ASSERT_EQ(expected.size(), 21u + 17u);
  for (const TResampleIsa isa : Isas()) {
    std::vector<int> got;
    Fast(source, 17, 40, rfBell, isa, &got);
    EXPECT_EQ(got, expected);
  }
  // factor 100 / 38.5: first 2, last 38 * factor = 98.7.
  EXPECT_EQ(expected.back(), 98);
  EXPECT_EQ(expected.front(), 2);
}

TEST(ResampleExactness, TiesRoundToEvenAndMeansAreExact) {
  // Triangle doubling: output column 1 is the mean of source columns 0, 1.
  TBitmap source(2, 1, TPixelFormat::pf24bit);
  const std::uint8_t pixels[] = {2, 3, 10, 3, 4, 200};
  std::copy(std::begin(pixels), std::end(pixels), source.ScanLine(0));
  for (const TResampleIsa isa : Isas()) {
    const TBitmap got = Fast(source, 4, 1, rfTriangle, isa);
    const std::uint8_t* row = got.ScanLine(0);
    EXPECT_EQ(row[0], 2);
    EXPECT_EQ(row[3], 2);  // 2.5
    EXPECT_EQ(row[4], 4);  // 3.5
    EXPECT_EQ(row[5], 105);
  }
}

TEST(ResampleExactness, OvershootIsClampedNotWrapped) {
  // A hard black/white edge makes Lanczos3 and Mitchell ring past 0 and 255.
  TBitmap source(8, 2, TPixelFormat::pf24bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 4 * 3; x < 8 * 3; ++x) source.ScanLine(y)[x] = 255;
  for (const TResampleFilter f : {rfLanczos3, rfMitchell}) {
    for (const TResampleIsa isa : Isas()) {
      const TBitmap got = Fast(source, 29, 2, f, isa);
      const std::uint8_t* row = got.ScanLine(0);
      EXPECT_LE(row[0], 1);
      EXPECT_GE(row[28 * 3], 254);
      for (int x = 0; x < 29 * 3; x += 3) {
        if (x < 12 * 3) {
          EXPECT_LT(row[x], 128) << x / 3;
        } else if (x > 16 * 3) {
          EXPECT_GT(row[x], 128) << x / 3;
        }
      }
    }
  }
}

// Lanczos3's weights sum to slightly less than 1 (down to 0.9943), which
// may cost a step in each pass.
TEST(ResampleExactness, OneColourStaysOneColourExceptLanczos) {
  TBitmap source(5, 4, TPixelFormat::pf24bit);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      source.ScanLine(y)[x * 3] = 17;
      source.ScanLine(y)[x * 3 + 1] = 128;
      source.ScanLine(y)[x * 3 + 2] = 250;
    }
  for (const TResampleFilter f : kKernelFilters) {
    const int slack = f == rfLanczos3 ? 2 : 0;
    const TBitmap got = Fast(source, 23, 13, f, BestResampleIsa());
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 23; ++x) {
        EXPECT_NEAR(got.ScanLine(y)[x * 3], 17, slack) << int(f);
        EXPECT_NEAR(got.ScanLine(y)[x * 3 + 1], 128, slack) << int(f);
        EXPECT_NEAR(got.ScanLine(y)[x * 3 + 2], 250, slack) << int(f);
      }
  }
}

// FNV-1a over every output of a fixed set of jobs. The constant was taken
// from the native build; the Windows build must give the same bytes.
std::uint64_t Digest(const TBitmap& bitmap, std::uint64_t hash) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width() * 3; ++x) hash = (hash ^ bitmap.ScanLine(y)[x]) * 1099511628211ull;
  return hash;
}

TEST(ResampleExactness, SameBytesOnEveryBuild) {
  const TBitmap source = NoiseBitmap(97, 61, 2024);
  for (const TResampleIsa isa : Isas()) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const TResampleFilter f : kKernelFilters) {
      hash = Digest(Fast(source, 41, 26, f, isa), hash);
      hash = Digest(Fast(source, 203, 150, f, isa), hash);
    }
    EXPECT_EQ(hash, 0x024837d605f4a28cull) << std::hex << hash;
  }
}

}  // namespace
}  // namespace skyloom
