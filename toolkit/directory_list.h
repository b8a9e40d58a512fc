#pragma once
// The directory tree list: the current directory's parents from the root
// down, the current directory, then its subdirectories, each indented by
// its depth. A double-click on an entry opens that directory. Every change
// of the current directory raises OnChange once; setting the directory it
// already shows raises nothing.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/window.h"

namespace skyloom {

class TDirectoryListBox : public TControl {
 public:
  // Starts at the process's current directory without raising OnChange.
  TDirectoryListBox(HWND parent, int left, int top, int width, int height, int itemHeight);

  // The full path: a root ends in a backslash ("C:\"), others do not.
  const std::wstring& Directory() const { return directory_; }
  void SetDirectory(const std::wstring& path);
  // Opens the drive's current directory (its root when it has none).
  void SetDrive(wchar_t letter);
  wchar_t Drive() const { return directory_.empty() ? L'\0' : directory_[0]; }

  int Count() const { return static_cast<int>(paths_.size()); }
  std::wstring ItemPath(int index) const;
  // The highlighted row, or -1.
  int ItemIndex() const;
  // Opens the entry as a double-click does; the current directory's own
  // entry raises OnChange again.
  void OpenItem(int index);

  TNotifyEvent OnChange;
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Fill();

  std::wstring directory_;
  std::vector<std::wstring> paths_;  // one per row
};

// A full path in the list's form: absolute, no trailing backslash except
// after a drive's root.
std::wstring NormalizeDirectory(const std::wstring& path);

}  // namespace skyloom
