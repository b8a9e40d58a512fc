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
  // For a second start: whether the first still runs. The first holds the
  // name until its process ends.
  bool FirstRuns() const;

 private:
  UniqueHandle mutex_;
  bool first_ = true;
};

// Sends the arguments (relative list paths made absolute first) to the
// running main window. It waits as long as the first instance runs: while
// its window is being made and while it is busy (a long list loading).
// Answers whether the window took them.
bool HandOverCommandLine(const std::vector<std::wstring>& arguments, const TSingleInstance& instance);

// What a second start says when its arguments could not be handed over.
std::wstring HandOverFailureText(const std::vector<std::wstring>& arguments);

// An argument as handed over: a switch as it is, a path made absolute, but a
// device name ("CON.Gal") as given, so that the running instance refuses it
// in the same words as a first start.
std::wstring HandOverArgument(const std::wstring& argument);

// The process's arguments without the program name.
std::vector<std::wstring> ProcessArguments();

}  // namespace skyloom
