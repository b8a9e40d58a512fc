// Getting out of the way: the wallpaper holds while a full-screen program
// stands over it, on battery, or on the user's /pause; the sound can be
// muted; /status reports the state.
#include "app/main_form.h"
#include "app/status_console.h"
#include "app/status_report.h"
#include "image/file_formats.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

// The full-screen check and the video window's place at the bottom share
// the window's own timer: a message a second, nothing in between.
constexpr UINT_PTR kScreenWatchTimer = 0x534C;
constexpr UINT kScreenWatchMs = 1000;

}  // namespace

// Called once the tray menu exists.
void TMainForm::CreatePauseWatch() {
  power_ = ReadPowerStatus();
  powerNotices_ = std::make_unique<TPowerNotices>(Handle());
  SetPauseReason(TPauseReason::Battery, power_.Holds());
  SyncPauseItems();
}

bool TMainForm::PauseMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_TIMER && wParam == kScreenWatchTimer) {
    CheckFullScreen();
    if (VideoBackdrop) VideoBackdrop->KeepAtBottom();
    result = 0;
    return true;
  }
  if (message == WM_DISPLAYCHANGE) fullScreenProbe_.ScreensChanged();  // the screens' own handler follows
  if (message != WM_POWERBROADCAST) return false;
  if (wParam == PBT_APMPOWERSTATUSCHANGE) {
    power_ = ReadPowerStatus();
  } else if (wParam != PBT_POWERSETTINGCHANGE || !lParam ||
             !ApplyPowerSetting(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam), power_)) {
    return false;
  }
  SetPauseReason(TPauseReason::Battery, power_.Holds());
  result = TRUE;
  return true;
}

// Full-screen programs are looked for only while there is something to
// hold. The user's own pause holds everything already, so nothing is probed
// under it; its end checks at once.
bool TMainForm::FullScreenWatched() const {
  return PauseRules.settings.fullScreen && !PauseRules.Has(TPauseReason::User) &&
         (Timer1->Active() || VideoRunning());
}

// The timer runs only while it has work: every wake of an idle program
// costs (a fraction of a millisecond under Wine).
void TMainForm::WatchScreen() {
  const bool wanted = FullScreenWatched() || (VideoBackdrop && VideoBackdrop->Visible());
  if (wanted == screenWatched_) return;
  screenWatched_ = wanted;
  if (wanted) SetTimer(Handle(), kScreenWatchTimer, kScreenWatchMs, nullptr);
  else KillTimer(Handle(), kScreenWatchTimer);
}

// With the setting off, or with neither the timer nor video wallpaper
// running, nothing is probed. A held video that the device could not pause
// yet (still opening) is tried again at the next check.
void TMainForm::CheckFullScreen() {
  WatchScreen();
  const bool fullScreen = FullScreenWatched() && fullScreenProbe_.Shown(VideoHostWindow);
  if (fullScreen != PauseRules.Has(TPauseReason::FullScreen)) return SetPauseReason(TPauseReason::FullScreen, fullScreen);
  if (PauseRules.VideoHeld() && !PauseRules.VideoPausedHere() && VideoRunning()) ApplyPause();
}

void TMainForm::SetPauseReason(TPauseReason reason, bool on) {
  PauseRules.Set(reason, on);
  ApplyPause();
}

void TMainForm::SetUserPause(bool paused) {
  SetPauseReason(TPauseReason::User, paused);
  if (!paused) CheckFullScreen();
}

// Pauses a playing video that is held and resumes one this paused; the
// timer holds its tick with the time it has left.
void TMainForm::ApplyPause() {
  auto& device = *MediaPlayer21;
  const bool playing = VideoRunning() && device.IsOpen() && device.Mode() == TMPDeviceMode::mpPlaying;
  const TPauseActions actions = PauseRules.Update(playing);
  if (actions.pauseVideo) device.Pause();
  if (actions.resumeVideo && device.IsOpen()) ResumeVideo();
  Timer1->SetPaused(PauseRules.TimerHeld());
  ShowPauseReason();
  WatchScreen();
}

// A device that ended its play when paused (Wine's) has kept the position:
// playing goes on from there.
void TMainForm::ResumeVideo() {
  auto& device = *MediaPlayer21;
  const TMPDeviceMode mode = device.Mode();
  if (mode == TMPDeviceMode::mpPaused) return device.Resume();
  if (mode == TMPDeviceMode::mpStopped && VideoRunning()) device.Play();
}

// The reason stays on the status bar while it holds (said again after the
// device's notices of a video opened meanwhile); when it ends, the bar is
// cleared unless something else has been said since.
void TMainForm::ShowPauseReason() {
  const std::wstring reason = PauseRules.Reason();
  if (!reason.empty()) {
    ShowVideoReason(reason.c_str());
  } else if (StatusBar1->Text() == pauseShown_) {
    StatusBar1->SetText(L"");
    videoReasonShown_ = false;
  }
  pauseShown_ = reason;
}

void TMainForm::SetMuted(bool muted) {
  if (muted == MediaPlayer21->Muted()) return;
  MediaPlayer21->SetMuted(muted);
  SyncPauseItems();
  StateChanged();
}

void TMainForm::PauseFullScreen1Click(void*) { TogglePauseSetting(PauseRules.settings.fullScreen); }
void TMainForm::PauseBattery1Click(void*) { TogglePauseSetting(PauseRules.settings.battery); }
void TMainForm::PauseBatteryTimer1Click(void*) { TogglePauseSetting(PauseRules.settings.batteryTimer); }

// A setting takes effect at once: a full-screen program is looked for
// again, a reason whose setting went off lets go.
void TMainForm::TogglePauseSetting(bool& setting) {
  setting = !setting;
  SyncPauseItems();
  CheckFullScreen();
  ApplyPause();
  StateChanged();
}

void TMainForm::Mute1Click(void*) { SetMuted(!MediaPlayer21->Muted()); }

void TMainForm::SyncPauseItems() {
  PauseFullScreen1->Checked = PauseRules.settings.fullScreen;
  PauseBattery1->Checked = PauseRules.settings.battery;
  PauseBatteryTimer1->Checked = PauseRules.settings.batteryTimer;
  PauseBatteryTimer1->Enabled = PauseRules.settings.battery;
  Mute1->Checked = MediaPlayer21->Muted();
}

std::string TMainForm::StatusReport() {
  TStatusReport report;
  report.wallpaper = CurrentImageFile();
  report.timerActive = Timer1->Active();
  report.timerPaused = Timer1->Paused();
  report.nextChangeMs = Timer1->RemainingMs();
  const bool open = MediaPlayer21->IsOpen();
  report.video = open ? Narrow(MediaPlayer21->FileName) : "";
  report.videoState = LowerCase(Narrow(VideoModeName()));
  report.videoRunning = VideoRunning();
  report.pauseReason = Narrow(PauseRules.Reason());
  report.muted = MediaPlayer21->Muted();
  return FormatStatus(report);
}

// A plain /status prints; with a path the report replaces the file in one
// step, so a reader never sees half of it.
void TMainForm::WriteStatus(const std::string& path) {
  const std::string text = StatusReport();
  if (path.empty()) return PrintToConsole(text);
  WriteFileSafely(path, [&](TStream& out) { out.WriteBuffer(text.data(), text.size()); });
}

void TMainForm::CollectPauseState(TAppState& state) const {
  SetStateBool(state, "pause_fullscreen", PauseRules.settings.fullScreen);
  SetStateBool(state, "pause_battery", PauseRules.settings.battery);
  SetStateBool(state, "pause_battery_timer", PauseRules.settings.batteryTimer);
  SetStateBool(state, "mute", MediaPlayer21->Muted());
}

void TMainForm::RestorePauseState(const TAppState& state) {
  PauseRules.settings.fullScreen = StateBool(state, "pause_fullscreen", true);
  PauseRules.settings.battery = StateBool(state, "pause_battery", true);
  PauseRules.settings.batteryTimer = StateBool(state, "pause_battery_timer", false);
  MediaPlayer21->SetMuted(StateBool(state, "mute", false));
  SyncPauseItems();
  ApplyPause();
}

}  // namespace skyloom
