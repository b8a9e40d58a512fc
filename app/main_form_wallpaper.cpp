// Turning one picture into the desktop wallpaper: load, sample the
// background colour, fit to the desktop, write wallpaper.bmp, apply.
#include <windows.h>

#include <algorithm>

#include "app/main_form.h"
#include "app/wallpaper_folder.h"
#include "desktop/virtual_screen.h"
#include "image/desktop_fit.h"
#include "image/monitor_layout.h"
#include "toolkit/random.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

// Sets the bar back to 0 however the work ends: every step reports,
// the last one (the write) too.
class TProgressReset {
 public:
  explicit TProgressReset(TProgressBar& bar) : bar_(bar) {}
  ~TProgressReset() { bar_.SetPosition(0); }
  TProgressReset(const TProgressReset&) = delete;
  TProgressReset& operator=(const TProgressReset&) = delete;

 private:
  TProgressBar& bar_;
};

// Until the desktop settings take the new picture, a step that fails
// leaves the snapshot showing what the desktop shows: the wallpaper the
// settings name, read again, or nothing when that cannot be read. The
// snapshot would otherwise keep the half-read or half-prepared picture.
class TSnapshotRestore {
 public:
  TSnapshotRestore(TImageIO& loader, TImageView& view, const std::string& wallpaper)
      : loader_(loader), view_(view), wallpaper_(wallpaper) {}
  ~TSnapshotRestore() {
    if (!kept_) ShowDesktopWallpaper();
  }
  TSnapshotRestore(const TSnapshotRestore&) = delete;
  TSnapshotRestore& operator=(const TSnapshotRestore&) = delete;
  void Keep() { kept_ = true; }

 private:
  void ShowDesktopWallpaper() noexcept {
    if (!ReadWallpaper()) view_.Assign(TBitmap());
  }
  bool ReadWallpaper() noexcept {
    if (!FileExists(wallpaper_)) return false;
    try {
      loader_.LoadFromFile(wallpaper_);
    } catch (...) {
      return false;  // runs while another error may be passing: nothing escapes
    }
    return !loader_.Aborting && !view_.GetBitmap().Empty();
  }

  TImageIO& loader_;
  TImageView& view_;
  const std::string wallpaper_;
  bool kept_ = false;
};

}  // namespace

void TMainForm::SetWallpaperFromFile(const std::string& path) {
  if (!FileExists(path)) return;
  ApplyPictures({path});
}

// The first picture goes through the snapshot preview; "Fit" on one monitor
// is prepared as it always was (the fitted picture, shown centred), every
// other case as screen-sized bitmaps.
void TMainForm::ApplyPictures(const std::vector<std::string>& files) {
  const TProgressReset progressReset(*ProgressBar);
  TSnapshotRestore snapshot(ImageIO1, *ImageView1, DesktopTheme->Desktop.Wallpaper);
  ImageIO1.LoadFromFile(files[0]);
  // Content the decoders could not read leaves the wallpaper as it was; the
  // status bar says so, without a box that would stop an unattended timer.
  if (ImageIO1.Aborting || ImageView1->GetBitmap().Empty()) {
    StatusBar1->SetText(L"Could not read the picture " + Widen(files[0]));
    return;
  }
  StatusBar1->SetText(L"");
  screenFiles_ = files;
  appliedLayout_ = ReadMonitorLayout();
  const TScreenTarget target = ReadScreenTarget();
  const TWallpaperOutput output = ChooseOutput(ChosenFit(), target.layout.size(), target.shell != nullptr);
  if (output != TWallpaperOutput::woFittedPicture) {
    std::vector<std::string> written;
    if (!WriteScreens(files, target, output, written)) return;
    snapshot.Keep();
    ApplyScreens(target, output, written);
    return;
  }
  FitToDesktop();
  const std::string wallpaper = Narrow(WallpaperFolder(AppDir())) + "wallpaper.bmp";
  ImageIO1.SaveToFileBMP(wallpaper);
  snapshot.Keep();
  DesktopTheme->Desktop.WallpaperStyle = wlpsCenter;
  ApplyDesktopWallpaper(wallpaper);
}

void TMainForm::FitToDesktop() {
  const TBitmap& picture = ImageView1->GetBitmap();
  const int width = picture.Width(), height = picture.Height();
  const int r1 = AppRandom().Draw(20);
  const int r2 = AppRandom().Draw(20);
  WallpaperBackColor = SampleBackground(picture, r1, r2);

  const TScreenSize desktop = PhysicalVirtualScreenSize();
  const TSize fitted = FitToDesktopSize(width, height, desktop.width, desktop.height);
  ImageProc.Resample(fitted.width, fitted.height, ChosenFilter());
  ProgressBar->SetPosition(0);
}

// Typed text that matches no filter leaves no selection: Bell then, the
// filter Skyloom starts with.
TResampleFilter TMainForm::ChosenFilter() const {
  const int index = ResizeBox->ItemIndex();
  if (index < rfNone || index > rfMitchell) return rfBell;
  return static_cast<TResampleFilter>(index);
}

void TMainForm::ApplyDesktopWallpaper(const std::string& path) {
  DesktopTheme->Colors.Background = WallpaperBackColor;
  DesktopTheme->Desktop.Wallpaper = path;
  DesktopTheme->Apply();
  // The desktop repaints itself with the new wallpaper; some window managers
  // (Wine's virtual desktop among them) paint it over our window without
  // asking the window to paint itself again.
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TMainForm::ImageIO1Progress(void*, int percent) { ProgressBar->SetPosition(percent); }
void TMainForm::ImageProcProgress(void*, int percent) { ProgressBar->SetPosition(percent); }

}  // namespace skyloom
