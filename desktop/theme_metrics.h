#pragma once
// TMetrics: window and icon metrics with their fonts, as the system's
// NONCLIENTMETRICS (340 bytes) and ICONMETRICS (76 bytes) records hold them.
#include "desktop/theme_font.h"

namespace skyloom {

class TMetrics {
 public:
  int BorderWidth = 0;
  int ScrollWidth = 0;
  int ScrollHeight = 0;
  int CaptionWidth = 0;
  int CaptionHeight = 0;
  TThemeFont CaptionFont;
  int SmCaptionWidth = 0;
  int SmCaptionHeight = 0;
  TThemeFont SmCaptionFont;
  int MenuWidth = 0;
  int MenuHeight = 0;
  TThemeFont MenuFont;
  TThemeFont StatusFont;
  TThemeFont MessageFont;
  int HorzSpacing = 0;
  int VertSpacing = 0;
  int TitleWarp = 0;
  TThemeFont IconFont;

  void Read();
  void Write() const;
};

}  // namespace skyloom
