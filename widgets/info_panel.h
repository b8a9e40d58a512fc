#pragma once
// A panel that shows formatted text (a small subset of HTML) inside a
// beveled frame, with clickable links. Web and mail links open through the
// shell; other link targets only reach OnAnchorClick. With Hover the link
// under the mouse is drawn in the hover colours; with AnchorHint a link's
// target shows as a hint when the mouse rests on it. A background picture
// sits at one of seven places. The optional caption bar's close button hides
// the panel and its minimise/maximise button shrinks the panel to the bar
// and back. User moving and sizing are not provided.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "toolkit/window.h"
#include "widgets/gdi_text_canvas.h"
#include "widgets/html_layout.h"
#include "widgets/panel_caption.h"

namespace skyloom {

enum class TTextVAlign { tvaTop, tvaCenter, tvaBottom };
enum class TPanelBevel { bvNone, bvLowered, bvRaised };
enum class TBackgroundPosition {
  bpTopLeft, bpTopRight, bpBottomLeft, bpBottomRight, bpTiled, bpStretched, bpCenter
};

using TAnchorEvent = std::function<void(void* sender, const std::string& anchor)>;
// May change the hint text, which starts as the link's target.
using TAnchorHintEvent = std::function<void(void* sender, std::string& anchor)>;

struct TAnchorHint {
  std::string text;
  POINT position;  // the hint window's top-left, in screen coordinates
};

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
  bool Hover = false;
  html::TColor HoverColor = html::clNone;      // background of the hovered link
  html::TColor HoverFontColor = html::clNone;  // its text; none keeps URLColor
  bool AnchorHint = false;
  TAnchorEvent OnAnchorClick;
  TAnchorHintEvent OnAnchorHint;
  // The mouse came onto a link or left it (also by leaving the panel).
  TAnchorEvent OnAnchorEnter, OnAnchorExit;
  // The shell's "open" of a web or mail address; replaceable for tests.
  std::function<void(const std::string& target)> ShellOpen;
  void SetImages(HIMAGELIST images) { pictures_.Images = images; }
  // The background picture, owned by the panel from here on; null for none.
  void SetBackground(HBITMAP picture);
  HBITMAP Background() const { return static_cast<HBITMAP>(background_.get()); }
  TBackgroundPosition BackgroundPosition = TBackgroundPosition::bpTopLeft;
  TPanelCaption Caption;
  TNotifyEvent OnCaptionClick, OnClose, OnMinimize, OnMaximize;
  bool Minimized() const { return minimized_; }

  // The target of the link under the client point, or empty.
  std::string AnchorAt(int x, int y);
  // The hint for the mouse resting at the client point: none without
  // AnchorHint or off links.
  std::optional<TAnchorHint> HintAt(int x, int y);
  HWND HintWindow() const { return hint_.get(); }
  // Frame, background and text, as painted into the window.
  void PaintTo(HDC dc);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The area inside the frames; the frames are drawn when draw is set.
  RECT InnerRect(HDC dc, bool draw) const;
  // The text's rectangle: the inner area below the caption bar.
  html::TRect TextRect(const RECT& inner) const;
  html::TRect TextRect(HDC dc) const { return TextRect(InnerRect(dc, false)); }
  bool CaptionMouseDown(int x, int y);
  void MinMax();
  html::TLayout Layout(HDC dc, const html::TRect& rect);
  void DrawBackground(HDC dc, const RECT& r) const;
  void MouseDown(int x, int y);
  void MouseMove(int x, int y);
  void MouseLeft();
  void Hovered(int link, const std::string& anchor, bool overAlt);
  void TrackMouse();
  void ShowHint(int x, int y);
  void HideHint();
  bool SetHandCursor();

  std::string text_;
  // The link under the mouse at the last move: its number, target, and
  // whether the mouse is on an ALT picture of it; and the mouse point.
  int hoveredLink_ = 0;
  std::string hovered_;
  bool overAlt_ = false;
  POINT mouse_{-1, -1};
  bool minimized_ = false;
  int restoreHeight_ = 0;  // the panel's height before it was minimised
  TPictureCache pictures_;
  UniqueGdiObject background_;
  UniqueWindow hint_;  // the tooltip that shows link hints, made when first needed
};

}  // namespace skyloom
