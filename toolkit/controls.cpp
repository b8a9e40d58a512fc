#include "toolkit/controls.h"

#include <commctrl.h>

#include <cwchar>
#include <stdexcept>

namespace skyloom {

TLabel::TLabel(HWND parent, const std::wstring& caption, int left, int top, int width, int height) {
  CreateControl(L"STATIC", caption, SS_LEFT, 0, parent, left, top, width, height);
}

TGroupBox::TGroupBox(HWND parent, const std::wstring& caption, int left, int top, int width, int height) {
  CreateControl(L"BUTTON", caption, BS_GROUPBOX | WS_CLIPSIBLINGS, 0, parent, left, top, width, height);
}

TButton::TButton(HWND parent, const std::wstring& caption, int left, int top, int width, int height) {
  CreateControl(L"BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP, 0, parent, left, top, width, height);
}

bool TButton::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  if (OnClick) OnClick(this);
  return true;
}

TCheckBox::TCheckBox(HWND parent, const std::wstring& caption, int left, int top, int width, int height) {
  CreateControl(L"BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP, 0, parent, left, top, width, height);
}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void TCheckBox::SetChecked(bool checked) {
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  if (OnClick) OnClick(this);
  return true;
}

TSpinEdit::TSpinEdit(HWND parent, int left, int top, int width, int height, int minValue, int maxValue, int value)
    : min_(minValue), max_(maxValue) {
  CreateControl(L"EDIT", std::to_wstring(value), ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, parent,
                left, top, width, height);
  updown_ = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                            WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                            0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(updown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
  SendMessageW(updown_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageW(updown_, UDM_SETPOS32, 0, value);
}

TSpinEdit::~TSpinEdit() {
  if (updown_ && IsWindow(updown_)) DestroyWindow(updown_);
}

int TSpinEdit::Value() const {
  const std::wstring text = Caption();
  wchar_t* end = nullptr;
  errno = 0;
  const long value = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || end == text.c_str() || *end != L'\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
    return min_;
  return static_cast<int>(value);
}

void TSpinEdit::SetValue(int value) {
  SetCaption(std::to_wstring(value));
  SendMessageW(updown_, UDM_SETPOS32, 0, value);
}

void TSpinEdit::Place(int left, int top, int width, int height) {
  SetBounds(left, top, width, height);
  SendMessageW(updown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);  // beside it again, inside the width
}

void TSpinEdit::SetEnabledBoth(bool enabled) {
  SetEnabled(enabled);
  EnableWindow(updown_, enabled);
}

bool TSpinEdit::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && OnChange) OnChange(this);
  if (message != WM_COMMAND || HIWORD(wParam) != EN_KILLFOCUS) return false;
  const int value = Value();
  if (value < min_) SetValue(min_);
  if (value > max_) SetValue(max_);
  return true;
}

TComboBox::TComboBox(HWND parent, int left, int top, int width, int height, const std::vector<std::wstring>& items) {
  CreateControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, parent, left, top, width, height);
  for (const auto& item : items) SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }
void TComboBox::SetItemIndex(int index) { SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
int TComboBox::Count() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }
std::wstring TComboBox::Text() const {
  const int index = ItemIndex();
  if (index < 0) return {};
  std::wstring text(static_cast<std::size_t>(SendMessageW(Handle(), CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

bool TComboBox::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message != WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE) return false;
  if (OnChange) OnChange(this);
  return true;
}

TProgressBar::TProgressBar(HWND parent, int left, int top, int width, int height) {
  CreateControl(PROGRESS_CLASSW, L"", PBS_SMOOTH, 0, parent, left, top, width, height);
  SendMessageW(Handle(), PBM_SETRANGE32, 0, 100);
}

int TProgressBar::Position() const { return static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0)); }
void TProgressBar::SetPosition(int position) { SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }

TStatusBar::TStatusBar(HWND parent, int height) {
  // Placed by us, not by the control, which would take its height from the
  // font and its borders.
  CreateControl(STATUSCLASSNAMEW, L"", CCS_BOTTOM | CCS_NORESIZE, 0, parent, 0, 0, 0, height);
  height_ = height;
  AlignToBottom();
}

void TStatusBar::AlignToBottom() {
  RECT client{};
  GetClientRect(GetParent(Handle()), &client);
  MoveWindow(Handle(), 0, client.bottom - height_, client.right, height_, TRUE);
}

void TStatusBar::SetHeight(int height) {
  height_ = height;
  AlignToBottom();
}

void TStatusBar::SetText(const std::wstring& text) {
  SendMessageW(Handle(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring TStatusBar::Text() const {
  std::wstring text(LOWORD(SendMessageW(Handle(), SB_GETTEXTLENGTHW, 0, 0)) + 1, L'\0');
  SendMessageW(Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}

TToolBar::TToolBar(HWND parent, int left, int top, int width, int height, HIMAGELIST images, int imageSize,
                   int buttonWidth, int buttonHeight) {
  CreateControl(TOOLBARCLASSNAMEW, L"", TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                0, parent, left, top, width, height);
  SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SetImages(images, imageSize, buttonWidth, buttonHeight);
  SetWindowSubclass(Handle(), LoseFocusProc, 1, 0);
}

TToolBar::~TToolBar() {
  if (Handle()) RemoveWindowSubclass(Handle(), LoseFocusProc, 1);
}

// The button lit for the keyboard goes out with the focus.
LRESULT CALLBACK TToolBar::LoseFocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR) {
  if (message == WM_KILLFOCUS) SendMessageW(window, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
  return DefSubclassProc(window, message, wParam, lParam);
}

void TToolBar::SetImages(HIMAGELIST images, int imageSize, int buttonWidth, int buttonHeight) {
  SendMessageW(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  SendMessageW(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(imageSize, imageSize));
  SendMessageW(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth, buttonHeight));
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TToolBar::TabbedInto() {
  if (SendMessageW(Handle(), TB_GETHOTITEM, 0, 0) >= 0) return;
  for (int id : order_) {
    if (!ButtonEnabled(id)) continue;
    SendMessageW(Handle(), TB_SETHOTITEM, SendMessageW(Handle(), TB_COMMANDTOINDEX, id, 0), 0);
    return;
  }
}

int TToolBar::AddButton(int imageIndex, const std::wstring& hint, TNotifyEvent handler) {
  const int command = nextCommand_++;
  buttons_[command] = Button{hint, std::move(handler)};
  order_.push_back(command);
  TBBUTTON button{};
  button.iBitmap = imageIndex;
  button.idCommand = command;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_BUTTON;
  button.iString = -1;
  SendMessageW(Handle(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
  return command;
}

void TToolBar::AddSeparator() {
  TBBUTTON button{};
  button.iBitmap = 6;
  button.fsStyle = BTNS_SEP;
  SendMessageW(Handle(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
}

void TToolBar::SetButtonEnabled(int commandId, bool enabled) {
  SendMessageW(Handle(), TB_ENABLEBUTTON, static_cast<WPARAM>(commandId), MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

bool TToolBar::ButtonEnabled(int commandId) const {
  return SendMessageW(Handle(), TB_ISBUTTONENABLED, static_cast<WPARAM>(commandId), 0) != 0;
}

std::wstring TToolBar::Hint(int commandId) const {
  const auto it = buttons_.find(commandId);
  return it == buttons_.end() ? std::wstring() : it->second.hint;
}

std::vector<int> TToolBar::ButtonIds() const { return order_; }

void TToolBar::Click(int commandId) {
  const auto it = buttons_.find(commandId);
  if (it == buttons_.end() || !ButtonEnabled(commandId)) return;
  if (it->second.handler) it->second.handler(this);
}

bool TToolBar::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
  if (message == WM_COMMAND) {
    Click(LOWORD(wParam));
    return true;
  }
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TBN_GETINFOTIPW) {
    auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(lParam);
    const auto hint = Hint(tip->iItem);
    lstrcpynW(tip->pszText, hint.c_str(), tip->cchTextMax);
    return true;
  }
  return false;
}

TPageControl::TPageControl(HWND parent, int left, int top, int width, int height) {
  CreateControl(WC_TABCONTROLW, L"", WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP, 0, parent, left, top, width,
                height);
}

RECT TPageControl::PageRect() const {
  RECT r = ClientRect();
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

TPanel& TPageControl::AddPage(const std::wstring& caption) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  std::wstring text = caption;
  item.pszText = text.data();
  const int index = PageCount();
  SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  const RECT r = PageRect();
  pages_.push_back(std::make_unique<TPanel>(Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top));
  if (index != ActivePageIndex()) pages_.back()->Hide();
  return *pages_.back();
}

void TPageControl::Place(int left, int top, int width, int height) {
  SetBounds(left, top, width, height);
  const RECT r = PageRect();
  for (const auto& page : pages_) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

int TPageControl::ActivePageIndex() const { return static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)); }

void TPageControl::SetActivePageIndex(int index) {
  SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (int i = 0; i < PageCount(); ++i) ShowWindow(pages_[i]->Handle(), i == index ? SW_SHOW : SW_HIDE);
  if (OnChange) OnChange(this);
}

std::wstring TPageControl::PageCaption(int index) const {
  wchar_t buffer[128] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = 128;
  SendMessageW(Handle(), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

bool TPageControl::Reflect(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
  if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != static_cast<UINT>(TCN_SELCHANGE)) return false;
  SetActivePageIndex(ActivePageIndex());
  return true;
}

}  // namespace skyloom
