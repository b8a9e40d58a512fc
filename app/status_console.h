#pragma once
// /status without a file: the report goes to the program's output (a file or
// pipe it was started with) or to the console it was started from. A GUI
// program has no console of its own, and a second start's report is written
// by the running instance, which has none either: so a second start hands a
// plain /status over as /status=FILE of its own, waits a few seconds for the
// running instance to write it, prints it and removes it.
#include <string>
#include <vector>

namespace skyloom {

// Writes UTF-8 text to the output or the parent's console; nothing when
// there is neither.
void PrintToConsole(const std::string& text);

class TStatusRequest {
 public:
  explicit TStatusRequest(std::vector<std::wstring> arguments);
  ~TStatusRequest();
  TStatusRequest(const TStatusRequest&) = delete;
  TStatusRequest& operator=(const TStatusRequest&) = delete;

  // The arguments to hand over.
  const std::vector<std::wstring>& Arguments() const { return arguments_; }
  // After the hand-over: prints the report once it is written. False when
  // a report was asked for and none came.
  bool PrintWhenWritten() const;

 private:
  std::vector<std::wstring> arguments_;
  std::wstring file_;  // empty: no plain /status
};

}  // namespace skyloom
