#pragma once
// TCursors: the 14 cursor files of "Control Panel\Cursors", installed as the
// system cursors.
#include <string>

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

  void Read();
  void Write() const;

 private:
  void Install() const;
};

}  // namespace skyloom
