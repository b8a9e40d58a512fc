#pragma once
// A context menu of plain items, each running its handler.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/window.h"

namespace skyloom {

class TPopupMenu {
 public:
  void Add(std::wstring caption, TNotifyEvent handler) { items_.push_back({std::move(caption), std::move(handler)}); }
  int Count() const { return static_cast<int>(items_.size()); }
  const std::wstring& Caption(int index) const { return items_[static_cast<std::size_t>(index)].caption; }
  // Runs the item's handler as choosing it would.
  void Click(int index) const;
  // Shows the menu at a screen point and runs the chosen item.
  void Popup(HWND owner, POINT screen) const;

 private:
  struct Item {
    std::wstring caption;
    TNotifyEvent handler;
  };
  std::vector<Item> items_;
};

}  // namespace skyloom
