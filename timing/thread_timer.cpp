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

// Sleeps the given length of active time: time spent inactive does not
// count, so deactivating and reactivating continues the sleep in progress.
bool TThreadTimer::SleepFor(std::chrono::milliseconds length) {
  std::unique_lock lock(mutex_);
  auto remaining = std::chrono::duration_cast<Clock::duration>(length);
  while (remaining > Clock::duration::zero()) {
    if (!WaitWhileInactive(lock)) return false;
    const auto start = Clock::now();
    changed_.wait_for(lock, remaining, [this] { return !active_ || terminated_; });
    if (terminated_) return false;
    remaining -= Clock::now() - start;
  }
  return true;
}

void TThreadTimer::Run() {
  for (;;) {
    std::chrono::milliseconds length;
    {
      std::unique_lock lock(mutex_);
      if (!WaitWhileInactive(lock)) return;
      length = std::chrono::milliseconds(static_cast<std::uint32_t>(delay_));
    }
    if (!SleepFor(length)) return;
    {
      std::unique_lock lock(mutex_);
      if (!WaitWhileInactive(lock)) return;
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
    if (terminated_) return;
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
