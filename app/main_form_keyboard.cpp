// The main window from the keyboard: Tab through the controls of the page
// shown, Ctrl+Tab between the pages, Enter and Delete on the lists.
#include "app/bind_handler.h"
#include "app/main_form.h"

namespace skyloom {

void TMainForm::SetUpKeyboard() {
  // The tabs, then the page's toolbar and its controls top to bottom, left
  // to right; the hidden page's are passed over.
  TabOrder = {PageControl1->Handle(), ToolBar1->Handle(),       timeredit->Handle(),
              randomcheck->Handle(),  PerScreenCheck->Handle(), ResizeBox->Handle(),
              FitBox->Handle(),       ImageListBox->Handle(),   ToolBar2->Handle(),
              VideoCheck->Handle()};
  ImageListBox->OnKeyDown = [this](WPARAM key) {
    return ListKey(*ImageListBox, key, Bind(this, &TMainForm::ImageListBoxDblClick),
                   Bind(this, &TMainForm::DeleteImage1Click));
  };
  VideoCheck->OnKeyDown = [this](WPARAM key) {
    return ListKey(*VideoCheck, key, Bind(this, &TMainForm::VideoCheckDblClick),
                   Bind(this, &TMainForm::DeleteImage2Click));
  };
}

// Enter does what a double-click does, Delete what the list's menu item does,
// both on the selected entry.
bool TMainForm::ListKey(TCheckListBox& list, WPARAM key, const TNotifyEvent& apply, const TNotifyEvent& remove) {
  if (key != VK_RETURN && key != VK_DELETE) return false;
  if (list.ItemIndex() < 0) return true;
  (key == VK_RETURN ? apply : remove)(&list);
  return true;
}

bool TMainForm::DialogKey(MSG& msg) {
  const bool pageKey = msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0;
  if (!pageKey) return TForm::DialogKey(msg);
  const int count = PageControl1->PageCount();
  const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  PageControl1->SetActivePageIndex((PageControl1->ActivePageIndex() + step) % count);
  // The focus may have been on the page now hidden.
  SetFocus(PageControl1->Handle());
  return true;
}

}  // namespace skyloom
