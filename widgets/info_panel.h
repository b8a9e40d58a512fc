#pragma once
// A panel that shows formatted text (a small subset of HTML) inside a
// beveled frame, with clickable links. Web and mail links open through the
// shell; other link targets only reach OnAnchorClick. The caption bar,
// background pictures, hover colours, link hints and user moving and sizing
// are not provided: nothing here switches them on.
#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/window.h"
#include "widgets/gdi_text_canvas.h"
#include "widgets/html_layout.h"

namespace skyloom {

enum class TTextVAlign { tvaTop, tvaCenter, tvaBottom };
enum class TPanelBevel { bvNone, bvLowered, bvRaised };

using TAnchorEvent = std::function<void(void* sender, const std::string& anchor)>;

class TInfoPanel : public TWindow {
 public:
  TInfoPanel(HWND parent, int left, int top, int width, int height);

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);  // Windows-1252 marked-up text

  html::TColor URLColor = 0xFF0000;
  html::TColor ShadowColor = 0x808080;
  int ShadowOffset = 2;
  TTextVAlign TextVAlign = TTextVAlign::tvaTop;
  TPanelBevel BevelOuter = TPanelBevel::bvRaised;
  TPanelBevel BevelInner = TPanelBevel::bvNone;
  int BevelWidth = 1;
  int BorderWidth = 0;
  html::TColor Color = 0x80000000u + COLOR_BTNFACE;
  html::TFont Font{"MS Sans Serif", 8};
  TAnchorEvent OnAnchorClick;
  // The mouse came onto a link or left it (also by leaving the panel).
  TAnchorEvent OnAnchorEnter, OnAnchorExit;
  // The shell's "open" of a web or mail address; replaceable for tests.
  std::function<void(const std::string& target)> ShellOpen;
  void SetImages(HIMAGELIST images) { pictures_.Images = images; }

  // The target of the link under the client point, or empty.
  std::string AnchorAt(int x, int y);
  // Frame, background and text, as painted into the window.
  void PaintTo(HDC dc);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The text's rectangle inside the frame; the frame is drawn when dc draws.
  html::TRect TextRect(HDC dc, bool draw) const;
  html::TLayout Layout(HDC dc, const html::TRect& rect);
  void MouseDown(int x, int y);
  void MouseMove(const std::string& anchor);
  bool SetHandCursor();

  std::string text_;
  std::string hovered_;  // the link under the mouse at the last move
  TPictureCache pictures_;
};

}  // namespace skyloom
