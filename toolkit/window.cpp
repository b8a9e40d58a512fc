#include "toolkit/window.h"

#include "toolkit/application.h"

namespace skyloom {
namespace {

constexpr wchar_t kPanelClass[] = L"TSkyloomPanel";
constexpr wchar_t kFormMarker[] = L"TSkyloomForm";
int g_nextControlId = 1000;  // child ids, unique within the process

TWindow* FromWindow(HWND window) { return reinterpret_cast<TWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// The per-monitor functions exist from Windows 10 on; the program also runs
// on older systems, so they are looked up.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT ScreenDpi() {
  WindowDc screen(nullptr);
  return static_cast<UINT>(GetDeviceCaps(screen.get(), LOGPIXELSY));
}

RECT WindowRectForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT bounds{0, 0, width, height};
  if (adjust)
    adjust(&bounds, style, FALSE, exStyle, dpi);
  else
    AdjustWindowRectEx(&bounds, style, FALSE, exStyle);
  return bounds;
}

// Controls that show the form's font take the new one; others keep theirs.
struct FontSwap {
  HFONT from, to;
};
BOOL CALLBACK SwapFont(HWND child, LPARAM data) {
  const auto& swap = *reinterpret_cast<const FontSwap*>(data);
  if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == swap.from)
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(swap.to), TRUE);
  return TRUE;
}

// A DPI a message may carry: from 1/4 to 8 times the standard one.
UINT SaneDpi(UINT dpi) { return dpi < 24 || dpi > 768 ? 96 : dpi; }

// The font a form and the controls that show its font use.
HFONT FormFont(UINT dpi) { return CreateUiFont(8, L"MS Sans Serif", false, dpi); }

}  // namespace

int ScaleForDpi(int size, UINT dpi) { return MulDiv(size, static_cast<int>(dpi), 96); }

UINT WindowDpi(HWND window) {
  using GetForWindow = UINT(WINAPI*)(HWND);
  static const auto forWindow = User32Function<GetForWindow>("GetDpiForWindow");
  const UINT dpi = forWindow ? forWindow(window) : 0;
  return SaneDpi(dpi ? dpi : ScreenDpi());
}

TWindow::~TWindow() {
  if (handle_ && ownClass_) SetWindowLongPtrW(handle_.get(), GWLP_USERDATA, 0);
}

void TWindow::RegisterOwnClass(const wchar_t* className, HBRUSH background, UINT classStyle) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = classStyle;
  wc.lpfnWndProc = StaticProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  wc.hbrBackground = background ? background : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  RegisterClassExW(&wc);
}

void TWindow::CreateOwnWindow(const wchar_t* className, const std::wstring& caption, DWORD style, DWORD exStyle,
                              int left, int top, int width, int height, HWND parent) {
  ownClass_ = true;
  HWND window = CreateWindowExW(exStyle, className, caption.c_str(), style, left, top, width, height, parent,
                                nullptr, GetModuleHandleW(nullptr), this);
  if (!window) throw std::runtime_error("Error creating window");
}

void TWindow::Adopt(HWND handle) {
  if (!handle) throw std::runtime_error("Error creating window");
  handle_.reset(handle);
  SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK TWindow::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->handle_.reset(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  TWindow* self = FromWindow(window);
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->handle_.release();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // No exception may cross the system's frames: report it and go on.
  try {
    return self->WindowProc(message, wParam, lParam);
  } catch (...) {
    TApplication::Instance().HandleCurrentException();
    return 0;
  }
}

LRESULT TWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultProc(message, wParam, lParam);
}

LRESULT TWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(Handle(), message, wParam, lParam);
}

bool TWindow::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_VSCROLL:
    case WM_HSCROLL:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_CONTEXTMENU:
      child = reinterpret_cast<HWND>(wParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      child = GetDlgItem(Handle(), static_cast<int>(wParam));
      break;
    default:
      return false;
  }
  TControl* control = child ? TControl::FromHandle(child) : nullptr;
  return control && control->Reflect(message, wParam, lParam, result);
}

void TWindow::Show() { ShowWindow(Handle(), SW_SHOW); }
void TWindow::Hide() { ShowWindow(Handle(), SW_HIDE); }
bool TWindow::Visible() const { return IsWindowVisible(Handle()) != FALSE; }
void TWindow::SetBounds(int left, int top, int width, int height) {
  MoveWindow(Handle(), left, top, width, height, TRUE);
}
RECT TWindow::ClientRect() const {
  RECT r{};
  GetClientRect(Handle(), &r);
  return r;
}
void TWindow::SetEnabled(bool enabled) { EnableWindow(Handle(), enabled); }
bool TWindow::Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }
std::wstring TWindow::Caption() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}
void TWindow::SetCaption(const std::wstring& text) { SetWindowTextW(Handle(), text.c_str()); }
void TWindow::SetFont(HFONT font) { SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

bool TControl::Reflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

TControl* TControl::FromHandle(HWND handle) {
  // Only controls adopted by this toolkit carry the marker property, and
  // only in this process: another program can name its own window, marked
  // and carrying any value, in a message it sends us.
  DWORD process = 0;
  GetWindowThreadProcessId(handle, &process);
  if (process != GetCurrentProcessId() || !GetPropW(handle, L"TSkyloomControl")) return nullptr;
  return reinterpret_cast<TControl*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

void TControl::CreateControl(const wchar_t* className, const std::wstring& caption, DWORD style, DWORD exStyle,
                             HWND parent, int left, int top, int width, int height) {
  id_ = g_nextControlId++;
  HWND handle = CreateWindowExW(exStyle, className, caption.c_str(), style | WS_CHILD | WS_VISIBLE, left, top, width,
                                height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                                GetModuleHandleW(nullptr), nullptr);
  Adopt(handle);
  SetPropW(handle, L"TSkyloomControl", reinterpret_cast<HANDLE>(1));
  if (HWND top = GetAncestor(parent, GA_ROOT)) {
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(top, WM_GETFONT, 0, 0))) SetFont(font);
  }
}

TPanel::TPanel(HWND parent, int left, int top, int width, int height, COLORREF color) : color_(color) {
  if (color_ != CLR_INVALID) brush_.reset(CreateSolidBrush(color_));
  RegisterOwnClass(kPanelClass, nullptr);
  CreateOwnWindow(kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, left, top,
                  width, height, parent);
}

LRESULT TPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wParam, lParam, result)) return result;
  if (brush_ && message == WM_ERASEBKGND) {
    RECT r = ClientRect();
    FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(brush_.get()));
    return TRUE;
  }
  if (brush_ && message == WM_CTLCOLORSTATIC) {
    SetBkColor(reinterpret_cast<HDC>(wParam), color_);
    return reinterpret_cast<LRESULT>(brush_.get());
  }
  if (message == WM_GETFONT) return SendMessageW(GetAncestor(Handle(), GA_ROOT), WM_GETFONT, 0, 0);
  return DefaultProc(message, wParam, lParam);
}

TForm::TForm(const wchar_t* className, const std::wstring& caption, DWORD style, DWORD exStyle, int clientWidth,
             int clientHeight)
    : statedClient_{clientWidth, clientHeight} {
  RegisterOwnClass(className, nullptr);
  const RECT bounds = WindowRectForClient(clientWidth, clientHeight, style, exStyle, 96);
  CreateOwnWindow(className, caption, style, exStyle, CW_USEDEFAULT, CW_USEDEFAULT, bounds.right - bounds.left,
                  bounds.bottom - bounds.top, nullptr);
  SetPropW(Handle(), kFormMarker, reinterpret_cast<HANDLE>(1));
  dpi_ = WindowDpi(Handle());
  font_.reset(FormFont(dpi_));
  if (dpi_ != 96) SetClientSize(Scaled(clientWidth), Scaled(clientHeight));
}

TForm::~TForm() {
  if (Handle()) RemovePropW(Handle(), kFormMarker);
}

TForm* TForm::FromHandle(HWND window) {
  if (!window || !GetPropW(window, kFormMarker)) return nullptr;
  return dynamic_cast<TForm*>(FromWindow(window));
}

// The frame is the system's for the DPI; where the system draws it otherwise
// (an older one, or a process it does not scale), the client area found
// afterwards corrects the size once.
void TForm::SetClientSize(int width, int height) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  RECT bounds = WindowRectForClient(width, height, style, exStyle, dpi_);
  SetWindowPos(Handle(), nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT client = ClientRect();
  if (client.right == width && client.bottom == height) return;
  GetWindowRect(Handle(), &bounds);
  SetWindowPos(Handle(), nullptr, 0, 0, bounds.right - bounds.left + width - client.right,
               bounds.bottom - bounds.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOnScreen() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The suggested rectangle the message points to is not used: the size
// follows from the form's own, and the window keeps its place.
void TForm::ChangeDpi(UINT dpi) {
  const UINT old = dpi_;
  if (dpi == old) return;
  UniqueGdiObject font(FormFont(dpi));
  FontSwap swap{Font(), static_cast<HFONT>(font.get())};
  EnumChildWindows(Handle(), SwapFont, reinterpret_cast<LPARAM>(&swap));
  dpi_ = dpi;
  font_ = std::move(font);
  DpiChanged();
  if (IsZoomed(Handle()) || IsIconic(Handle())) return;
  const RECT client = ClientRect();
  const bool sizable = (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_THICKFRAME) != 0;
  if (sizable)
    SetClientSize(MulDiv(client.right, dpi, old), MulDiv(client.bottom, dpi, old));
  else
    SetClientSize(Scaled(statedClient_.cx), Scaled(statedClient_.cy));
}

bool TForm::DialogKey(MSG& msg) {
  const bool tab = msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
                   GetKeyState(VK_MENU) >= 0;
  if (tab && !TabOrder.empty()) {
    MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    return true;
  }
  return IsDialogMessageW(Handle(), &msg) != FALSE;
}

void TForm::MoveFocus(int step) {
  const HWND focus = GetFocus();
  const int count = static_cast<int>(TabOrder.size());
  int at = -1;
  for (int i = 0; i < count; ++i) {
    if (TabOrder[i] == focus || IsChild(TabOrder[i], focus)) at = i;
  }
  if (at < 0) at = step > 0 ? count - 1 : 0;
  for (int n = 1; n <= count; ++n) {
    const HWND next = TabOrder[((at + step * n) % count + count) % count];
    if (!IsWindowVisible(next) || !IsWindowEnabled(next)) continue;
    SetFocus(next);
    if (TControl* control = TControl::FromHandle(next)) control->TabbedInto();
    return;
  }
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wParam, lParam, result)) return result;
  if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(font_.get());
  if (message == WM_DPICHANGED) {
    ChangeDpi(SaneDpi(LOWORD(wParam)));
    return 0;
  }
  return DefaultProc(message, wParam, lParam);
}

HFONT CreateUiFont(int pointSize, const wchar_t* face, bool bold, UINT dpi) {
  const int height = -MulDiv(pointSize, static_cast<int>(dpi ? dpi : ScreenDpi()), 72);
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace skyloom
