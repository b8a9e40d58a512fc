#pragma once
// TSounds: the sound files of 20 system events, each the default value of
// "AppEvents\Schemes\Apps\<event>\.Current".
#include <string>

#include "desktop/theme_registry.h"

namespace skyloom {

class TSounds {
 public:
  std::string Default;
  std::string AppGPFault;
  std::string Maximize;
  std::string MenuCommand;
  std::string MenuPopup;
  std::string Minimize;
  std::string Open;
  std::string Close;
  std::string RestoreDown;
  std::string RestoreUp;
  std::string RingIn;
  std::string Ringout;
  std::string SystemAsterisk;
  std::string SystemDefault;
  std::string SystemExclamation;
  std::string SystemExit;
  std::string SystemHand;
  std::string SystemQuestion;
  std::string SystemStart;
  std::string EmptyRecycleBin;

  void Read(TRegistryProblems* problems = nullptr);
  void Write() const;
};

}  // namespace skyloom
