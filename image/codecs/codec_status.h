#pragma once
// How a codec reports content it cannot decode: it sets the component's
// Aborting flag (reached through the progress record) instead of raising.
#include "image/progress.h"

namespace skyloom {

inline void SetAborting(const TProgressRec& progress) {
  if (progress.aborting) *progress.aborting = true;
}

}  // namespace skyloom
