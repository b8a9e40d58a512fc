#pragma once
// The formatted-text canvas on a device context: ANSI text in fonts made
// from the layout's font records, system colours resolved, and IMG pictures
// from an image list or the shell's file icons, kept by the owner's cache.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "toolkit/handles.h"
#include "widgets/html_paint.h"

namespace skyloom {

// Pictures fetched for IMG sources, kept between paints.
class TPictureCache {
 public:
  HIMAGELIST Images = nullptr;
  HICON Get(const std::string& source);

 private:
  std::map<std::string, UniqueIcon> icons_;
};

COLORREF ResolveColor(html::TColor color);

class TGdiTextCanvas : public html::TTextCanvas {
 public:
  TGdiTextCanvas(HDC dc, TPictureCache& pictures);
  ~TGdiTextCanvas() override;
  TGdiTextCanvas(const TGdiTextCanvas&) = delete;
  TGdiTextCanvas& operator=(const TGdiTextCanvas&) = delete;

  html::TSize TextExtent(const html::TFont& font, std::string_view text) override;
  html::TSize PictureSize(std::string_view source) override;
  int PixelsPerInch() override;
  void FillRect(const html::TRect& rect, html::TColor color) override;
  void DrawText(const html::TFont& font, int x, int y, std::string_view text, html::TColor color) override;
  void DrawLine(int x1, int y1, int x2, int y2, html::TColor color) override;
  void DrawPicture(std::string_view source, const html::TRect& rect) override;

 private:
  void Select(const html::TFont& font);

  HDC dc_;
  TPictureCache& pictures_;
  HGDIOBJ savedFont_;
  html::TFont current_;
  UniqueGdiObject font_;
};

}  // namespace skyloom
