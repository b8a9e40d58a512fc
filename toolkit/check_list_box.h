#pragma once
// A list of strings, each with a check box drawn before it. A click on the
// box or the space bar toggles the mark; a right-click selects the row under
// the mouse before the context menu opens; selecting from code raises no
// click event. Bad indices raise "List index out of bounds (%d)".
// The strings and marks are held here and the control only knows their
// count (a no-data list box), so filling it with many entries is one step.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/menus.h"
#include "toolkit/window.h"

namespace skyloom {

class TCheckListBox : public TControl {
 public:
  TCheckListBox(HWND parent, int left, int top, int width, int height, int itemHeight, COLORREF color);
  ~TCheckListBox() override;

  int Count() const;
  int Add(const std::wstring& text);  // unchecked; answers its index
  void Delete(int index);
  void Clear();
  std::wstring Strings(int index) const;
  std::vector<std::wstring> Items() const;
  // Replaces every entry (unchecked) in one step.
  void Assign(std::vector<std::wstring> items);

  bool Checked(int index) const;
  void SetChecked(int index, bool checked);

  int ItemIndex() const;            // -1 when nothing is selected
  void SetItemIndex(int index);     // -1 clears the selection
  int TopIndex() const;
  void SetItemHeight(int itemHeight);

  void BeginUpdate();
  void EndUpdate();

  TNotifyEvent OnClick;       // the user changed the selection
  TNotifyEvent OnDblClick;
  TNotifyEvent OnClickCheck;  // the user toggled a mark
  // A key pressed in the list (Enter included); answers whether it was used.
  std::function<bool(WPARAM key)> OnKeyDown;
  TPopupMenu PopupMenu;       // the context menu, when it has items

  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
  // Mouse clicks on the box and the space bar; answers whether consumed.
  bool HandleInput(UINT message, WPARAM wParam, LPARAM lParam);
  void CheckIndex(int index) const;
  void Toggle(int index);
  void DrawItem(const DRAWITEMSTRUCT& item) const;
  int CheckWidth() const { return itemHeight_; }
  int RowAt(LPARAM point) const;
  void SelectRowAt(LPARAM point);

  int itemHeight_;
  UniqueGdiObject brush_;
  COLORREF color_;
  int updates_ = 0;
  std::vector<std::wstring> texts_;
  std::vector<char> checked_;  // one mark per text
};

}  // namespace skyloom
