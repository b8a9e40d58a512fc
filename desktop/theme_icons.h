#pragma once
// TIcons: the desktop icons of My Computer, the network and the recycle bin,
// as the shell's icon locations ("file,index") in the user's class keys.
#include <string>

#include "desktop/theme_registry.h"

namespace skyloom {

class TIcons {
 public:
  std::string MyComputer;
  std::string NetHood;
  std::string Recycle;
  std::string RecycleFull;
  std::string RecycleEmpty;

  void Read(TRegistryProblems* problems = nullptr);
  void Write() const;
};

}  // namespace skyloom
