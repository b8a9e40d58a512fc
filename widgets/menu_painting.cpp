#include "widgets/menu_painting.h"

#include "toolkit/handles.h"

namespace skyloom {
namespace {

BYTE Blend(int start, int end, int i, int n) { return static_cast<BYTE>(start + (end - start) * i / n); }

COLORREF Step(COLORREF s, COLORREF e, int i, int n) {
  if (n == 0) return s;
  return RGB(Blend(GetRValue(s), GetRValue(e), i, n), Blend(GetGValue(s), GetGValue(e), i, n),
             Blend(GetBValue(s), GetBValue(e), i, n));
}

void Fill(HDC dc, const RECT& r, COLORREF color) {
  UniqueGdiObject brush(CreateSolidBrush(color));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

}  // namespace

COLORREF ResolveMenuColor(DWORD color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

void GradientFillVertical(HDC dc, const RECT& r, DWORD start, DWORD end) {
  COLORREF s = ResolveMenuColor(start), e = ResolveMenuColor(end);
  int height = r.bottom - r.top;
  for (int i = 0; i <= height; ++i) Fill(dc, {r.left, r.top + i, r.right, r.bottom + i}, Step(s, e, i, height));
}

void GradientFillHorizontal(HDC dc, const RECT& r, DWORD start, DWORD end) {
  COLORREF s = ResolveMenuColor(start), e = ResolveMenuColor(end);
  int width = r.right - r.left;
  for (int i = 0; i < width; ++i) Fill(dc, {r.left + i, r.top, r.left + i + 1, r.bottom}, Step(s, e, i, width));
}

void TextOutVertical(HDC dc, int x, int y, const std::wstring& text, const LOGFONTW& font, COLORREF color) {
  LOGFONTW rotated = font;
  rotated.lfEscapement = 900;
  rotated.lfOrientation = 900;
  UniqueGdiObject created(CreateFontIndirectW(&rotated));
  SelectedObject selected(dc, created.get());
  int mode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = SetTextColor(dc, color);
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
  SetTextColor(dc, oldColor);
  SetBkMode(dc, mode);
}

void SolidLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
  UniqueGdiObject pen(CreatePen(PS_SOLID, 1, color));
  SelectedObject selected(dc, pen.get());
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

std::wstring StripAccelerators(const std::wstring& caption, wchar_t mark) {
  std::wstring out;
  out.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != mark) {
      out += caption[i];
    } else if (i + 1 < caption.size()) {
      out += caption[++i];
    }
  }
  return out;
}

}  // namespace skyloom
