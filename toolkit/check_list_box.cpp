#include "toolkit/check_list_box.h"

#include <commctrl.h>
#include <windowsx.h>

#include "toolkit/application.h"
#include "toolkit/errors.h"

namespace skyloom {

TCheckListBox::TCheckListBox(HWND parent, int left, int top, int width, int height, int itemHeight, COLORREF color)
    : itemHeight_(itemHeight), brush_(CreateSolidBrush(color)), color_(color) {
  CreateControl(L"LISTBOX", L"",
                LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE, parent, left, top, width, height);
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, itemHeight_);
  SetWindowSubclass(Handle(), SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

TCheckListBox::~TCheckListBox() {
  if (Handle()) RemoveWindowSubclass(Handle(), SubclassProc, 1);
}

int TCheckListBox::Count() const { return static_cast<int>(texts_.size()); }

void TCheckListBox::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(FormatMessage1("List index out of bounds (%d)", index));
}

int TCheckListBox::Add(const std::wstring& text) {
  const auto index = static_cast<WPARAM>(texts_.size());
  texts_.push_back(text);
  checked_.push_back(false);
  if (SendMessageW(Handle(), LB_INSERTSTRING, index, 0) < 0) {
    texts_.pop_back();
    checked_.pop_back();
    throw EListError("Out of memory while expanding the list");
  }
  return static_cast<int>(index);
}

void TCheckListBox::Delete(int index) {
  CheckIndex(index);
  SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  texts_.erase(texts_.begin() + index);
  checked_.erase(checked_.begin() + index);
}

void TCheckListBox::Clear() {
  SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
  texts_.clear();
  checked_.clear();
}

std::wstring TCheckListBox::Strings(int index) const {
  CheckIndex(index);
  return texts_[static_cast<std::size_t>(index)];
}

std::vector<std::wstring> TCheckListBox::Items() const { return texts_; }

void TCheckListBox::Assign(std::vector<std::wstring> items) {
  std::vector<char> unchecked(items.size(), false);
  BeginUpdate();
  Clear();
  const auto set = SendMessageW(Handle(), LB_SETCOUNT, items.size(), 0);
  if (set == LB_ERR || set == LB_ERRSPACE) {
    EndUpdate();
    throw EListError("Out of memory while expanding the list");
  }
  texts_ = std::move(items);
  checked_ = std::move(unchecked);
  EndUpdate();
}

bool TCheckListBox::Checked(int index) const {
  CheckIndex(index);
  return checked_[static_cast<std::size_t>(index)] != 0;
}

void TCheckListBox::SetChecked(int index, bool checked) {
  CheckIndex(index);
  checked_[static_cast<std::size_t>(index)] = checked;
  RECT r{};
  if (SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
    InvalidateRect(Handle(), &r, FALSE);
}

int TCheckListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void TCheckListBox::SetItemIndex(int index) {
  if (index != -1) CheckIndex(index);
  SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TCheckListBox::TopIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TCheckListBox::SetItemHeight(int itemHeight) {
  itemHeight_ = itemHeight;
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, itemHeight_);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TCheckListBox::BeginUpdate() {
  if (updates_++ == 0) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TCheckListBox::EndUpdate() {
  if (updates_ == 0 || --updates_ != 0) return;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TCheckListBox::Toggle(int index) {
  SetChecked(index, !Checked(index));
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::DrawItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  FillRect(dc, &r, static_cast<HBRUSH>(brush_.get()));
  if (item.itemID >= texts_.size()) return;
  const std::wstring& label = texts_[item.itemID];
  RECT box{r.left + 1, r.top + 1, r.left + CheckWidth() - 1, r.bottom - 1};
  UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
  if (checked_[item.itemID]) state |= DFCS_CHECKED;
  DrawFrameControl(dc, &box, DFC_BUTTON, state);

  RECT text{r.left + CheckWidth() + 1, r.top, r.right, r.bottom};
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  if (selected) FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  text.left += 2;
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
}

bool TCheckListBox::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(itemHeight_);
      result = TRUE;
      return true;
    case WM_CTLCOLORLISTBOX:
      SetBkColor(reinterpret_cast<HDC>(wParam), color_);
      result = reinterpret_cast<LRESULT>(brush_.get());
      return true;
    case WM_CONTEXTMENU: {
      if (PopupMenu.Count() == 0) return false;
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (at.x == -1 && at.y == -1) {  // from the keyboard: below the selection
        RECT r{};
        SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(ItemIndex() < 0 ? 0 : ItemIndex()),
                     reinterpret_cast<LPARAM>(&r));
        at = {r.left, r.bottom};
        ClientToScreen(Handle(), &at);
      }
      PopupMenu.Popup(Handle(), at);
      result = 0;
      return true;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == LBN_SELCHANGE && OnClick) OnClick(this);
      if (HIWORD(wParam) == LBN_DBLCLK && OnDblClick) OnDblClick(this);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK TCheckListBox::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) {
  auto* self = reinterpret_cast<TCheckListBox*>(data);
  // Enter is the list's own key when it has a use for it, not the dialog's.
  if (message == WM_GETDLGCODE && self->OnKeyDown && wParam == VK_RETURN)
    return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTMESSAGE;
  try {
    if (self->HandleInput(message, wParam, lParam)) return 0;
  } catch (...) {
    TApplication::Instance().HandleCurrentException();
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

bool TCheckListBox::HandleInput(UINT message, WPARAM wParam, LPARAM lParam) {
  // A click on the box toggles the mark; the list still selects the entry.
  if (message == WM_LBUTTONDOWN && GET_X_LPARAM(lParam) < CheckWidth()) {
    if (const int row = RowAt(lParam); row >= 0) Toggle(row);
    return false;
  }
  // Like every list: the row right-clicked is the row the menu acts on.
  if (message == WM_RBUTTONDOWN) {
    SelectRowAt(lParam);
    return false;
  }
  if (message == WM_KEYDOWN && OnKeyDown && OnKeyDown(wParam)) return true;
  if (message == WM_CHAR && wParam == L' ' && ItemIndex() >= 0) {
    Toggle(ItemIndex());
    return true;
  }
  return false;
}

// The row under a client point, or -1. Counted from the top row rather than
// asked of the control, whose answer holds only 16 bits of index.
int TCheckListBox::RowAt(LPARAM point) const {
  const POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  RECT client{};
  GetClientRect(Handle(), &client);
  const auto height = static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
  if (!PtInRect(&client, at) || height <= 0) return -1;
  const long long row = static_cast<long long>(TopIndex()) + at.y / height;
  return row < Count() ? static_cast<int>(row) : -1;
}

// A change of the selection by the user, as a left click makes it.
void TCheckListBox::SelectRowAt(LPARAM point) {
  const int row = RowAt(point);
  if (row < 0 || row == ItemIndex()) return;
  SetItemIndex(row);
  if (OnClick) OnClick(this);
}

}  // namespace skyloom
