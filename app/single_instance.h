#pragma once
// One Skyloom per session: a second start hands its arguments to the running
// instance's main window and exits.
#include <string>
#include <vector>

#include "toolkit/handles.h"

namespace skyloom {

class TSingleInstance {
 public:
  explicit TSingleInstance(const wchar_t* name);
  bool IsFirst() const { return first_; }

 private:
  UniqueHandle mutex_;
  bool first_ = true;
};

// Sends the arguments (relative list paths made absolute first) to the
// running main window, waiting a few seconds for it to appear. Answers
// whether it was delivered.
bool HandOverCommandLine(const std::vector<std::wstring>& arguments);

// The process's arguments without the program name.
std::vector<std::wstring> ProcessArguments();

}  // namespace skyloom
