#include "image/resample_stripes.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace skyloom {
namespace {

// Weighted sums one more thread must have to do before it is started: about
// half a millisecond of filtering, against tens of microseconds to start
// and join a thread.
constexpr double kWorkPerThread = 1 << 20;

// What the threads of one run share. Stripes are handed out in order from
// one counter; the calling thread learns which ones are complete.
class TStripeRun {
 public:
  TStripeRun(int stripes, const TStripeWork& stripe) : stripe_(stripe), stripes_(stripes), done_(stripes, 0) {}

  void Work(int thread) {
    while (TakeAndRun(thread)) {
    }
  }

  // Computes the next stripe; answers false when none was left to take or
  // the run is stopping.
  bool TakeAndRun(int thread) {
    if (stop_.load()) return false;
    const int index = next_.fetch_add(1);
    if (index >= stripes_) return false;
    try {
      stripe_(index, thread);
    } catch (...) {
      Fail(std::current_exception());
      return false;
    }
    const std::lock_guard lock(mutex_);
    done_[index] = 1;
    changed_.notify_one();
    return true;
  }

  // The count of stripes complete from 0 on, `known` or more; with `wait`
  // blocks until it exceeds `known` or a stripe failed.
  int Complete(int known, bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) changed_.wait(lock, [&] { return done_[known] != 0 || error_; });
    while (known < stripes_ && done_[known]) ++known;
    return known;
  }

  void Stop() { stop_.store(true); }
  bool Failed() const { return failed_.load(); }

  // Only once every thread has ended.
  void RethrowFailure() const {
    if (error_) std::rethrow_exception(error_);
  }

 private:
  void Fail(std::exception_ptr error) {
    const std::lock_guard lock(mutex_);
    if (!error_) error_ = error;  // the first one tells what went wrong
    failed_.store(true);
    stop_.store(true);
    changed_.notify_one();
  }

  const TStripeWork& stripe_;
  const int stripes_;
  std::atomic<int> next_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> failed_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<char> done_;  // under mutex_
  std::exception_ptr error_;  // under mutex_ until the threads are joined
};

// The helper threads of a run: stopped and joined on every way out.
class TWorkers {
 public:
  TWorkers(TStripeRun& run, int count) : run_(run) {
    threads_.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int thread = 1; thread <= count; ++thread) {
      try {
        threads_.emplace_back([&run, thread] { run.Work(thread); });
      } catch (const std::system_error&) {
        break;  // the threads that did start, and the caller, do the work
      }
    }
  }
  TWorkers(const TWorkers&) = delete;
  TWorkers& operator=(const TWorkers&) = delete;
  ~TWorkers() {
    run_.Stop();
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  TStripeRun& run_;
  std::vector<std::thread> threads_;
};

}  // namespace

int ResampleThreads(int requested, double work) {
  if (requested > 0) return std::min(requested, kMaxResampleThreads);
  const int hardware = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxResampleThreads);
  const double affordable = std::clamp(work / kWorkPerThread, 1.0, static_cast<double>(hardware));
  return static_cast<int>(affordable);
}

bool RunStripes(int stripes, int threads, const TStripeWork& stripe, const TStripesFinished& finished) {
  if (stripes <= 0) return true;
  TStripeRun run(stripes, stripe);
  bool stopped = false;
  {
    TWorkers workers(run, std::min(threads, stripes) - 1);
    int complete = 0;
    while (complete < stripes) {
      const bool took = run.TakeAndRun(0);
      if (run.Failed()) break;
      const int now = run.Complete(complete, !took);
      if (run.Failed()) break;
      if (now == complete) continue;
      complete = now;
      if (finished(complete)) {
        stopped = true;
        break;
      }
    }
  }
  run.RethrowFailure();
  return !stopped;
}

}  // namespace skyloom
