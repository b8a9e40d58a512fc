#pragma once
// A panel that shows formatted text (a small subset of HTML) inside a
// beveled frame, with clickable links. Web and mail links open through the
// shell; other link targets only reach OnAnchorClick. With Hover the link
// under the mouse is drawn in the hover colours; with AnchorHint a link's
// target shows as a hint when the mouse rests on it. A background picture
// sits at one of seven places. The caption bar and user moving and sizing
// are not provided: nothing here switches them on.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "toolkit/window.h"
#include "widgets/gdi_text_canvas.h"
#include "widgets/html_layout.h"

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
  // The text's rectangle inside the frame; the frame is drawn when dc draws.
  html::TRect TextRect(HDC dc, bool draw) const;
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
  TPictureCache pictures_;
  UniqueGdiObject background_;
  UniqueWindow hint_;  // the tooltip that shows link hints, made when first needed
};

}  // namespace skyloom
