#include "desktop/theme_font.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "toolkit/text_win.h"

namespace skyloom {

namespace {

bool IsDefaultName(const std::string& name) {
  constexpr std::string_view kDefault = "default";
  return name.size() == kDefault.size() &&
         std::equal(name.begin(), name.end(), kDefault.begin(),
                    [](unsigned char a, char b) { return std::tolower(a) == b; });
}

// The face name in the system code page, shortened by whole characters so
// that it fits LOGFONT's field with its terminator.
std::string FaceNameBytes(const std::string& name) {
  std::wstring wide = Widen(IsDefaultName(name) ? std::string("MS Sans Serif") : name);
  for (;;) {
    const auto bytes = ToCodePage(wide);
    if (!bytes) return {};
    if (bytes->size() < LF_FACESIZE) return *bytes;
    wide.pop_back();
  }
}

BYTE PitchBits(TFontPitch pitch) {
  switch (pitch) {
    case fpVariable: return VARIABLE_PITCH;
    case fpFixed: return FIXED_PITCH;
    default: return DEFAULT_PITCH;
  }
}

}  // namespace

TThemeFont FontFromLogFont(const LOGFONTA& logFont) {
  TThemeFont font;
  const std::size_t length = strnlen(logFont.lfFaceName, LF_FACESIZE);
  font.Name = Narrow(FromCodePage(std::string(logFont.lfFaceName, length)));
  font.Height = logFont.lfHeight;
  font.Bold = logFont.lfWeight >= FW_BOLD;
  font.Italic = logFont.lfItalic != 0;
  font.Underline = logFont.lfUnderline != 0;
  font.StrikeOut = logFont.lfStrikeOut != 0;
  font.Charset = logFont.lfCharSet;
  const BYTE pitch = logFont.lfPitchAndFamily & 3;
  font.Pitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  return font;
}

LOGFONTA LogFontFromFont(const TThemeFont& font) {
  LOGFONTA logFont{};
  logFont.lfHeight = font.Height;
  logFont.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = font.Italic;
  logFont.lfUnderline = font.Underline;
  logFont.lfStrikeOut = font.StrikeOut;
  logFont.lfCharSet = font.Charset;
  logFont.lfPitchAndFamily = PitchBits(font.Pitch);
  const std::string face = FaceNameBytes(font.Name);
  std::memcpy(logFont.lfFaceName, face.data(), face.size());
  return logFont;
}

}  // namespace skyloom
