#pragma once
// Progress reporting shared by every reader, writer and the resampler.
#include <functional>

namespace skyloom {

// (sender, percent 0..100). The handler may set the reporting component's
// Aborting flag; the operation then stops after the current row.
using TProgressEvent = std::function<void(void* sender, int percent)>;

// What every read and write operation hands to its codec.
struct TProgressRec {
  TProgressEvent* callback = nullptr;  // may be null or empty
  void* sender = nullptr;
  double per = 0.0;                    // percent per unit, set by the codec
  bool* aborting = nullptr;            // the component's Aborting flag

  // Reports units done; answers whether the operation must stop.
  bool Report(long long done) const {
    if (callback && *callback) (*callback)(sender, static_cast<int>(done * per));
    return aborting && *aborting;
  }
  bool Aborted() const { return aborting && *aborting; }
};

}  // namespace skyloom
