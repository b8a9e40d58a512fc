#pragma once
// TCursors: the 14 cursor files of "Control Panel\Cursors", installed as the
// system cursors.
#include <functional>
#include <string>

#include "desktop/theme_registry.h"

namespace skyloom {

class TCursors {
 public:
  std::string Arrow;
  std::string Help;
  std::string AppStarting;
  std::string Wait;
  std::string NWPen;
  std::string No;
  std::string SizeNS;
  std::string SizeWE;
  std::string CrossHair;
  std::string IBeam;
  std::string SizeNWSE;
  std::string SizeNESW;
  std::string SizeAll;
  std::string UpArrow;

  void Read(TRegistryProblems* problems = nullptr);
  void Write() const;

  // Installs a loaded cursor (an HCURSOR) as the system cursor with that
  // identifier; answers false when refused. SetSystemCursor unless set (a
  // seam for tests, which then own the cursors they accept).
  std::function<bool(void* cursor, unsigned id)> InstallSystemCursor;

 private:
  void Install() const;
};

}  // namespace skyloom
