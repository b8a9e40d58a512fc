#pragma once
// A last guard on the way out: once the program has decided to end, the
// process ends within a fixed time even if some clean-up step never returns.
#include <windows.h>

#include <thread>

#include "toolkit/handles.h"

namespace skyloom {

class TExitDeadline {
 public:
  // Ends the process with exitCode after ms, unless destroyed before.
  TExitDeadline(DWORD ms, UINT exitCode);
  ~TExitDeadline();
  TExitDeadline(const TExitDeadline&) = delete;
  TExitDeadline& operator=(const TExitDeadline&) = delete;

 private:
  UniqueHandle cancel_;
  std::thread watch_;
};

}  // namespace skyloom
