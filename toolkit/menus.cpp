#include "toolkit/menus.h"

namespace skyloom {
namespace {

struct MenuHandle {
  HMENU menu = CreatePopupMenu();
  ~MenuHandle() { DestroyMenu(menu); }
};

}  // namespace

void TPopupMenu::Click(int index) const {
  if (index < 0 || index >= Count()) return;
  if (const auto& handler = items_[static_cast<std::size_t>(index)].handler) handler(nullptr);
}

void TPopupMenu::Popup(HWND owner, POINT screen) const {
  MenuHandle menu;
  for (int i = 0; i < Count(); ++i) AppendMenuW(menu.menu, MF_STRING, static_cast<UINT_PTR>(i + 1), Caption(i).c_str());
  const int chosen = TrackPopupMenu(menu.menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0,
                                    owner, nullptr);
  if (chosen > 0) Click(chosen - 1);
}

}  // namespace skyloom
