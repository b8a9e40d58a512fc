#include "timing/thread_timer.h"

#include <gtest/gtest.h>

#include <deque>
#include <future>
#include <stdexcept>
#include <vector>

namespace skyloom {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The test's own thread plays the main thread: workers queue their calls
// here and wait until the test thread has run them.
class MainThread {
 public:
  void Call(const std::function<void()>& call) {
    std::promise<void> done;
    auto finished = done.get_future();
    {
      std::lock_guard lock(mutex_);
      queue_.push_back({&call, &done});
    }
    queued_.notify_all();
    finished.get();
  }

  void Answer() {
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
      auto [call, done] = queue_.front();
      queue_.pop_front();
      lock.unlock();
      try {
        (*call)();
        done->set_value();
      } catch (...) {
        done->set_exception(std::current_exception());
      }
      lock.lock();
    }
  }

  // Answers calls until the condition holds or the time is up.
  template <typename Condition>
  bool PumpUntil(Condition condition, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!condition()) {
      if (Clock::now() > end) return false;
      {
        std::unique_lock lock(mutex_);
        queued_.wait_for(lock, 2ms, [this] { return !queue_.empty(); });
      }
      Answer();
    }
    return true;
  }
  void PumpFor(std::chrono::milliseconds length) {
    PumpUntil([] { return false; }, length);
  }

  std::size_t Waiting() {
    std::lock_guard lock(mutex_);
    return queue_.size();
  }

 private:
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::pair<const std::function<void()>*, std::promise<void>*>> queue_;
};

struct ThreadTimerTest : ::testing::Test {
  MainThread main;
  std::vector<Clock::time_point> starts, ends;
  std::thread::id mainId = std::this_thread::get_id();

  std::unique_ptr<TThreadTimer> MakeTimer(std::int32_t delay, std::chrono::milliseconds work = 0ms) {
    auto timer = std::make_unique<TThreadTimer>([this](const std::function<void()>& call) { main.Call(call); },
                                                [this] { main.Answer(); });
    timer->SetDelay(delay);
    timer->SetOnTimer([this, work](void*) {
      EXPECT_EQ(std::this_thread::get_id(), mainId);
      starts.push_back(Clock::now());
      std::this_thread::sleep_for(work);
      ends.push_back(Clock::now());
    });
    return timer;
  }
};

TEST_F(ThreadTimerTest, ASlowHandlerStretchesThePeriodAndTicksNeverOverlap) {
  auto timer = MakeTimer(60, 150ms);
  const auto activated = Clock::now();
  timer->SetActive(true);
  ASSERT_TRUE(main.PumpUntil([&] { return ends.size() >= 3; }, 5s));
  timer->SetActive(false);
  EXPECT_GE(starts[0] - activated, 60ms);
  for (std::size_t i = 1; i < starts.size(); ++i) {
    EXPECT_GE(starts[i] - ends[i - 1], 60ms) << "the interval runs from the end of the handler";
    EXPECT_GE(starts[i], ends[i - 1]);
  }
}

TEST_F(ThreadTimerTest, ActivatingTwiceResumesOnceAndOneDeactivationStopsIt) {
  auto timer = MakeTimer(20);
  timer->SetActive(true);
  timer->SetActive(true);
  ASSERT_TRUE(main.PumpUntil([&] { return starts.size() >= 2; }, 5s));
  timer->SetActive(false);
  main.PumpFor(50ms);  // a hand-over already on its way may still land
  const auto ticks = starts.size();
  main.PumpFor(200ms);
  EXPECT_EQ(starts.size(), ticks);
  EXPECT_FALSE(timer->Active());
}

TEST_F(ThreadTimerTest, ANewDelayAppliesFromTheNextSleep) {
  auto timer = MakeTimer(400);
  const auto activated = Clock::now();
  timer->SetActive(true);
  main.PumpFor(50ms);
  timer->SetDelay(10);
  ASSERT_TRUE(main.PumpUntil([&] { return starts.size() >= 3; }, 5s));
  EXPECT_GE(starts[0] - activated, 400ms);
  EXPECT_LT(starts[2] - starts[0], 350ms);
}

// Stop, a shorter interval, Start: the first tick comes one new interval
// after that Start, not when the old sleep would have ended; the same the
// other way round, and nothing comes while stopped.
TEST_F(ThreadTimerTest, EachActivationStartsAFreshSleepOfTheDelaySetThen) {
  auto timer = MakeTimer(4000);
  timer->SetActive(true);
  main.PumpFor(100ms);
  timer->SetActive(false);
  timer->SetDelay(100);
  auto started = Clock::now();
  timer->SetActive(true);
  ASSERT_TRUE(main.PumpUntil([&] { return !starts.empty(); }, 2s)) << "the old 4 s sleep went on";
  EXPECT_GE(starts[0] - started, 100ms);

  timer->SetActive(false);
  main.PumpFor(300ms);
  EXPECT_EQ(starts.size(), 1u);
  timer->SetDelay(500);
  main.PumpFor(50ms);
  started = Clock::now();
  timer->SetActive(true);
  ASSERT_TRUE(main.PumpUntil([&] { return starts.size() >= 2; }, 5s));
  EXPECT_GE(starts[1] - started, 500ms) << "a sleep left over from before the Stop";
}

// A pause 300 ms into a 600 ms sleep holds the tick however long it lasts;
// the resume brings it about 300 ms later, not a full interval. A Stop while
// paused forgets the rest, and a Start while paused holds a full interval.
TEST_F(ThreadTimerTest, APauseHoldsTheTickAndTheResumeKeepsTheTimeLeft) {
  auto timer = MakeTimer(600);
  timer->SetActive(true);
  main.PumpFor(300ms);
  timer->SetPaused(true);
  const auto held = timer->RemainingMs();
  EXPECT_GT(held, 150);
  EXPECT_LE(held, 320);  // the worker began its sleep a little after the activation
  main.PumpFor(900ms);
  EXPECT_TRUE(starts.empty()) << "a tick came while paused";
  EXPECT_EQ(timer->RemainingMs(), held) << "the time left ran on while paused";
  const auto resumed = Clock::now();
  timer->SetPaused(false);
  ASSERT_TRUE(main.PumpUntil([&] { return !starts.empty(); }, 5s));
  EXPECT_GE(starts[0] - resumed, std::chrono::milliseconds(held) - 20ms);
  EXPECT_LT(starts[0] - resumed, 550ms) << "the resume slept a whole interval";

  timer->SetPaused(true);
  timer->SetActive(false);
  EXPECT_EQ(timer->RemainingMs(), -1);
  timer->SetActive(true);
  main.PumpFor(100ms);
  EXPECT_GE(timer->RemainingMs(), 590);
  EXPECT_EQ(starts.size(), 1u);
}

TEST_F(ThreadTimerTest, WithoutAHandlerTicksStillCome) {
  int handOvers = 0;
  TThreadTimer timer(
      [&](const std::function<void()>& call) {
        main.Call([&] {
          ++handOvers;
          call();
        });
      },
      [this] { main.Answer(); });
  timer.SetDelay(10);
  timer.SetActive(true);
  EXPECT_TRUE(main.PumpUntil([&] { return handOvers >= 3; }, 5s));
}

TEST_F(ThreadTimerTest, DestroyingWhileAsleepEndsAtOnceWithoutATick) {
  auto timer = MakeTimer(2000 * 60000);  // 2000 minutes
  timer->SetActive(true);
  main.PumpFor(20ms);
  const auto start = Clock::now();
  timer.reset();
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_TRUE(starts.empty());
}

TEST_F(ThreadTimerTest, DestroyingWithAHandOverWaitingDeliversNoTickAndDoesNotHang) {
  auto timer = MakeTimer(5);
  timer->SetActive(true);
  // Do not answer: let the worker block in its hand-over.
  const auto end = Clock::now() + 5s;
  while (main.Waiting() == 0 && Clock::now() < end) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(main.Waiting(), 1u);
  timer.reset();
  EXPECT_TRUE(starts.empty());
}

TEST_F(ThreadTimerTest, AFailingHandlerIsReportedAndTheTimerGoesOn) {
  TThreadTimer timer([this](const std::function<void()>& call) { main.Call(call); }, [this] { main.Answer(); });
  int calls = 0, reported = 0;
  timer.SetDelay(10);
  timer.SetOnTimer([&](void*) {
    ++calls;
    throw std::runtime_error("Cannot open file x.jpg");
  });
  timer.OnError = [&] {
    try {
      throw;
    } catch (const std::runtime_error&) {
      ++reported;
    }
  };
  timer.SetActive(true);
  EXPECT_TRUE(main.PumpUntil([&] { return reported >= 3; }, 5s));
  EXPECT_EQ(calls, reported);
}

}  // namespace
}  // namespace skyloom
