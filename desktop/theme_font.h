#pragma once
// TThemeFont: a font as the window metrics carry it, and its LOGFONT form.
#include <windows.h>

#include <string>

namespace skyloom {

enum TFontPitch { fpDefault, fpVariable, fpFixed };

struct TThemeFont {
  std::string Name;
  int Height = 0;  // negative for a character height, as LOGFONT holds it
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  BYTE Charset = DEFAULT_CHARSET;
  TFontPitch Pitch = fpDefault;

  friend bool operator==(const TThemeFont&, const TThemeFont&) = default;
};

TThemeFont FontFromLogFont(const LOGFONTA& logFont);
// "Default" (any case) is sent as "MS Sans Serif"; a name the system code
// page cannot spell is left empty so that the system picks its own face.
LOGFONTA LogFontFromFont(const TThemeFont& font);

}  // namespace skyloom
