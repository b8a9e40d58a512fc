#include "app/video_backdrop.h"

namespace skyloom {
namespace {

constexpr wchar_t kClassName[] = L"TSkyloomVideoBackdrop";
// Disabled: no mouse or keyboard input. A tool window: no taskbar button.
constexpr DWORD kStyle = WS_POPUP | WS_DISABLED | WS_CLIPSIBLINGS;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

// The desktop less the taskbar: some systems draw the video over whatever
// covers its window, so it keeps off the taskbar and the tray altogether.
RECT WorkArea() {
  RECT area{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) && area.right > area.left) return area;
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool VisibleWindowBelow(HWND window) {
  for (HWND below = GetWindow(window, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
    if (IsWindowVisible(below)) return true;
  }
  return false;
}

}  // namespace

TVideoBackdrop::TVideoBackdrop() {
  RegisterOwnClass(kClassName, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const RECT area = WorkArea();
  CreateOwnWindow(kClassName, L"", kStyle, kExStyle, area.left, area.top, area.right - area.left,
                  area.bottom - area.top, nullptr);
}

void TVideoBackdrop::ShowAtBottom() {
  const RECT area = WorkArea();
  SetWindowPos(Handle(), HWND_BOTTOM, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TVideoBackdrop::KeepAtBottom() {
  if (IsWindowVisible(Handle()) && VisibleWindowBelow(Handle()))
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT TVideoBackdrop::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_WINDOWPOSCHANGING: {
      // Whatever raises it (a click, another program), it goes back down.
      auto& position = *reinterpret_cast<WINDOWPOS*>(lParam);
      position.hwndInsertAfter = HWND_BOTTOM;
      position.flags = (position.flags & ~SWP_NOZORDER) | SWP_NOACTIVATE;
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    default:
      return TWindow::WindowProc(message, wParam, lParam);
  }
}

}  // namespace skyloom
