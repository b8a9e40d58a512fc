#pragma once
// The common open and save dialogs. Filters are written "Text|*.ext|..."
// with the first choice preselected.
#include <windows.h>

#include <string>

namespace skyloom {

class TFileDialog {
 public:
  enum class Kind { Open, Save };
  TFileDialog(Kind kind, std::wstring filter, std::wstring defaultExt)
      : kind_(kind), filter_(std::move(filter)), defaultExt_(std::move(defaultExt)) {}

  Kind DialogKind() const { return kind_; }
  const std::wstring& Filter() const { return filter_; }
  const std::wstring& DefaultExt() const { return defaultExt_; }
  const std::wstring& FileName() const { return fileName_; }
  void SetFileName(std::wstring name) { fileName_ = std::move(name); }

  // Runs the dialog; answers whether the user confirmed a file name.
  bool Execute(HWND owner);

  // The filter as the common dialog wants it: pairs ended by NUL, a final NUL.
  static std::wstring FilterBuffer(const std::wstring& filter);

 private:
  Kind kind_;
  std::wstring filter_, defaultExt_, fileName_;
};

}  // namespace skyloom
