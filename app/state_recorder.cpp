#include "app/state_recorder.h"

#include "state/state_file.h"
#include "toolkit/text_win.h"

namespace skyloom {

TStateRecorder::TStateRecorder(std::unique_ptr<TStateStore> store, HWND window, TAppState kept,
                               std::function<void(TAppState&)> collect,
                               std::function<void(const std::wstring&)> say)
    : store_(std::move(store)), window_(window), kept_(std::move(kept)), collect_(std::move(collect)),
      say_(std::move(say)) {}

TStateRecorder::~TStateRecorder() { KillTimer(window_, kTimerId); }

std::string TStateRecorder::CurrentText() const {
  TAppState state = kept_;
  collect_(state);
  return WriteStateText(state);
}

void TStateRecorder::TakeAsWritten() { written_ = CurrentText(); }

// Restarted by each change, but a change never waits much longer than the
// delay: a run of changes (a window dragged about) is written meanwhile.
void TStateRecorder::Changed() {
  if (finished_) return;
  const ULONGLONG now = GetTickCount64();
  if (pendingSince_ == 0) pendingSince_ = now;
  const bool overdue = now - pendingSince_ >= kDelayMs;
  SetTimer(window_, kTimerId, overdue ? USER_TIMER_MINIMUM : kDelayMs, nullptr);
}

bool TStateRecorder::Timer(UINT_PTR id) {
  if (id != kTimerId) return false;
  Flush();
  return true;
}

void TStateRecorder::Flush() {
  KillTimer(window_, kTimerId);
  pendingSince_ = 0;
  if (finished_) return;
  std::string text = CurrentText();
  if (text == written_) return;
  try {
    store_->Save(text);
  } catch (const std::exception& error) {
    if (!failureSaid_) say_(L"Settings cannot be saved: " + Widen(error.what()));
    failureSaid_ = true;
    return;
  }
  written_ = std::move(text);
  failureSaid_ = false;
}

void TStateRecorder::Finish() {
  Flush();
  finished_ = true;
}

}  // namespace skyloom
