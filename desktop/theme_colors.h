#pragma once
// TColors: the 28 system colours, kept in "Control Panel\Colors" as texts
// "R G B" and installed with one SetSysColors call.
#include <string>

#include "desktop/theme_registry.h"

#include "image/colour.h"

namespace skyloom {

// Colours are used as stored: a symbolic system colour is not resolved.

class TColors {
 public:
  TColor ActiveCaption = 0;
  TColor Background = 0;
  TColor Hilight = 0;
  TColor HilightText = 0;
  TColor CaptionText = 0;
  TColor Window = 0;
  TColor WindowText = 0;
  TColor Scrollbar = 0;
  TColor InactiveCaption = 0;
  TColor Menu = 0;
  TColor WindowFrame = 0;
  TColor MenuText = 0;
  TColor ActiveBorder = 0;
  TColor InactiveBorder = 0;
  TColor AppWorkspace = 0;
  TColor ButtonFace = 0;
  TColor ButtonShadow = 0;
  TColor GrayText = 0;
  TColor ButtonText = 0;
  TColor InactiveCaptionText = 0;
  TColor ButtonHilight = 0;
  TColor ButtonDkShadow = 0;
  TColor ButtonLight = 0;
  TColor InfoText = 0;
  TColor InfoWindow = 0;
  TColor HotLight = 0;
  TColor GradientActiveCaption = 0;
  TColor GradientInActiveCaption = 0;

  void Read(TRegistryProblems* problems = nullptr);
  void Write() const;
};

// The registry's form of a colour: red, green and blue in decimal, one blank
// apart ("0 128 128" for 0x00808000).
std::string ColorToText(TColor colour);
// The reverse, tolerant of damaged texts: a part that is not a decimal
// integer counts as 0 and every part keeps only its lowest byte.
TColor TextToColor(const std::string& text);

}  // namespace skyloom
