#include "timing/thread_timer.h"

#include <algorithm>

namespace skyloom {

TThreadTimer::TThreadTimer(TMainThreadCall mainThread, std::function<void()> answerCalls)
    : mainThread_(std::move(mainThread)), answerCalls_(std::move(answerCalls)) {
  worker_ = std::thread([this] {
    Run();
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  });
}

// No tick is delivered after destruction has begun: the mark is set first,
// and the main-thread side of a hand-over already on its way tests it. The
// worker wakes at once (no waiting out a long sleep). A hand-over it may be
// blocked in is answered (as a no-op) while waiting for it to end.
TThreadTimer::~TThreadTimer() {
  std::unique_lock lock(mutex_);
  terminated_ = true;
  changed_.notify_all();
  while (!finished_) {
    lock.unlock();
    if (answerCalls_) answerCalls_();
    lock.lock();
    changed_.wait_for(lock, std::chrono::milliseconds(5), [this] { return finished_; });
  }
  lock.unlock();
  worker_.join();
}

bool TThreadTimer::Active() const {
  std::lock_guard lock(mutex_);
  return active_;
}

void TThreadTimer::SetActive(bool value) {
  {
    std::lock_guard lock(mutex_);
    if (active_ == value) return;
    active_ = value;
    if (value) ++activations_;
  }
  changed_.notify_all();
}

bool TThreadTimer::Paused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

void TThreadTimer::SetPaused(bool value) {
  {
    std::lock_guard lock(mutex_);
    if (paused_ == value) return;
    paused_ = value;
    if (value && sleeping_) held_ = LeftOfSleep();
  }
  changed_.notify_all();
}

std::int64_t TThreadTimer::RemainingMs() const {
  std::lock_guard lock(mutex_);
  if (!active_) return -1;
  const auto left = paused_ ? held_ : sleeping_ ? LeftOfSleep() : Clock::duration::zero();
  return std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
}

// Under the lock, while sleeping_.
TThreadTimer::Clock::duration TThreadTimer::LeftOfSleep() const {
  return std::max(Clock::duration::zero(), sleepEnd_ - Clock::now());
}

std::int32_t TThreadTimer::Delay() const {
  std::lock_guard lock(mutex_);
  return delay_;
}

void TThreadTimer::SetDelay(std::int32_t value) {
  std::lock_guard lock(mutex_);
  delay_ = value;
}

void TThreadTimer::SetOnTimer(TNotify handler) {
  std::lock_guard lock(mutex_);
  onTimer_ = std::move(handler);
}

// Answers false when the timer was destroyed while waiting.
bool TThreadTimer::WaitWhileInactive(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return active_ || terminated_; });
  return !terminated_;
}

// Waits for an activation, then sleeps Delay milliseconds (the value when
// the sleep starts). A deactivation ends the sleep and the next activation
// starts a fresh one, with the Delay set by then.
bool TThreadTimer::SleepOneDelay(std::unique_lock<std::mutex>& lock) {
  for (;;) {
    if (!WaitWhileInactive(lock)) return false;
    const auto activation = activations_;
    const Clock::duration delay = std::chrono::milliseconds(static_cast<std::uint32_t>(delay_));
    if (SleepLeft(lock, activation, delay)) return true;
    if (terminated_) return false;
  }
}

// Sleeps what is left, holding while paused; true when the time ran out
// within the same activation.
bool TThreadTimer::SleepLeft(std::unique_lock<std::mutex>& lock, std::uint64_t activation, Clock::duration left) {
  const auto stopped = [&] { return terminated_ || !active_ || activations_ != activation; };
  for (;;) {
    held_ = left;
    changed_.wait(lock, [&] { return stopped() || !paused_; });
    if (stopped()) return false;
    left = held_;
    sleepEnd_ = Clock::now() + left;
    sleeping_ = true;
    const bool interrupted = changed_.wait_until(lock, sleepEnd_, [&] { return stopped() || paused_; });
    sleeping_ = false;
    if (!interrupted) return true;
    if (stopped()) return false;
    left = held_;  // paused: SetPaused measured what was left
  }
}

void TThreadTimer::Run() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      if (!SleepOneDelay(lock)) return;
    }
    // The hand-over re-raises what the main-thread side let escape; the
    // worker has nobody to report it to, so it goes on with the next sleep.
    try {
      mainThread_([this] { Tick(); });
    } catch (...) {
    }
  }
}

// On the main thread.
void TThreadTimer::Tick() {
  TNotify handler;
  {
    std::lock_guard lock(mutex_);
    if (terminated_ || !active_) return;  // stopped while the tick was on its way
    handler = onTimer_;
  }
  if (!handler) return;
  try {
    handler(this);
  } catch (...) {
    if (!OnError) throw;
    OnError();
  }
}

}  // namespace skyloom
