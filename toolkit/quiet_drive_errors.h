#pragma once
// While it lives, a drive without a medium answers the calls of this thread
// with an error instead of a system box asking for a disk.
#include <windows.h>

namespace skyloom {

class QuietDriveErrors {
 public:
  QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_); }
  ~QuietDriveErrors() { SetThreadErrorMode(old_, nullptr); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD old_ = 0;
};

}  // namespace skyloom
