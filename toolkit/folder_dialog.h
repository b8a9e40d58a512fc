#pragma once
// The system's folder picker, with the choice whether the folder's
// subfolders count too.
#include <windows.h>

#include <string>

namespace skyloom {

class TFolderDialog {
 public:
  explicit TFolderDialog(std::wstring subfoldersText) : subfoldersText_(std::move(subfoldersText)) {}

  const std::wstring& Folder() const { return folder_; }
  bool IncludeSubfolders() const { return includeSubfolders_; }
  void SetFolder(std::wstring folder) { folder_ = std::move(folder); }
  void SetIncludeSubfolders(bool include) { includeSubfolders_ = include; }
  const std::wstring& SubfoldersText() const { return subfoldersText_; }

  // Runs the picker, starting at the folder chosen last; answers whether
  // the user confirmed a folder.
  bool Execute(HWND owner);

 private:
  bool ExecuteItemDialog(HWND owner, bool& available);
  bool ExecuteOldDialog(HWND owner);

  std::wstring subfoldersText_, folder_;
  bool includeSubfolders_ = true;
};

}  // namespace skyloom
