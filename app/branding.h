#pragma once
// The program's own look: the about text of the info panel and the styling
// of the tray menu. Header-only, so that the widgets demo shows exactly what
// the program shows without linking the application.
#include <windows.h>

#include "widgets/xp_popup_menu.h"

namespace skyloom {

inline constexpr char kAboutText[] =
    "<P ALIGN=center><FONT FACE=\"Tahoma\" SIZE=12 COLOR=\"#FF0000\"><B>Skyloom</B></FONT></P><BR>"
    "<P ALIGN=\"centre\">by <B>Quillbright</B></P>"
    "<P ALIGN=left><HR><BR>Visit us at <A HREF=\"https://quillbright.example/\">https://quillbright.example/</A>"
    "<BR>For this software and more...</P>";

// Colours and the red vertical title of the tray menu.
inline void StyleTrayMenu(TXPPopupMenu& menu) {
  menu.BarColors.FontHilightColor = 0x80000000u + COLOR_MENUTEXT;
  menu.BarColors.FontNormalColor = 0;
  menu.MenuTitle.GradientStart = 0xC0C0C0;
  menu.MenuTitle.GradientEnd = 0xFFFFFF;
  menu.MenuTitle.VerticalText = L"  Skyloom";
  menu.MenuTitle.VerticalFontColor = 0x0000FF;
  LOGFONTW& font = menu.MenuTitle.VerticalFont;
  lstrcpynW(font.lfFaceName, L"Arial Narrow", LF_FACESIZE);
  font.lfHeight = -19;
  font.lfWeight = FW_BOLD;
  font.lfCharSet = ANSI_CHARSET;
}

}  // namespace skyloom
