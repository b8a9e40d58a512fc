// The resampler on several threads: the same bytes and progress as on one,
// progress and abort on the calling thread, failures carried back to it.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "image/image_proc.h"
#include "image/resample.h"
#include "image/resample_stripes.h"
#include "tests/image/resample_test_util.h"

namespace skyloom {
namespace {

using testing_util::FirstDifference;
using testing_util::NoiseBitmap;

struct TRun {
  TBitmap bitmap;
  std::vector<int> progress;
  bool offThread = false;  // a progress call came from another thread
};

TRun Resample(const TBitmap& source, int width, int height, TResampleFilter filter, TResampleIsa isa, int threads) {
  TRun run{TBitmap(width, height, TPixelFormat::pf24bit), {}, false};
  const std::thread::id caller = std::this_thread::get_id();
  TProgressEvent event = [&](void*, int percent) {
    run.progress.push_back(percent);
    run.offThread |= std::this_thread::get_id() != caller;
  };
  bool aborting = false;
  EXPECT_TRUE(FilteredResample(source, run.bitmap, filter, TProgressRec{&event, nullptr, 0.0, &aborting}, isa,
                               threads));
  return run;
}

// Odd sizes that split unevenly into row groups and threads, enlarging and
// reducing, and pictures with fewer rows than threads.
TEST(ResampleThreads, EveryThreadCountGivesTheSingleThreadedBytesAndProgress) {
  struct {
    int w, h, nw, nh;
  } const sizes[] = {{37, 23, 101, 57}, {301, 203, 97, 61}, {13, 129, 250, 31}, {5, 3, 2, 9}, {211, 2, 3, 1}};
  std::vector<TResampleIsa> isas{TResampleIsa::isaSse2};
  if (IsaAvailable(TResampleIsa::isaAvx2)) isas.push_back(TResampleIsa::isaAvx2);
  std::uint32_t seed = 40;
  for (const auto& s : sizes) {
    const TBitmap source = NoiseBitmap(s.w, s.h, seed++);
    for (const TResampleFilter f : {rfTriangle, rfBell, rfLanczos3, rfMitchell}) {
      for (const TResampleIsa isa : isas) {
        const TRun one = Resample(source, s.nw, s.nh, f, isa, 1);
        for (const int threads : {2, 3, 8}) {
          const TRun many = Resample(source, s.nw, s.nh, f, isa, threads);
          const auto what = ::testing::Message() << s.w << "x" << s.h << "->" << s.nw << "x" << s.nh << " filter "
                                                 << int(f) << " isa " << int(isa) << " threads " << threads;
          EXPECT_EQ(FirstDifference(many.bitmap, one.bitmap), "") << what;
          EXPECT_EQ(many.progress, one.progress) << what;
          EXPECT_FALSE(many.offThread) << what;
        }
      }
    }
  }
}

TEST(ResampleThreads, AbortStopsAtTheReportThatSetItInEitherPass) {
  TBitmap bitmap = NoiseBitmap(240, 180, 8);
  const TBitmap before = bitmap;
  TImageProc proc;
  proc.AutoUndo = false;
  proc.Threads = 4;
  proc.AttachedBitmap(&bitmap);
  for (const int stopAt : {5, 180 + 20}) {  // a source row, an output column
    int calls = 0;
    proc.OnProgress = [&](void*, int) {
      if (++calls == stopAt) proc.Aborting = true;
    };
    proc.Resample(150, 97, rfLanczos3);
    EXPECT_EQ(calls, stopAt);
    EXPECT_TRUE(proc.Aborting);
    EXPECT_EQ(FirstDifference(bitmap, before), "");
  }
}

// Stripe i writes square[i]; reports must only ever cover written stripes.
TEST(ResampleStripes, ReportsRiseOnTheCallingThreadOverCompletedStripesOnly) {
  constexpr int kStripes = 997;
  std::vector<long long> square(kStripes, -1);
  std::vector<int> counts;
  bool coveredUnwritten = false;
  bool offThread = false;
  const std::thread::id caller = std::this_thread::get_id();
  const bool whole = RunStripes(
      kStripes, 8, [&](int i, int) { square[i] = static_cast<long long>(i) * i; },
      [&](int count) {
        for (int i = counts.empty() ? 0 : counts.back(); i < count; ++i)
          coveredUnwritten |= square[i] != static_cast<long long>(i) * i;
        offThread |= std::this_thread::get_id() != caller;
        counts.push_back(count);
        return false;
      });
  EXPECT_TRUE(whole);
  EXPECT_FALSE(coveredUnwritten);
  EXPECT_FALSE(offThread);
  ASSERT_FALSE(counts.empty());
  EXPECT_EQ(counts.back(), kStripes);
  for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_LT(counts[i - 1], counts[i]);
}

// Once RunStripes has thrown, no stripe may still be running.
TEST(ResampleStripes, FailuresReachTheCallerAfterEveryThreadHasEnded) {
  std::atomic<int> running{0};
  const auto work = [&](int i, int failing) {
    ++running;
    volatile double sink = 0;
    for (int k = 0; k < 2000; ++k) sink = sink + k;  // long enough to overlap
    --running;
    if (i == failing) throw std::runtime_error("stripe " + std::to_string(i));
  };
  try {
    RunStripes(5000, 8, [&](int i, int) { work(i, 300); }, [](int) { return false; });
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "stripe 300");
  }
  EXPECT_EQ(running.load(), 0);

  // A progress handler that throws on the calling thread ends the run too.
  const auto handler = [](int count) -> bool {
    if (count >= 3) throw std::length_error("handler");
    return false;
  };
  EXPECT_THROW(RunStripes(5000, 8, [&](int i, int) { work(i, -1); }, handler), std::length_error);
  EXPECT_EQ(running.load(), 0);
  // A handler that asks to stop is answered with false.
  EXPECT_FALSE(RunStripes(5000, 8, [](int, int) {}, [](int) { return true; }));
}

TEST(ResampleStripes, ThreadCounts) {
  EXPECT_EQ(ResampleThreads(3, 0.0), 3);
  EXPECT_EQ(ResampleThreads(1, 1e12), 1);
  EXPECT_EQ(ResampleThreads(50, 0.0), kMaxResampleThreads);
  EXPECT_EQ(ResampleThreads(0, 5000.0), 1);  // a thumbnail-sized job stays on one
  const int hardware = static_cast<int>(std::thread::hardware_concurrency());
  const int automatic = ResampleThreads(0, 1e12);
  EXPECT_GE(automatic, 1);
  EXPECT_LE(automatic, kMaxResampleThreads);
  if (hardware > 0) {
    EXPECT_EQ(automatic, std::min(hardware, kMaxResampleThreads));
  }
}

}  // namespace
}  // namespace skyloom
