#pragma once
// Writes the remembered state a short while after the last change (at most
// that long after the first of a run of changes), and at once when asked at
// the end. A write happens only when the state differs from what was last
// written or found at start, so starting and leaving without a change never
// touches the file. A failed write is said once and tried again at the next
// change.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "state/app_state.h"
#include "state/state_store.h"

namespace skyloom {

class TStateRecorder {
 public:
  static constexpr UINT_PTR kTimerId = 0x5354;  // a WM_TIMER id of the window
  static constexpr UINT kDelayMs = 2000;

  // collect fills the state; kept holds what the file had beyond it (values
  // of features not built in), which is written back as it was; say shows
  // a line in the status bar.
  TStateRecorder(std::unique_ptr<TStateStore> store, HWND window, TAppState kept,
                 std::function<void(TAppState&)> collect, std::function<void(const std::wstring&)> say);
  ~TStateRecorder();

  // What the state is now counts as written.
  void TakeAsWritten();
  void Changed();
  // The window's timer; answers whether it was ours.
  bool Timer(UINT_PTR id);
  void Flush();
  // The last write; nothing is written after it.
  void Finish();

 private:
  std::string CurrentText() const;

  std::unique_ptr<TStateStore> store_;
  HWND window_;
  TAppState kept_;
  std::function<void(TAppState&)> collect_;
  std::function<void(const std::wstring&)> say_;
  std::string written_;
  ULONGLONG pendingSince_ = 0;
  bool failureSaid_ = false;
  bool finished_ = false;
};

}  // namespace skyloom
