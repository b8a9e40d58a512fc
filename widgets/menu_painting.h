#pragma once
// Drawing helpers of the owner-drawn popup menu.
#include <windows.h>

#include <string>

namespace skyloom {

// 0x00BBGGRR, or 0x80000000 + n for system colour n.
COLORREF ResolveMenuColor(DWORD color);

// Row i of the rectangle (0..height) gets start + (end - start) * i / height
// per channel; each strip reaches height rows down, so it is drawn top to
// bottom and every row keeps its own colour.
void GradientFillVertical(HDC dc, const RECT& r, DWORD start, DWORD end);
// The same along x, kept inside the rectangle.
void GradientFillHorizontal(HDC dc, const RECT& r, DWORD start, DWORD end);

// Draws text rotated 90 degrees counter-clockwise (reading upward from y).
// A one-pixel solid line from (x1, y1) up to, not including, (x2, y2).
void SolidLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color);

void TextOutVertical(HDC dc, int x, int y, const std::wstring& text, const LOGFONTW& font, COLORREF color);

// Every "&" removed; the character after one is kept unexamined ("&&" -> "&").
std::wstring StripAccelerators(const std::wstring& caption, wchar_t mark = L'&');

}  // namespace skyloom
