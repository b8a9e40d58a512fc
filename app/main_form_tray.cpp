// The notification-area icon, its menu, and the window-level commands that
// hide, show and leave the program.
#include "app/artwork.h"
#include "app/bind_handler.h"
#include "app/branding.h"
#include "app/main_form.h"

namespace skyloom {
namespace {

// Tray menu image indices (the menu strip of the program's pictures).
enum TMenuImage {
  miNextImage, miPrevImage, miVideoStart, miVideoStop, miNextVideo, miTimerStart, miTimerStop, miLoadGallery,
  miSaveGallery, miOpenWindow, miHide, miExit, miChooseImages, miAddFolder
};

}  // namespace

void TMainForm::CreateTray() {
  XPPopupMenu1 = std::make_unique<TXPPopupMenu>();
  TXPPopupMenu& menu = *XPPopupMenu1;
  menu.SetImages(MenuImages.get());
  StyleTrayMenu(menu);
  TMenuItem& items = menu.Items;
  items.Add(L"&Next WallPaper Image", miNextImage, Bind(this, &TMainForm::NextImage1Click));
  items.Add(L"&Prev WallPaper Image", miPrevImage, Bind(this, &TMainForm::PrevImage1Click));
  items.Add(L"-");
  items.Add(L"Start Video Desktop", miVideoStart, Bind(this, &TMainForm::ToolButton24Click));
  items.Add(L"Stop Video Desktop", miVideoStop, Bind(this, &TMainForm::ToolButton25Click));
  items.Add(L"Next Video", miNextVideo, Bind(this, &TMainForm::NextVideo1Click));
  Mute1 = &items.Add(L"Mute Video", -1, Bind(this, &TMainForm::Mute1Click));
  items.Add(L"-");
  StartTimer1 = &items.Add(L"Start WallPaper Timer", miTimerStart, Bind(this, &TMainForm::ToolButton11Click));
  StopTimer1 = &items.Add(L"Stop WallPaper Timer", miTimerStop, Bind(this, &TMainForm::ToolButton3Click));
  StopTimer1->Enabled = false;
  items.Add(L"-");
  PauseFullScreen1 = &items.Add(L"Pause for full-screen programs", -1, Bind(this, &TMainForm::PauseFullScreen1Click));
  PauseBattery1 = &items.Add(L"Pause on battery", -1, Bind(this, &TMainForm::PauseBattery1Click));
  PauseBatteryTimer1 =
      &items.Add(L"Pause images on battery too", -1, Bind(this, &TMainForm::PauseBatteryTimer1Click));
  items.Add(L"-");
  TMenuItem& gallery = items.Add(L"Load + Save Gallery", miSaveGallery);
  gallery.Add(L"&Load Gallery File", miLoadGallery, Bind(this, &TMainForm::LoadGallery1Click));
  gallery.Add(L"&Save Gallery File", miSaveGallery, Bind(this, &TMainForm::SaveGallery1Click));
  items.Add(L"C&hoose Images", miChooseImages, Bind(this, &TMainForm::ToolButton1Click));
  items.Add(L"Add &Folder...", miAddFolder, Bind(this, &TMainForm::AddFolder1Click));
  items.Add(L"&Open Image Dialog", miOpenWindow, Bind(this, &TMainForm::OpenDialog1Click));
  StartWithWindows1 = &items.Add(L"Start with &Windows", -1, Bind(this, &TMainForm::StartWithWindows1Click));
  menu.OnPopup = [this] { TrayMenuOpens(); };
  items.Add(L"-");
  items.Add(L"&Close and Hide", miHide, Bind(this, &TMainForm::Close1Click));
  items.Add(L"&Exit Skyloom", miExit, Bind(this, &TMainForm::Exit1Click));

  TrayIcon1 = std::make_unique<TTrayIcon>();
  TrayIcon1->SetHint(L"Skyloom Wallpaper Changer");
  TrayIcon1->SetPopupMenu(XPPopupMenu1.get());
  TrayIcon1->OnDblClick = Bind(this, &TMainForm::TrayIcon1DblClick);
  TrayIcon1->SetIcon(smallIcon_.get());  // copied; adds the icon to the area
}

// Hiding the window can disturb the video's placement: while video
// wallpaper runs it is attached to the host again.
void TMainForm::ToolButton15Click(void*) {
  Hide();
  if (VideoRunning()) ReattachVideo();
}
void TMainForm::Close1Click(void*) { ToolButton15Click(nullptr); }
void TMainForm::TrayIcon1DblClick(void*) { ShowForm(); }
void TMainForm::OpenDialog1Click(void*) { ShowForm(); }

void TMainForm::ShowForm() {
  Show();
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
}

// Closing the main window ends the program; the icon leaves the area as
// the window is destroyed.
void TMainForm::Exit1Click(void*) { PostMessageW(Handle(), WM_CLOSE, 0, 0); }

}  // namespace skyloom
