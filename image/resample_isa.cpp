// Which vector instruction sets the filtered resample may use on this CPU.
#include "image/resample.h"

namespace skyloom {

bool IsaAvailable(TResampleIsa isa) {
  if (isa == TResampleIsa::isaSse2) return true;  // every x86-64 CPU has it
  // Also checks that the system saves the wide registers.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

TResampleIsa BestResampleIsa() {
  return IsaAvailable(TResampleIsa::isaAvx2) ? TResampleIsa::isaAvx2 : TResampleIsa::isaSse2;
}

}  // namespace skyloom
