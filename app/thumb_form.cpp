#include "app/thumb_form.h"

#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "app/main_form.h"
#include "image/codecs/gif_lzw_install.h"
#include "image/codecs/tiff_lzw.h"
#include "image/format_detect.h"
#include "image/lzw_hooks.h"
#include "toolkit/known_folder.h"
#include "toolkit/quiet_drive_errors.h"
#include "toolkit/text_win.h"

namespace skyloom {

namespace {

constexpr int kWidth = 665, kHeight = 500;
constexpr int kGroupWidth = 164;
constexpr int kStatusHeight = 19;
constexpr int kDirectoryItemHeight = 16;

// Plain files only: what an archive-only attribute mask lets through.
bool PlainFile(DWORD attributes) {
  constexpr DWORD kExcluded =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY | 0x8 /* volume label */;
  return (attributes & kExcluded) == 0;
}

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::wstring& HoverFileName() {
  static std::wstring name;
  return name;
}

Tthumbform::Tthumbform(TMainForm& mainForm)
    : TForm(kClassName, L"Wallpaper Viewer", WS_OVERLAPPEDWINDOW, 0, kWidth, kHeight), mainForm_(mainForm) {
  SetBounds(0, 0, Scaled(kWidth), Scaled(kHeight));  // the outer size
  CenterOnScreen();
  const HWND form = Handle();
  // The group's controls are the form's children laid over it, so that
  // their notifications reach the form.
  // Placed by LayOut, at the window's DPI.
  GroupBox1 = std::make_unique<TGroupBox>(form, L" Wallpaper Directory ", 0, 0, 0, 0);
  DriveComboBox1 = std::make_unique<TDriveComboBox>(form, 0, 0, 0, 0);
  DirectoryListBox1 = std::make_unique<TDirectoryListBox>(form, 0, 0, 0, 0, Scaled(kDirectoryItemHeight));
  DriveComboBox1->DirList = DirectoryListBox1.get();
  DirectoryListBox1->OnChange = [this](void* sender) { DirectoryListBox1Change(sender); };

  ImageMView1 = std::make_unique<TImageMView>(form, 0, 0, 0, 0);
  ImageMView1->SetCtl3D(true);
  ImageMView1->SetBorderStyle(TIEBorderStyle::bsSingle);
  ImageMView1->SetStoreType(TStoreType::ietThumb);
  ImageMView1->MouseInteract = mmiScroll | mmiSelect;
  ImageMView1->SetGridWidth(-1);
  ImageMView1->SetSelectionWidth(3);
  ImageMView1->SetSelectionColor(0x000000FF);
  ImageMView1->SetScrollBars(TViewScrollBars::ssBoth);
  ImageMView1->OnDblClick = [this](void* sender) { ImageMView1DblClick(sender); };
  ImageMView1->OnMouseMove = [this](void* sender, unsigned keys, int x, int y) {
    ImageMView1MouseMove(sender, keys, x, y);
  };

  StatusBar1 = std::make_unique<TStatusBar>(form, Scaled(kStatusHeight));
  LayOut();
}

// The heights that follow the DPI are set once per change, not at every size.
void Tthumbform::DpiChanged() {
  StatusBar1->SetHeight(Scaled(kStatusHeight));
  SendMessageW(DirectoryListBox1->Handle(), LB_SETITEMHEIGHT, 0, Scaled(kDirectoryItemHeight));
  LayOut();
}

// Sizes at 96 DPI, scaled: the group down the left, the grid filling the rest.
void Tthumbform::LayOut() {
  const RECT client = ClientRect();
  StatusBar1->AlignToBottom();
  const int height = std::max(0, static_cast<int>(client.bottom) - StatusBar1->Height());
  const int group = Scaled(kGroupWidth);
  GroupBox1->SetBounds(0, 0, group, height);
  DriveComboBox1->SetBounds(Scaled(8), Scaled(19), Scaled(147), Scaled(19));
  DirectoryListBox1->SetBounds(Scaled(2), Scaled(44), Scaled(160), std::max(0, height - Scaled(46)));
  ImageMView1->SetBounds(group, 0, std::max(0, static_cast<int>(client.right) - group), height);
}

void Tthumbform::ShowModal() {
  // The tray menu stays usable while the window is open: a second request
  // only brings it to the front.
  if (modal_) {
    SetForegroundWindow(Handle());
    return;
  }
  const HWND owner = mainForm_.Handle();
  SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  EnableWindow(owner, FALSE);
  OpenFirstFolder();
  modal_ = true;
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  SetFocus(DirectoryListBox1->Handle());
  MSG msg;
  while (modal_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: leave the loop and let the outer one see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageW(Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  modal_ = false;
  // Enabled before hiding, so that the activation goes back to the owner.
  EnableWindow(owner, TRUE);
  Hide();
}

// A new user sees pictures at once instead of the program's own folder and
// an empty grid.
void Tthumbform::OpenFirstFolder() {
  if (filled_) return;
  const QuietDriveErrors quiet;
  std::wstring folder = mainForm_.BrowseFolder;
  if (folder.empty() || !FolderExists(folder)) folder = KnownFolder(FOLDERID_Pictures);
  if (!folder.empty() && FolderExists(folder)) DirectoryListBox1->SetDirectory(folder);
  DriveComboBox1->Select(DirectoryListBox1->Drive());
  if (!filled_) DirectoryListBox1Change(DirectoryListBox1.get());
}

void Tthumbform::DirectoryListBox1Change(void*) {
  const std::wstring& directory = DirectoryListBox1->Directory();
  Refill(directory);
  if (mainForm_.BrowseFolder == directory) return;
  mainForm_.BrowseFolder = directory;
  mainForm_.StateChanged();
}

void Tthumbform::Refill(const std::wstring& directory) {
  filled_ = true;
  // One layout at the end instead of one per change.
  const TImageMView::TUpdateLock lock(*ImageMView1);
  ImageMView1->ClearImages();
  QuietDriveErrors quiet;
  WIN32_FIND_DATAW data{};
  const UniqueFindHandle find(FindFirstFileW((directory + L"\\*.*").c_str(), &data));
  if (!find) return;
  do {
    if (!PlainFile(data.dwFileAttributes)) continue;
    // As built, without normalising: a root's own backslash is followed by
    // another one.
    const std::string path = Narrow(directory + L"\\" + data.cFileName);
    if (FindFileFormat(path, true) == 0) continue;
    ImageMView1->SetImageFileName(ImageMView1->AppendImage(), path);
  } while (FindNextFileW(find.get(), &data));
}

void Tthumbform::FormActivate(void*) {
  auto& hooks = GlobalLzwHooks();
  InstallGifLzwHooks(hooks);
  InstallTiffLzwHooks(hooks);
}

void Tthumbform::ImageMView1MouseMove(void*, unsigned, int x, int y) {
  if (ImageMView1->ImageCount() > 0)
    HoverFileName() = Widen(ImageMView1->GetImageFileName(ImageMView1->HitTest(x, y)));
  StatusBar1->SetText(HoverFileName());
}

void Tthumbform::ImageMView1DblClick(void*) {
  const std::wstring path = HoverFileName();
  if (path.empty()) return;
  mainForm_.AddCheckedImage(path);
  StatusBar1->SetText(path + L" - Added to List");
  if (Beep) Beep();
}

void Tthumbform::Close() {
  // Closing only hides: the window lives as long as the program. While
  // modal, the loop hides it after enabling the main window, so that the
  // activation goes back there.
  if (modal_)
    modal_ = false;
  else
    Hide();
}

LRESULT Tthumbform::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) FormActivate(this);
      break;
    case WM_SIZE:
      if (StatusBar1) LayOut();
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      // The keyboard, through the dialog keys of the modal loop: Enter
      // opens the directory list's highlighted entry, Escape closes.
      if (lParam != 0) break;
      if (LOWORD(wParam) == IDCANCEL) Close();
      if (LOWORD(wParam) == IDOK && GetFocus() == DirectoryListBox1->Handle())
        DirectoryListBox1->OpenItem(DirectoryListBox1->ItemIndex());
      return 0;
    default:
      break;
  }
  return TForm::WindowProc(message, wParam, lParam);
}

}  // namespace skyloom
