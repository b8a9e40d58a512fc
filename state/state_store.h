#pragma once
// The state file in its folder: read once at start, written whole on each
// save through a temporary file, so a failed write leaves the old state.
#include <string>

#include "state/app_state.h"

namespace skyloom {

struct TLoadedState {
  TAppState state;     // the defaults when nothing could be read
  std::wstring note;   // what the status bar says about it ("" when all went well)
};

class TStateStore {
 public:
  // folder ends with a backslash; it is made at the first save.
  explicit TStateStore(std::wstring folder);

  const std::wstring& FilePath() const { return path_; }

  // Never raises: a file that cannot be read is moved aside as "state.bad"
  // (or "state.bad.1", ... never over an earlier copy) and the defaults come
  // back with a note naming the reason and the copy.
  TLoadedState Load();
  // Raises EError naming the file and the reason.
  void Save(const std::string& text);

 private:
  std::wstring MoveAside();

  std::wstring folder_, path_;
  // A damaged file that could not be moved aside is never written over.
  bool keepFile_ = false;
};

}  // namespace skyloom
