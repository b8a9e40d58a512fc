#include "toolkit/window.h"

#include "toolkit/application.h"

namespace skyloom {
namespace {

constexpr wchar_t kPanelClass[] = L"TSkyloomPanel";
int g_nextControlId = 1000;  // child ids, unique within the process

TWindow* FromWindow(HWND window) { return reinterpret_cast<TWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

}  // namespace

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
    : font_(CreateUiFont(8)) {
  RegisterOwnClass(className, nullptr);
  RECT bounds{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&bounds, style, FALSE, exStyle);
  CreateOwnWindow(className, caption, style, exStyle, CW_USEDEFAULT, CW_USEDEFAULT, bounds.right - bounds.left,
                  bounds.bottom - bounds.top, nullptr);
}

void TForm::CenterOnScreen() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wParam, lParam, result)) return result;
  if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(font_.get());
  return DefaultProc(message, wParam, lParam);
}

HFONT CreateUiFont(int pointSize, const wchar_t* face, bool bold) {
  WindowDc screen(nullptr);
  const int height = -MulDiv(pointSize, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace skyloom
