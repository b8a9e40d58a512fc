// The video playlist's editing commands and the video wallpaper controller:
// the checked rows play one after another in the desktop host window.
#include <iterator>

#include "app/bind_handler.h"
#include "app/desktop_host.h"
#include "app/exit_deadline.h"
#include "app/main_form.h"
#include "app/video_backdrop.h"
#include "toolkit/errors.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

const wchar_t* ModeText(TMPDeviceMode mode) {
  static constexpr const wchar_t* kNames[] = {L"Not ready", L"Stopped", L"Playing", L"Recording",
                                              L"Seeking",   L"Paused",  L"Open"};
  const auto index = static_cast<std::size_t>(mode);
  if (index >= std::size(kNames)) return L"Unknown mode";
  return kNames[index];
}

constexpr wchar_t kNoVideoChecked[] = L"No video is checked";
// How long ending the program waits for the video device to close.
constexpr DWORD kExitCloseDeadlineMs = 3000;

}  // namespace

void TMainForm::ToolButton18Click(void*) {
  if (!OpenVideo.Execute(Handle())) return;
  const int index = VideoCheck->Add(OpenVideo.FileName());
  VideoCheck->SetChecked(index, true);
  StateChanged();
}

void TMainForm::ToolButton19Click(void*) { DeleteSelected(*VideoCheck); }
void TMainForm::DeleteImage2Click(void*) { DeleteSelected(*VideoCheck); }
void TMainForm::ToolButton21Click(void*) {
  CheckAll(*VideoCheck, true);
  StateChanged();
}
void TMainForm::ToolButton22Click(void*) {
  CheckAll(*VideoCheck, false);
  StateChanged();
}

// The device sits invisible on the video toolbar; only Play and Stop would
// show if it were made visible.
void TMainForm::CreateVideoPlayer() {
  MediaPlayer21 = std::make_unique<TMediaPlayer2>(ToolBar2->Handle());
  MediaPlayer21->VisibleButtons = ButtonBit(btPlay) | ButtonBit(btStop);
  MediaPlayer21->ColoredButtons = 0;
  MediaPlayer21->OnNotify = Bind(this, &TMainForm::MediaPlayer21Notify);
  VideoCheck->OnDblClick = Bind(this, &TMainForm::VideoCheckDblClick);
}

// Without the shell's desktop windows the video goes to a window of our
// own at the bottom of the Z order: drawn into the system's desktop window
// it would cover the taskbar and every window.
HWND TMainForm::FindDesktopHost() {
  HWND host = FindDesktopHostWindow();
  if (!host) {
    if (!VideoBackdrop) VideoBackdrop = std::make_unique<TVideoBackdrop>();
    VideoBackdrop->ShowAtBottom();
    WatchScreen();
    host = VideoBackdrop->Handle();
  }
  GetClientRect(host, &VideoHostRect);
  return host;
}

// A reason why video wallpaper stopped stays until the user acts again or
// the device plays; the notices of the stop itself do not replace it.
void TMainForm::ShowVideoReason(const wchar_t* text) {
  StatusBar1->SetText(text);
  videoReasonShown_ = true;
}

// Runs while the window and the device's own window still exist. The
// device waits on this thread, so its close cannot be cut short: if it has
// not returned within the deadline, the process ends there.
void TMainForm::StopVideoForExit() {
  if (!MediaPlayer21) return;
  MediaPlayer21->OnNotify = nullptr;
  if (ToolBar2 && IsWindow(ToolBar2->Handle())) SetVideoRunning(false);
  {
    const TExitDeadline deadline(kExitCloseDeadlineMs, 0);
    MediaPlayer21->CloseAll();
  }
  if (VideoBackdrop) VideoBackdrop->Hide();
}

// The running flag is the Start button's pressed state.
bool TMainForm::VideoRunning() const {
  const auto state = SendMessageW(ToolBar2->Handle(), TB_GETSTATE, static_cast<WPARAM>(VideoStartButton), 0);
  return state != -1 && (state & TBSTATE_CHECKED) != 0;
}

void TMainForm::SetVideoRunning(bool running) {
  SendMessageW(ToolBar2->Handle(), TB_CHECKBUTTON, static_cast<WPARAM>(VideoStartButton), MAKELPARAM(running, 0));
  StateChanged();
}

// Opens the selected row into the desktop host without playing it. The
// first notify request goes to the first command of the open (the close
// of the previous file, if any); the second to the next play or stop.
void TMainForm::VideoCheckDblClick(void*) {
  videoReasonShown_ = false;
  const std::wstring path = VideoCheck->Strings(VideoCheck->ItemIndex());
  if (!FileExists(Narrow(path))) return;
  VideoHostWindow = FindDesktopHost();
  MediaPlayer21->FileName = path;
  MediaPlayer21->SetDisplay(VideoHostWindow);
  MediaPlayer21->SetNotify(true);
  try {
    MediaPlayer21->Open();
  } catch (const EMCIDeviceError& error) {
    throw EMCIDeviceError(FormatMessage1("Cannot play video %s: ", Narrow(path)) + error.what());
  }
  MediaPlayer21->SetDisplayRect(VideoHostRect);
  MediaPlayer21->SetNotify(true);
  StateChanged();  // another video plays
}

// Moves the cursor to the next checked row, wrapping once round the list;
// false when no row is checked.
bool TMainForm::SelectNextCheckedVideo() {
  const int count = VideoCheck->Count();
  if (VideoCursor < 0 || VideoCursor > count - 1) VideoCursor = 0;
  for (int tried = 0; !VideoCheck->Checked(VideoCursor); ++tried) {
    if (tried == count) return false;
    if (++VideoCursor > count - 1) VideoCursor = 0;
  }
  VideoCheck->SetItemIndex(VideoCursor);
  ++VideoCursor;
  return true;
}

void TMainForm::AdvanceVideo() {
  if (VideoCheck->Count() <= 0) return;
  if (!SelectNextCheckedVideo()) {
    ToolButton25Click(nullptr);
    ShowVideoReason(kNoVideoChecked);
    return;
  }
  VideoCheckDblClick(nullptr);
}

// Nothing checked: the window stays and the button stays up. A file that
// cannot be played leaves the button up too (the error box names the file).
void TMainForm::ToolButton24Click(void*) {
  videoReasonShown_ = false;
  const bool running = !VideoRunning();
  SetVideoRunning(false);
  if (!running) return;  // the current file plays on to its end
  if (!AnyChecked(*VideoCheck)) return ShowVideoReason(kNoVideoChecked);
  if (VideoCursor < 0 || VideoCursor > VideoCheck->Count() - 1) VideoCursor = 0;
  VideoCheck->SetItemIndex(VideoCursor);
  VideoCheckDblClick(nullptr);
  MediaPlayer21->Play();
  SetVideoRunning(true);
  Hide();
  ToolBar2->SetButtonEnabled(VideoStopButton, true);
  PauseRules.UserTookVideo();
  ApplyPause();  // started while held: it stands paused on its first frame
}

void TMainForm::ToolButton25Click(void*) {
  videoReasonShown_ = false;
  SetVideoRunning(false);
  PauseRules.UserTookVideo();  // a stop while held stays a stop
  MediaPlayer21->Stop();
  ToolBar2->SetButtonEnabled(VideoStopButton, false);
  if (VideoBackdrop) VideoBackdrop->Hide();
}

// While video wallpaper runs, the stop's notice advances to the next row.
void TMainForm::NextVideo1Click(void*) {
  videoReasonShown_ = false;
  PauseRules.UserTookVideo();  // its stop advances even while held
  MediaPlayer21->Stop();
}

const wchar_t* TMainForm::VideoModeName() { return MediaPlayer21->IsOpen() ? ModeText(MediaPlayer21->Mode()) : L""; }

void TMainForm::ReattachVideo() {
  MediaPlayer21->SetDisplay(VideoHostWindow);
  MediaPlayer21->SetDisplayRect(VideoHostRect);
}

void TMainForm::MediaPlayer21Notify(void*) {
  auto& device = *MediaPlayer21;
  const TMPDeviceMode mode = device.Mode();
  if (mode == TMPDeviceMode::mpPlaying) videoReasonShown_ = false;
  if (!videoReasonShown_) StatusBar1->SetText(ModeText(mode));
  ReattachVideo();
  if (mode == TMPDeviceMode::mpPlaying && device.TrackLength(1) == device.Position()) device.Stop();
  if (mode == TMPDeviceMode::mpOpen) {
    ToolBar2->SetButtonEnabled(VideoStartButton, true);
    return;
  }
  // A held video's "Stopped" is no end of file: some devices (Wine's) end
  // their play when paused, keeping the position.
  if (VideoRunning() && mode == TMPDeviceMode::mpStopped && !PauseRules.VideoPausedHere()) {
    // One row plays again from its start (the device rewinds at the end).
    if (VideoCheck->Count() > 1) AdvanceVideo();
    if (!VideoRunning()) return;  // no row was checked: video wallpaper stopped
    device.Play();
    ApplyPause();  // the next video, reached by "Next Video" while held, waits too
  }
  device.SetNotify(true);
}

}  // namespace skyloom
