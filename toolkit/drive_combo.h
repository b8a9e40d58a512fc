#pragma once
// The drive selector: one row per logical drive of the system ("c:", with
// the volume label of fixed drives). Choosing a drive opens its current
// directory in the linked directory list, which then raises its change.
// The rows are read again whenever the list drops down, so a drive added
// or removed while the program runs (a memory stick) shows up.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/window.h"

namespace skyloom {

class TDirectoryListBox;

class TDriveComboBox : public TControl {
 public:
  TDriveComboBox(HWND parent, int left, int top, int width, int height);

  // Not owned; follows the selection.
  TDirectoryListBox* DirList = nullptr;

  int Count() const { return static_cast<int>(drives_.size()); }
  wchar_t DriveAt(int index) const;
  // The selected drive letter (upper case), or 0.
  wchar_t Drive() const;
  // Reads the system's drives again; the linked list's drive (else the one
  // selected before) stays selected while it is there.
  void Refresh();

  // Shows the drive as selected, without telling the linked list.
  void Select(wchar_t letter);

  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:

  std::vector<wchar_t> drives_;  // one per row
  DWORD mask_ = 0;               // the drives the rows show
};

}  // namespace skyloom
