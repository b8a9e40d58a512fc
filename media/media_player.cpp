#include "media/media_player.h"

#include <digitalv.h>

#include "toolkit/text_win.h"

namespace skyloom {
namespace {

constexpr wchar_t kClassName[] = L"TMediaPlayer2";
constexpr int kDefaultWidth = 240, kDefaultHeight = 30;
constexpr DWORD kStatusFlags = MCI_STATUS_ITEM | MCI_WAIT;
constexpr DWORD kTrackStatusFlags = MCI_STATUS_ITEM | MCI_TRACK | MCI_WAIT;
constexpr DWORD kWindowFlags = MCI_ANIM_WINDOW_HWND | MCI_WAIT;
constexpr DWORD kPutFlags = MCI_ANIM_RECT | MCI_ANIM_PUT_DESTINATION;  // no wait, no notice
// The mode codes run from MCI_MODE_NOT_READY (524) to MCI_MODE_OPEN (530).
constexpr int kModeBias = 12;

const wchar_t* DeviceTypeText(TMPDeviceTypes type) {
  static constexpr const wchar_t* kTexts[] = {
      nullptr,  L"AVIVideo", L"CDAudio", L"DAT",       L"DigitalVideo", L"MMMovie",  L"Other",
      L"Overlay", L"Scanner", L"Sequencer", L"VCR", L"Videodisc",    L"WaveAudio"};
  return kTexts[static_cast<int>(type)];
}

bool IsPositive(HWND window) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(window)) > 0; }

}  // namespace

TMediaPlayer2::TMediaPlayer2(HWND parent, int left, int top, TMciDriver& mci) : mci_(&mci) {
  RegisterOwnClass(kClassName, nullptr);
  const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_TABSTOP | WS_CLIPSIBLINGS;
  CreateOwnWindow(kClassName, L"", style, 0, left, top, kDefaultWidth, kDefaultHeight, parent);
}

// Closing waits and asks for no notice: nobody is left to receive it.
TMediaPlayer2::~TMediaPlayer2() { CloseAll(); }

void TMediaPlayer2::SetNotify(bool value) {
  notify_ = value;
  notifyArmed_ = true;
}

DWORD TMediaPlayer2::WaitFlags() {
  DWORD flags = MCI_WAIT;
  if (notifyArmed_ && notify_) flags |= MCI_NOTIFY;
  notifyArmed_ = false;
  return flags;
}

DWORD TMediaPlayer2::NotifyFlags() {
  const DWORD flags = (!notifyArmed_ || notify_) ? MCI_NOTIFY : 0;
  notifyArmed_ = false;
  return flags;
}

void TMediaPlayer2::CheckOpen() const {
  if (!open_) throw EMCIDeviceError("No MCI device open");
}

MCIERROR TMediaPlayer2::Send(UINT command, DWORD flags, void* params) {
  error_ = mci_->SendCommand(deviceId_, command, flags, params);
  return error_;
}

std::string TMediaPlayer2::ErrorMessage() {
  std::wstring text;
  if (!mci_->ErrorText(error_, text)) return "Unknown error code";
  return Narrow(text);
}

void TMediaPlayer2::Open() {
  MCI_OPEN_PARMSW block{};
  if (deviceId_ != 0) Close();
  if (deviceId_ != 0) {  // refused: kept for the next try, the new file opens all the same
    unclosed_.push_back(deviceId_);
    deviceId_ = 0;
    open_ = false;
  }
  block.lpstrDeviceType = DeviceTypeText(DeviceType);
  block.lpstrElementName = FileName.c_str();
  DWORD flags = WaitFlags();
  if (DeviceType == TMPDeviceTypes::dtAutoSelect) {
    flags |= MCI_OPEN_ELEMENT;
  } else {
    flags |= MCI_OPEN_TYPE;
    if (!FileName.empty()) flags |= MCI_OPEN_ELEMENT;
  }
  if (Shareable) flags |= MCI_OPEN_SHAREABLE;
  block.dwCallback = Callback();
  error_ = mci_->SendCommand(0, MCI_OPEN, flags, &block);
  if (error_ != 0) throw EMCIDeviceError(ErrorMessage());
  open_ = true;
  deviceId_ = block.wDeviceID;
  frames_ = Length() / 10;
  ReadCapabilities();
  if (muted_) SendAudio();
  if (DeviceType == TMPDeviceTypes::dtCDAudio || DeviceType == TMPDeviceTypes::dtVideodisc) {
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    Send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set);
  }
  AutoEnableAfterOpen();
}

// The queries' own results are not checked: a device that cannot answer
// one simply lacks that capability.
void TMediaPlayer2::ReadCapabilities() {
  auto capability = [this](DWORD item) {
    MCI_GETDEVCAPS_PARMS block{};
    block.dwItem = item;
    Send(MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, &block);
    return block.dwReturn;
  };
  canPlay_ = capability(MCI_GETDEVCAPS_CAN_PLAY) != 0;
  canRecord_ = capability(MCI_GETDEVCAPS_CAN_RECORD) != 0;
  canEject_ = capability(MCI_GETDEVCAPS_CAN_EJECT) != 0;
  hasVideo_ = capability(MCI_GETDEVCAPS_HAS_VIDEO) != 0;
  switch (capability(MCI_GETDEVCAPS_DEVICE_TYPE)) {
    case MCI_DEVTYPE_VCR:
    case MCI_DEVTYPE_OVERLAY:
    case MCI_DEVTYPE_ANIMATION:
    case MCI_DEVTYPE_DIGITAL_VIDEO:
      canStep_ = true;
      break;
    default:
      break;
  }
  defaultSize_ = WhereSize(MCI_ANIM_WHERE_SOURCE);
  if (!hasVideo_) return;
  SetDisplay(display_);
  defaultSize_ = WhereSize(MCI_ANIM_WHERE_DESTINATION);
}

// MCI rectangles here hold corners; the size is their difference.
SIZE TMediaPlayer2::WhereSize(DWORD which) {
  MCI_ANIM_RECT_PARMS block{};
  Send(MCI_WHERE, which, &block);
  return SIZE{block.rc.right - block.rc.left, block.rc.bottom - block.rc.top};
}

void TMediaPlayer2::Close() {
  if (deviceId_ != 0) {
    MCI_GENERIC_PARMS block{};
    block.dwCallback = Callback();
    if (Send(MCI_CLOSE, WaitFlags(), &block) == 0) {
      open_ = false;
      deviceId_ = 0;
    }
  }
  CloseLeftOver();
}

void TMediaPlayer2::CloseLeftOver() {
  std::erase_if(unclosed_, [this](MCIDEVICEID device) {
    MCI_GENERIC_PARMS block{};
    return mci_->SendCommand(device, MCI_CLOSE, MCI_WAIT, &block) == 0;
  });
}

void TMediaPlayer2::CloseAll() {
  if (deviceId_ != 0) unclosed_.insert(unclosed_.begin(), deviceId_);
  open_ = false;
  deviceId_ = 0;
  CloseLeftOver();
}

// An armed start position goes out once, with the next play or record.
DWORD TMediaPlayer2::TakeStartPosition(DWORD& from) {
  if (!startPosArmed_) return 0;
  from = startPos_;
  startPosArmed_ = false;
  return MCI_FROM;
}

void TMediaPlayer2::Play() {
  CheckOpen();
  if (AutoRewind && !startPosArmed_ && AtEnd()) Rewind();
  MCI_PLAY_PARMS block{};
  const DWORD flags = NotifyFlags() | TakeStartPosition(block.dwFrom);
  block.dwCallback = Callback();
  Send(MCI_PLAY, flags, &block);
}

void TMediaPlayer2::Stop() {
  CheckOpen();
  MCI_GENERIC_PARMS block{};
  block.dwCallback = Callback();
  Send(MCI_STOP, WaitFlags(), &block);
}

void TMediaPlayer2::Pause() {
  CheckOpen();
  const TMPDeviceMode mode = Mode();
  if (mode == TMPDeviceMode::mpPaused) return Resume();
  if (mode != TMPDeviceMode::mpPlaying) return;
  MCI_GENERIC_PARMS block{};
  block.dwCallback = Callback();
  Send(MCI_PAUSE, WaitFlags(), &block);
}

void TMediaPlayer2::SetMuted(bool value) {
  muted_ = value;
  if (open_) SendAudio();
}

// "setaudio all off/on"; the answer is not kept as the device's error.
void TMediaPlayer2::SendAudio() {
  MCI_DGV_SETAUDIO_PARMSW block{};
  mci_->SendCommand(deviceId_, MCI_SETAUDIO, (muted_ ? MCI_SET_OFF : MCI_SET_ON) | MCI_WAIT, &block);
}

// A device that cannot resume is played instead; the request for a notice
// then goes with the play.
void TMediaPlayer2::Resume() {
  CheckOpen();
  const DWORD flags = (!notifyArmed_ || notify_) ? MCI_NOTIFY : 0;
  MCI_GENERIC_PARMS block{};
  block.dwCallback = Callback();
  if (Send(MCI_RESUME, flags, &block) != 0) return Play();
  notifyArmed_ = false;
}

// The position after the end is the length; some devices (Wine's video
// device) stop on the last frame instead, one less, and would otherwise
// play just that frame again.
bool TMediaPlayer2::AtEnd() {
  const std::int32_t position = Position(), length = Length();
  if (position == length) return true;
  return position == length - 1 && Mode() == TMPDeviceMode::mpStopped;
}

void TMediaPlayer2::Rewind() {
  CheckOpen();
  MCI_SEEK_PARMS block{};
  mci_->SendCommand(deviceId_, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &block);
}

void TMediaPlayer2::Next() {
  CheckOpen();
  if (TimeFormat() == MCI_FORMAT_TMSF) return SeekTrack(true);
  MCI_SEEK_PARMS block{};
  block.dwCallback = Callback();
  Send(MCI_SEEK, WaitFlags() | MCI_SEEK_TO_END, &block);
}

void TMediaPlayer2::Previous() {
  CheckOpen();
  if (TimeFormat() == MCI_FORMAT_TMSF) return SeekTrack(false);
  MCI_SEEK_PARMS block{};
  block.dwCallback = Callback();
  Send(MCI_SEEK, WaitFlags() | MCI_SEEK_TO_START, &block);
}

// In track time a position packs the track in its low byte, then minutes,
// seconds and frames; a track's start is just its number.
void TMediaPlayer2::SeekTrack(bool forward) {
  const auto position = static_cast<DWORD>(Position());
  const DWORD track = MCI_TMSF_TRACK(position);
  DWORD target = track;
  if (forward && static_cast<std::int32_t>(track) < Tracks()) target = track + 1;
  const bool atStart = MCI_TMSF_MINUTE(position) == 0 && MCI_TMSF_SECOND(position) == 0;
  if (!forward && atStart && track != 1) target = track - 1;
  if (Mode() == TMPDeviceMode::mpPlaying) {
    startPos_ = target;
    startPosArmed_ = true;
    return Play();
  }
  MCI_SEEK_PARMS block{};
  block.dwCallback = Callback();
  block.dwTo = target;
  Send(MCI_SEEK, WaitFlags() | MCI_TO, &block);
}

void TMediaPlayer2::Step() {
  CheckOpen();
  if (!hasVideo_) return;
  if (AutoRewind && AtEnd()) Rewind();
  MCI_DGV_STEP_PARMS block{};
  block.dwCallback = Callback();
  block.dwFrames = static_cast<DWORD>(frames_);
  Send(MCI_STEP, WaitFlags() | MCI_DGV_STEP_FRAMES, &block);
}

void TMediaPlayer2::Back() {
  CheckOpen();
  if (!hasVideo_) return;
  MCI_DGV_STEP_PARMS block{};
  block.dwCallback = Callback();
  block.dwFrames = static_cast<DWORD>(frames_);
  Send(MCI_STEP, WaitFlags() | MCI_DGV_STEP_FRAMES | MCI_DGV_STEP_REVERSE, &block);
}

void TMediaPlayer2::StartRecording() {
  CheckOpen();
  MCI_RECORD_PARMS block{};
  const DWORD flags = NotifyFlags() | TakeStartPosition(block.dwFrom);
  block.dwCallback = Callback();
  Send(MCI_RECORD, flags, &block);
}

void TMediaPlayer2::Eject() {
  CheckOpen();
  if (!canEject_) return;
  MCI_SET_PARMS block{};
  block.dwCallback = Callback();
  Send(MCI_SET, WaitFlags() | MCI_SET_DOOR_OPEN, &block);
}

void TMediaPlayer2::Loaded() {
  if (AutoOpen) Open();
}

void TMediaPlayer2::ComponentRemoved() {
  if (open_ && hasVideo_) {
    MCI_ANIM_WINDOW_PARMSW block{};
    block.dwCallback = Callback();
    Send(MCI_WINDOW, kWindowFlags, &block);
  }
  display_ = nullptr;
}

// A handle is applied only to an open device with video; otherwise it is
// kept for the next open. A handle the device refuses leaves 0.
void TMediaPlayer2::SetDisplay(HWND window) {
  if (!IsPositive(window) || !open_ || !hasVideo_) {
    display_ = window;
    return;
  }
  MCI_ANIM_WINDOW_PARMSW block{};
  block.dwCallback = Callback();
  block.hWnd = window;
  display_ = Send(MCI_WINDOW, kWindowFlags, &block) == 0 ? window : nullptr;
}

void TMediaPlayer2::SetDisplayRect(const RECT& rect) {
  if (!open_ || !hasVideo_) return;
  MCI_ANIM_RECT_PARMS block{};
  block.dwCallback = Callback();
  block.rc = rect;
  if (rect.right == 0 && rect.bottom == 0) {
    block.rc.right = defaultSize_.cx;
    block.rc.bottom = defaultSize_.cy;
  }
  Send(MCI_PUT, kPutFlags, &block);
}

RECT TMediaPlayer2::DisplayRect() {
  MCI_ANIM_RECT_PARMS block{};
  if (open_ && hasVideo_) Send(MCI_WHERE, MCI_ANIM_WHERE_DESTINATION, &block);
  return block.rc;
}

std::int32_t TMediaPlayer2::Status(DWORD item, DWORD flags, DWORD track, bool record) {
  MCI_STATUS_PARMS block{};
  block.dwItem = item;
  block.dwTrack = track;
  const MCIERROR result = mci_->SendCommand(deviceId_, MCI_STATUS, flags, &block);
  if (record) error_ = result;
  return static_cast<std::int32_t>(block.dwReturn);
}

TMPDeviceMode TMediaPlayer2::Mode() {
  const auto code = static_cast<std::uint8_t>(Status(MCI_STATUS_MODE) & 0xFF);
  return static_cast<TMPDeviceMode>(static_cast<std::uint8_t>(code - kModeBias));
}

std::int32_t TMediaPlayer2::Position() { return Status(MCI_STATUS_POSITION); }

std::int32_t TMediaPlayer2::Length() {
  CheckOpen();
  return Status(MCI_STATUS_LENGTH);
}

std::int32_t TMediaPlayer2::Tracks() {
  CheckOpen();
  return Status(MCI_STATUS_NUMBER_OF_TRACKS);
}

std::int32_t TMediaPlayer2::TimeFormat() {
  CheckOpen();
  return Status(MCI_STATUS_TIME_FORMAT);
}

std::int32_t TMediaPlayer2::TrackLength(int track) {
  CheckOpen();
  return Status(MCI_STATUS_LENGTH, kTrackStatusFlags, static_cast<DWORD>(track), false);
}

std::int32_t TMediaPlayer2::TrackPosition(int track) {
  return Status(MCI_STATUS_POSITION, kTrackStatusFlags, static_cast<DWORD>(track), false);
}

void TMediaPlayer2::OnCompletion(WPARAM code) {
  notifyValue_ = code;
  if (AutoEnable && Mode() == TMPDeviceMode::mpStopped) {
    TButtonSet buttons = enabledButtons_ & ~(ButtonBit(btPause) | ButtonBit(btStop));
    if (canPlay_) buttons |= ButtonBit(btPlay);
    if (canRecord_) buttons |= ButtonBit(btRecord);
    SetEnabledButtons(buttons);
  }
  if (OnNotify) OnNotify(this);
}

LRESULT TMediaPlayer2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case MM_MCINOTIFY:
      OnCompletion(wParam);
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(Handle());
      const int button = ButtonAt(static_cast<short>(LOWORD(lParam)));
      if (button >= 0) ClickButton(static_cast<TMPBtnType>(button));
      return 0;
    }
    case WM_KEYDOWN:
      HandleKey(wParam);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    default:
      return TWindow::WindowProc(message, wParam, lParam);
  }
}

}  // namespace skyloom
