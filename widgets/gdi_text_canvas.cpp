#include "widgets/gdi_text_canvas.h"

#include <shellapi.h>

#include <algorithm>

#include "widgets/menu_painting.h"

namespace skyloom {
namespace {

int TextLength(std::string_view text) {
  return static_cast<int>(std::min<std::size_t>(text.size(), 1 << 24));
}

HICON ShellFileIcon(const std::string& file, bool large) {
  SHFILEINFOA info{};
  UINT flags = SHGFI_ICON | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON);
  if (!SHGetFileInfoA(file.c_str(), 0, &info, sizeof info, flags)) {
    // A file that is not there still has its type's icon.
    flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoA(file.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags)) return nullptr;
  }
  return info.hIcon;
}

}  // namespace

HICON TPictureCache::Get(const std::string& source) {
  auto found = icons_.find(source);
  if (found != icons_.end()) return found->second.get();
  HICON icon = nullptr;
  if (source.starts_with("IDX:")) {
    int index = html::ParseInt(std::string_view(source).substr(4), -1);
    if (Images && index >= 0 && index < ImageList_GetImageCount(Images)) {
      icon = ImageList_GetIcon(Images, index, ILD_NORMAL);
    }
  } else if (source.starts_with("SSYS:")) {
    icon = ShellFileIcon(source.substr(5), false);
  } else if (source.starts_with("LSYS:")) {
    icon = ShellFileIcon(source.substr(5), true);
  }
  icons_.emplace(source, UniqueIcon(icon));
  return icon;
}

COLORREF ResolveColor(html::TColor color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

TGdiTextCanvas::TGdiTextCanvas(HDC dc, TPictureCache& pictures)
    : dc_(dc), pictures_(pictures), savedFont_(GetCurrentObject(dc, OBJ_FONT)) {
  SetBkMode(dc_, TRANSPARENT);
  current_.size = -1;  // nothing selected yet
}

TGdiTextCanvas::~TGdiTextCanvas() { SelectObject(dc_, savedFont_); }

void TGdiTextCanvas::Select(const html::TFont& font) {
  if (font_ && font == current_) return;
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(font.size, GetDeviceCaps(dc_, LOGPIXELSY), 72);
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic;
  lf.lfUnderline = font.underline;
  lf.lfStrikeOut = font.strike;
  lf.lfCharSet = lstrcmpiA(font.name.c_str(), "Symbol") == 0 ? SYMBOL_CHARSET : DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
  UniqueGdiObject created(CreateFontIndirectA(&lf));
  SelectObject(dc_, created.get());
  font_ = std::move(created);  // the old font is no longer selected
  current_ = font;
}

html::TSize TGdiTextCanvas::TextExtent(const html::TFont& font, std::string_view text) {
  Select(font);
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), TextLength(text), &size);
  return {size.cx, size.cy};
}

html::TSize TGdiTextCanvas::PictureSize(std::string_view source) {
  HICON icon = pictures_.Get(std::string(source));
  if (!icon) return {};
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  int height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return {bm.bmWidth, height};
}

int TGdiTextCanvas::PixelsPerInch() { return GetDeviceCaps(dc_, LOGPIXELSX); }

void TGdiTextCanvas::FillRect(const html::TRect& rect, html::TColor color) {
  if (color == html::clNone) return;
  UniqueGdiObject brush(CreateSolidBrush(ResolveColor(color)));
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TGdiTextCanvas::DrawText(const html::TFont& font, int x, int y, std::string_view text, html::TColor color) {
  if (color == html::clNone) return;
  Select(font);
  SetTextColor(dc_, ResolveColor(color));
  TextOutA(dc_, x, y, text.data(), TextLength(text));
}

void TGdiTextCanvas::DrawLine(int x1, int y1, int x2, int y2, html::TColor color) {
  SolidLine(dc_, x1, y1, x2, y2, ResolveColor(color));
}

void TGdiTextCanvas::DrawPicture(std::string_view source, const html::TRect& rect) {
  HICON icon = pictures_.Get(std::string(source));
  if (!icon) return;
  DrawIconEx(dc_, rect.left, rect.top, icon, rect.right - rect.left, rect.bottom - rect.top, 0, nullptr,
             DI_NORMAL);
}

}  // namespace skyloom
