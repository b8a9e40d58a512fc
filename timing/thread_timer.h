#pragma once
// A timer whose waiting is done by a worker thread and whose tick runs on
// the main thread. The worker sleeps Delay milliseconds, hands the tick to
// the main thread and waits until the handler has returned, so the
// interval runs from the end of one handler to the next tick: ticks never
// overlap and a slow handler stretches the period.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace skyloom {

class TThreadTimer {
 public:
  using TNotify = std::function<void(void* sender)>;
  // Runs a call on the main thread and returns when it has run (the
  // toolkit's synchronous main-thread call).
  using TMainThreadCall = std::function<void(const std::function<void()>& call)>;

  // answerCalls runs the main-thread calls that are waiting (used while the
  // destructor waits for the worker, which may be blocked in a hand-over).
  TThreadTimer(TMainThreadCall mainThread, std::function<void()> answerCalls);
  ~TThreadTimer();
  TThreadTimer(const TThreadTimer&) = delete;
  TThreadTimer& operator=(const TThreadTimer&) = delete;

  bool Active() const;
  // Deactivating ends the sleep in progress (no tick comes while inactive);
  // every activation starts a fresh sleep of the Delay set then, so the
  // first tick comes one full Delay after it, whatever ran before.
  void SetActive(bool value);

  std::int32_t Delay() const;
  // Applies from the next sleep; a sleep in progress keeps its length. The
  // sleep takes the value as an unsigned 32-bit count of milliseconds.
  void SetDelay(std::int32_t value);

  // Holds the tick without forgetting the time: a pause keeps what was left
  // of the sleep in progress and the resume sleeps just that much before the
  // next tick. Independent of Active: stopping while paused forgets the
  // rest, and an activation while paused holds a fresh full Delay.
  bool Paused() const;
  void SetPaused(bool value);
  // Milliseconds until the next tick (held while paused); -1 while inactive.
  std::int64_t RemainingMs() const;

  // Set while the timer is inactive (the form sets it once, at creation).
  void SetOnTimer(TNotify handler);

  // An error raised by the handler goes here (on the main thread, inside the
  // tick); the timer keeps running and the next tick comes one full Delay
  // after this returns.
  std::function<void()> OnError;

 private:
  using Clock = std::chrono::steady_clock;
  void Run();
  bool SleepOneDelay(std::unique_lock<std::mutex>& lock);  // false when terminated
  bool SleepLeft(std::unique_lock<std::mutex>& lock, std::uint64_t activation, Clock::duration left);
  Clock::duration LeftOfSleep() const;
  bool WaitWhileInactive(std::unique_lock<std::mutex>& lock);
  void Tick();

  TMainThreadCall mainThread_;
  std::function<void()> answerCalls_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool active_ = false;
  std::uint64_t activations_ = 0;  // tells a sleep that it was stopped and started again
  bool paused_ = false;
  bool sleeping_ = false;         // sleepEnd_ is the end of the sleep in progress
  Clock::time_point sleepEnd_{};
  Clock::duration held_{};        // what is left while paused
  bool terminated_ = false;
  bool finished_ = false;
  std::int32_t delay_ = 100;
  TNotify onTimer_;
  std::thread worker_;
};

}  // namespace skyloom
