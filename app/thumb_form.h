#pragma once
// The thumbnail browser ("Wallpaper Viewer"): drives and directories on the
// left, the pictures of the current directory as thumbnails on the right. A
// double-click on a thumbnail adds its file, checked, to the main window's
// image playlist. Made once, hidden, at start-up; the main window shows it
// modally and it keeps its directory and thumbnails between openings.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "image/image_mview.h"
#include "toolkit/controls.h"
#include "toolkit/directory_list.h"
#include "toolkit/drive_combo.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace skyloom {

class TMainForm;

// The file name under the mouse, shared by hover and double-click. It
// outlives the window's openings and directory changes.
std::wstring& HoverFileName();

class Tthumbform : public TForm {
 public:
  static constexpr wchar_t kClassName[] = L"Tthumbform";

  explicit Tthumbform(TMainForm& mainForm);

  // Shows the window with the main window disabled and returns when it is
  // closed. The first time it opens at the folder browsed last, or at the
  // user's pictures folder, with that folder's thumbnails shown.
  void ShowModal();

  // Handlers.
  void DirectoryListBox1Change(void* sender);
  void FormActivate(void* sender);
  void ImageMView1MouseMove(void* sender, unsigned keys, int x, int y);
  void ImageMView1DblClick(void* sender);

  // The audible signal after an add; replaceable for tests.
  std::function<void()> Beep = [] { MessageBeep(0); };

  std::unique_ptr<TGroupBox> GroupBox1;
  std::unique_ptr<TDriveComboBox> DriveComboBox1;
  std::unique_ptr<TDirectoryListBox> DirectoryListBox1;
  std::unique_ptr<TImageMView> ImageMView1;
  std::unique_ptr<TStatusBar> StatusBar1;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged() override;

 private:
  void LayOut();
  void Close();
  void Refill(const std::wstring& directory);
  void OpenFirstFolder();

  TMainForm& mainForm_;
  bool modal_ = false;
  bool filled_ = false;  // the grid has shown a folder since start-up
};

}  // namespace skyloom
