#pragma once
// TWebView: the pictures the shell's folder web view shows, kept as
// WVLEFT.BMP, WVLINE.GIF and WVLOGO.GIF in the Windows directory's "Web".
#include <string>

namespace skyloom {

class TWebView {
 public:
  std::string WebViewLeft;
  std::string WebViewLine;
  std::string WebViewLogo;

  void Read();
  // Backs up the current pictures (".BAK"), copies the new ones over them
  // and leaves each picture hidden. Failed copies are ignored.
  void Write() const;
};

}  // namespace skyloom
