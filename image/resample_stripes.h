#pragma once
// Running the rows of a resampling pass on several threads. The calling
// thread takes stripes too, and it alone hears of finished work, so the
// progress handler and the Aborting flag never leave it.
#include <functional>

namespace skyloom {

constexpr int kMaxResampleThreads = 8;

// Threads for a job of `work` weighted sums (pixel-taps). A `requested`
// count above zero is used as it is (capped at kMaxResampleThreads), so
// tests and benchmarks can pin it; zero means the machine's hardware
// threads (1..kMaxResampleThreads), fewer for a job too small to repay
// starting them.
int ResampleThreads(int requested, double work);

// stripe(index, thread): computes one stripe; `thread` (0 .. threads - 1)
// names the calling thread's own scratch. It may run on any thread.
using TStripeWork = std::function<void(int stripe, int thread)>;
// finished(count): `count` stripes from 0 on are complete (it rises on
// every call and ends at the stripe count). Answers true to stop the run.
using TStripesFinished = std::function<bool(int count)>;

// Runs every stripe in 0 .. stripes - 1 on up to `threads` threads, the
// caller being one of them; `finished` is called on the calling thread
// only. Answers false when `finished` stopped the run (no stripe is
// started after that). Every thread started here has ended when this
// returns or throws; an exception from a stripe is rethrown here.
bool RunStripes(int stripes, int threads, const TStripeWork& stripe, const TStripesFinished& finished);

}  // namespace skyloom
