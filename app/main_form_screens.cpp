// Screens: the "Fit" box, "One picture per screen", preparing a bitmap per
// monitor or one tiled over all of them, and applying the pictures again
// when the monitors change.
#include <windows.h>

#include <algorithm>

#include "app/check_list_playlist.h"
#include "app/main_form.h"
#include "app/wallpaper_folder.h"
#include "desktop/virtual_screen.h"
#include "image/monitor_layout.h"
#include "toolkit/random.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

constexpr UINT kReapplyMessage = WM_APP + 23;

const std::vector<std::wstring> kFitItems = {L"Fit", L"Fill", L"Stretch", L"Centre", L"Tile", L"Span"};

}  // namespace

void TMainForm::CreateScreenControls(HWND panel) {
  FitBox = std::make_unique<TComboBox>(panel, 0, 0, 0, 0, kFitItems);
  FitBox->SetItemIndex(0);
  FitBox->OnChange = [this](void*) { StateChanged(); };
  PerScreenCheck = std::make_unique<TCheckBox>(panel, L"One picture per screen", 0, 0, 0, 0);
  PerScreenCheck->OnClick = [this](void*) { StateChanged(); };
}

// Beside the filter box, which takes the left half of its row; the check box
// under "Random Image" in the timer group.
void TMainForm::LayOutScreenControls(int filterTop) {
  FitBox->SetBounds(Scaled(132), filterTop, Scaled(112), Scaled(200));
  PerScreenCheck->SetBounds(Scaled(104), Scaled(54), Scaled(150), Scaled(17));
}

// Typed text that matches no fit leaves no selection: "Fit" then.
TWallpaperFit TMainForm::ChosenFit() const {
  const int index = FitBox->ItemIndex();
  if (index < 0 || index >= kWallpaperFitCount) return TWallpaperFit::wfFit;
  return static_cast<TWallpaperFit>(index);
}

void TMainForm::CollectScreenState(TAppState& state) const {
  SetStateText(state, "fit", FitName(ChosenFit()));
  SetStateBool(state, "per_monitor", PerScreenCheck->Checked());
}

void TMainForm::RestoreScreenState(const TAppState& state) {
  const auto fit = FitFromName(StateText(state, "fit", "fit"));
  FitBox->SetItemIndex(static_cast<int>(fit.value_or(TWallpaperFit::wfFit)));
  PerScreenCheck->SetChecked(StateBool(state, "per_monitor", false));
}

// With a picture per screen on several monitors (not spanned), how many
// pictures a tick picks; 1 otherwise.
std::size_t TMainForm::ScreensToFill() const {
  if (!PerScreenCheck->Checked() || ChosenFit() == TWallpaperFit::wfSpan) return 1;
  return std::max<std::size_t>(ReadMonitorLayout().size(), 1);
}

// The monitors after the first take the pictures the rotation gives next
// (folder rows, the shuffled round and the history included), so the next
// tick goes on after the last of them. A folder still being read leaves
// the remaining monitors to repeat the pictures picked.
void TMainForm::PickMoreForScreens(IPlaylist& list, const TFolderReader& folders, std::size_t screens,
                                   std::vector<std::string>& pictures) {
  const TShowImage keep = [&pictures](const std::string& path) {
    if (FileExists(path)) pictures.push_back(path);
  };
  for (std::size_t tick = 1; tick < screens; ++tick) {
    if (!RotationTick(list, rotation_, AppRandom(), keep, folders) || rotation_.waiting) break;
  }
  rotation_.waiting = false;
  rotation_.currentFile = pictures.front();  // what the first monitor and the preview show
}

// The shell's interface is used where it knows more than one monitor;
// otherwise the system's monitors get one bitmap.
TScreenTarget TMainForm::ReadScreenTarget() {
  TScreenTarget target;
  if (std::unique_ptr<IMonitorWallpaper> shell = OpenMonitorWallpaper ? OpenMonitorWallpaper() : nullptr) {
    const std::vector<IMonitorWallpaper::TMonitor> monitors = shell->Monitors();
    if (monitors.size() > 1) {
      for (const auto& monitor : monitors) {
        target.layout.push_back(monitor.rect);
        target.ids.push_back(monitor.id);
      }
      target.shell = std::move(shell);
      return target;
    }
  }
  target.layout = ReadMonitorLayout();
  if (target.layout.empty()) {
    const TScreenSize size = PhysicalVirtualScreenSize();
    target.layout.push_back({0, 0, size.width, size.height});
  }
  return target;
}

// The first picture is the one the preview holds; the others are read
// apart. The preview ends up showing what the first monitor (or the tiled
// bitmap) shows. Answers false when a picture could not be read or the
// work was stopped.
bool TMainForm::WriteScreens(const std::vector<std::string>& files, const TScreenTarget& target,
                             TWallpaperOutput output, std::vector<std::string>& written) {
  std::vector<TBitmap> others(files.size() - 1);
  std::vector<TScreenPicture> pictures{{&ImageView1->GetBitmap(), 0}};
  for (std::size_t i = 1; i < files.size(); ++i) {
    TImageIO reader;
    reader.AttachedBitmap(&others[i - 1]);
    if (FileExists(files[i])) reader.LoadFromFile(files[i]);
    if (!reader.Aborting && !others[i - 1].Empty()) pictures.push_back({&others[i - 1], 0});
  }
  for (TScreenPicture& picture : pictures) {
    const int r1 = AppRandom().Draw(20);
    const int r2 = AppRandom().Draw(20);
    picture.background = SampleBackground(*picture.picture, r1, r2);
  }
  WallpaperBackColor = pictures[0].background;
  TFitRequest request;
  request.fit = ChosenFit();
  request.filter = ChosenFilter();
  request.threads = ImageProc.Threads;
  ImageProc.Aborting = false;
  const TProgressRec progress{&ImageProc.OnProgress, &ImageProc, 0.0, &ImageProc.Aborting};
  std::vector<TBitmap> screens;
  if (!RenderForMonitors(pictures, target.layout, request, screens, progress)) return false;
  ProgressBar->SetPosition(0);

  const std::string wallpaper = Narrow(WallpaperFolder(AppDir())) + "wallpaper.bmp";
  TImageIO writer;
  const auto write = [&](TBitmap& bitmap, const std::string& path) {
    writer.AttachedBitmap(&bitmap);
    writer.SaveToFileBMP(path);
    written.push_back(path);
  };
  if (output == TWallpaperOutput::woPerMonitor) {
    for (std::size_t i = 0; i < screens.size(); ++i) write(screens[i], MonitorFileName(wallpaper, i));
  } else {
    TBitmap bitmap = output == TWallpaperOutput::woTiled ? ComposeTiled(screens, target.layout) : std::move(screens[0]);
    write(bitmap, wallpaper);
    screens.assign(1, std::move(bitmap));
  }
  ImageView1->Assign(screens[0]);
  return true;
}

// The tiled bitmap repeats from the primary's top-left; a screen-sized one
// is centred and so never scaled. With the shell's interface each monitor
// then gets its own file over what the desktop settings wrote.
void TMainForm::ApplyScreens(const TScreenTarget& target, TWallpaperOutput output,
                             const std::vector<std::string>& written) {
  DesktopTheme->Desktop.WallpaperStyle = output == TWallpaperOutput::woTiled ? wlpsTile : wlpsCenter;
  ApplyDesktopWallpaper(written[0]);
  if (output != TWallpaperOutput::woPerMonitor || !target.shell) return;
  target.shell->SetCentred();
  for (std::size_t i = 0; i < target.ids.size() && i < written.size(); ++i)
    target.shell->SetWallpaper(target.ids[i], Widen(written[i]));
}

// A change of the monitors, their resolution or their scaling: the pictures
// on the screens are prepared again for the new layout, once the burst of
// messages is over. Settings broadcasts (ours among them, after every
// apply) change nothing unless the monitors changed.
bool TMainForm::ScreenMessage(UINT message) {
  if (message == kReapplyMessage) {
    reapplyPosted_ = false;
    ReapplyForDisplayChange();
    return true;
  }
  if (message != WM_DISPLAYCHANGE && message != WM_DPICHANGED && message != WM_SETTINGCHANGE) return false;
  if (!reapplyPosted_ && !screenFiles_.empty()) reapplyPosted_ = PostMessageW(Handle(), kReapplyMessage, 0, 0);
  return false;
}

void TMainForm::ReapplyForDisplayChange() {
  if (screenFiles_.empty() || ReadMonitorLayout() == appliedLayout_) return;
  if (!FileExists(screenFiles_[0])) return;
  ApplyPictures(screenFiles_);
}

}  // namespace skyloom
