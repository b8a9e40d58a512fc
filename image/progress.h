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
  double per = 0.0;                    // percent per unit, when units is 0
  bool* aborting = nullptr;            // the component's Aborting flag
  // The codecs' factor is 100 / units (units: rows, or rows of all passes),
  // applied in integers: done x (100.0 / 97) at done = 97 gives 99.
  long long units = 0;

  // Reports units done; answers whether the operation must stop.
  bool Report(long long done) const {
    if (callback && *callback) (*callback)(sender, Percent(done));
    return aborting && *aborting;
  }
  bool Aborted() const { return aborting && *aborting; }

  int Percent(long long done) const {
    if (units > 0) return static_cast<int>(done * 100 / units);
    return static_cast<int>(done * per);
  }
};

}  // namespace skyloom
