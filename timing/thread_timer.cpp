#include "timing/thread_timer.h"

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
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<std::uint32_t>(delay_));
    const bool interrupted = changed_.wait_until(
        lock, end, [&] { return terminated_ || !active_ || activations_ != activation; });
    if (terminated_) return false;
    if (!interrupted) return true;
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
