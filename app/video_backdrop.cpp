#include "app/video_backdrop.h"

namespace skyloom {
namespace {

constexpr wchar_t kClassName[] = L"TSkyloomVideoBackdrop";
// Disabled: no mouse or keyboard input. A tool window: no taskbar button.
constexpr DWORD kStyle = WS_POPUP | WS_DISABLED | WS_CLIPSIBLINGS;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;

RECT VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

TVideoBackdrop::TVideoBackdrop() {
  RegisterOwnClass(kClassName, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const RECT screen = VirtualScreen();
  CreateOwnWindow(kClassName, L"", kStyle, kExStyle, screen.left, screen.top, screen.right - screen.left,
                  screen.bottom - screen.top, nullptr);
}

void TVideoBackdrop::ShowAtBottom() {
  const RECT screen = VirtualScreen();
  SetWindowPos(Handle(), HWND_BOTTOM, screen.left, screen.top, screen.right - screen.left,
               screen.bottom - screen.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
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
