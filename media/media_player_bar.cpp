// The media player's button bar: up to nine buttons in TMPBtnType order,
// each a 3D frame around a glyph drawn in its state's colour (enabled,
// disabled, coloured). This program keeps the control invisible; the bar
// is there for other owners of the control.
#include <algorithm>

#include "media/media_player.h"

namespace skyloom {
namespace {

constexpr int kGlyphSize = 12;

COLORREF GlyphColor(TMPBtnType button, bool enabled, bool colored) {
  if (!enabled) return GetSysColor(COLOR_GRAYTEXT);
  if (!colored) return GetSysColor(COLOR_BTNTEXT);
  switch (button) {
    case btPlay: return RGB(0, 128, 0);
    case btRecord: return RGB(192, 0, 0);
    case btStop: return RGB(128, 0, 0);
    case btEject: return RGB(0, 0, 128);
    default: return RGB(0, 0, 160);
  }
}

// Glyph shapes on a 12-pixel grid, as triangles and bars.
void DrawGlyph(HDC dc, TMPBtnType button, int x, int y) {
  auto bar = [&](int left, int top, int width, int height) {
    RECT r{x + left, y + top, x + left + width, y + top + height};
    FillRect(dc, &r, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
  };
  auto triangle = [&](int left, int right) {  // pointing from left to right
    const POINT points[] = {{x + left, y}, {x + right, y + kGlyphSize / 2}, {x + left, y + kGlyphSize}};
    Polygon(dc, points, 3);
  };
  switch (button) {
    case btPlay: return triangle(2, 10);
    case btPause: bar(2, 0, 3, 12); return bar(7, 0, 3, 12);
    case btStop: return bar(1, 1, 10, 10);
    case btNext: triangle(0, 6); triangle(5, 11); return bar(10, 0, 2, 12);
    case btPrev: bar(0, 0, 2, 12); triangle(12, 6); return triangle(7, 1);
    case btStep: bar(0, 2, 2, 8); return triangle(4, 12);
    case btBack: triangle(8, 0); return bar(10, 2, 2, 8);
    case btRecord: return static_cast<void>(Ellipse(dc, x + 1, y + 1, x + 11, y + 11));
    case btEject: {
      const POINT points[] = {{x, y + 7}, {x + 6, y + 1}, {x + 12, y + 7}};
      Polygon(dc, points, 3);
      return bar(0, 9, 12, 3);
    }
  }
}

}  // namespace

void TMediaPlayer2::SetEnabledButtons(TButtonSet buttons) {
  enabledButtons_ = buttons & kAllButtons;
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

// With AutoEnable the open decides which buttons make sense for the device.
void TMediaPlayer2::AutoEnableAfterOpen() {
  if (!AutoEnable) return;
  TButtonSet buttons = ButtonBit(btNext) | ButtonBit(btPrev);
  if (canStep_) buttons |= ButtonBit(btStep) | ButtonBit(btBack);
  if (canPlay_) buttons |= ButtonBit(btPlay);
  if (canRecord_) buttons |= ButtonBit(btRecord);
  if (canEject_) buttons |= ButtonBit(btEject);
  SetEnabledButtons(buttons);
}

std::vector<int> TMediaPlayer2::VisibleOrder() const {
  std::vector<int> order;
  for (int i = 0; i < kButtonCount; ++i) {
    if (VisibleButtons & (1u << i)) order.push_back(i);
  }
  return order;
}

int TMediaPlayer2::ButtonWidth() const {
  const auto count = static_cast<int>(VisibleOrder().size());
  if (count == 0) return 0;
  return std::max(kGlyphSize + 8, static_cast<int>(ClientRect().right) / count);
}

int TMediaPlayer2::ButtonAt(int x) const {
  const auto order = VisibleOrder();
  const int width = ButtonWidth();
  if (width == 0 || x < 0) return -1;
  const int slot = x / width;
  return slot < static_cast<int>(order.size()) ? order[static_cast<std::size_t>(slot)] : -1;
}

void TMediaPlayer2::Paint() {
  PaintDc paint(Handle());
  const RECT client = ClientRect();
  const int width = ButtonWidth();
  int left = 0;
  for (int index : VisibleOrder()) {
    const auto button = static_cast<TMPBtnType>(index);
    RECT frame{left, 0, left + width, client.bottom};
    DrawFrameControl(paint.get(), &frame, DFC_BUTTON, DFCS_BUTTONPUSH);
    const bool enabled = (enabledButtons_ & ButtonBit(button)) != 0;
    const COLORREF color = GlyphColor(button, enabled, (ColoredButtons & ButtonBit(button)) != 0);
    UniqueGdiObject brush(CreateSolidBrush(color));
    UniqueGdiObject pen(CreatePen(PS_SOLID, 1, color));
    SelectedObject selectBrush(paint.get(), brush.get());
    SelectedObject selectPen(paint.get(), pen.get());
    DrawGlyph(paint.get(), button, left + (width - kGlyphSize) / 2, (client.bottom - kGlyphSize) / 2);
    if (GetFocus() == Handle() && index == focused_) {
      InflateRect(&frame, -3, -3);
      DrawFocusRect(paint.get(), &frame);
    }
    left += width;
  }
}

// Space runs the focused button; the arrows move the focus among the
// visible buttons.
void TMediaPlayer2::HandleKey(WPARAM key) {
  const auto order = VisibleOrder();
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), focused_);
  if (at == order.end()) at = order.begin();
  if (key == VK_SPACE) return ClickButton(static_cast<TMPBtnType>(*at));
  if (key == VK_RIGHT && at + 1 != order.end()) ++at;
  if (key == VK_LEFT && at != order.begin()) --at;
  focused_ = *at;
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TMediaPlayer2::ClickButton(TMPBtnType button) {
  focused_ = button;
  if (!(enabledButtons_ & ButtonBit(button))) return;
  bool doDefault = true;
  if (OnClick) OnClick(this, button, doDefault);
  if (doDefault) RunButton(button);
  if (OnPostClick) OnPostClick(this, button);
}

void TMediaPlayer2::RunButton(TMPBtnType button) {
  switch (button) {
    case btPlay:
      Play();
      if (AutoEnable) SetEnabledButtons((enabledButtons_ & ~(ButtonBit(btPlay) | ButtonBit(btRecord))) |
                                        ButtonBit(btPause) | ButtonBit(btStop));
      return;
    case btPause: return Pause();
    case btStop: return Stop();
    case btNext: return Next();
    case btPrev: return Previous();
    case btStep: return Step();
    case btBack: return Back();
    case btRecord: return StartRecording();
    case btEject: return Eject();
  }
}

}  // namespace skyloom
