#pragma once
// TScreenSaver: the screen-saver program ("SCRNSAVE.EXE" in section "boot" of
// the Windows directory's SYSTEM.INI) and whether the screen saver is on.
#include <string>

namespace skyloom {

class TScreenSaver {
 public:
  std::string ScreenSaver;
  bool Active = false;

  void Read();
  void Write() const;
};

// The path with its directory in the short (8.3) form and the file name as
// it is; unchanged when the directory has no short form (it may not exist).
std::string ShortDirectoryForm(const std::string& path);

}  // namespace skyloom
