#pragma once
// The rotation's view of a check list control.
#include "app/playlist.h"
#include "toolkit/check_list_box.h"
#include "toolkit/text_win.h"

namespace skyloom {

class TCheckListPlaylist final : public IPlaylist {
 public:
  explicit TCheckListPlaylist(TCheckListBox& list) : list_(list) {}
  int Count() const override { return list_.Count(); }
  bool Checked(int index) const override { return list_.Checked(index); }
  std::string Item(int index) const override { return Narrow(list_.Strings(index)); }
  void Select(int index) override { list_.SetItemIndex(index); }

 private:
  TCheckListBox& list_;
};

}  // namespace skyloom
