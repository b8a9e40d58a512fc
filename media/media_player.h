#pragma once
// TMediaPlayer2 drives one device of the media control interface (MCI): it
// opens a file, plays and stops it, attaches the device's video output to any
// window given by its raw handle (also a foreign one, such as the desktop),
// places the picture in a rectangle of that window, and raises OnNotify for
// every completion notice. The notices are window messages addressed to the
// control's own window, so the control is a window even when, as in this
// program, its button bar is never shown.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/mci_driver.h"
#include "toolkit/errors.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace skyloom {

enum class TMPDeviceTypes {
  dtAutoSelect, dtAVIVideo, dtCDAudio, dtDAT, dtDigitalVideo, dtMMMovie, dtOther, dtOverlay, dtScanner,
  dtSequencer, dtVCR, dtVideodisc, dtWaveAudio
};

// The device's mode: the MCI mode code's low byte minus 12, as a byte. Only
// the seven named values are meaningful; others can come from a closed device.
enum class TMPDeviceMode : std::uint8_t {
  mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen
};

enum TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
constexpr int kButtonCount = 9;
using TButtonSet = unsigned;  // bit n stands for TMPBtnType n
constexpr TButtonSet kAllButtons = 0x1FF;
constexpr TButtonSet ButtonBit(TMPBtnType button) { return 1u << button; }

class EMCIDeviceError : public EError {
 public:
  using EError::EError;
};

class TMediaPlayer2 : public TWindow {
 public:
  using EMPNotify = std::function<void(void* sender, TMPBtnType button, bool& doDefault)>;
  using EMPPostNotify = std::function<void(void* sender, TMPBtnType button)>;

  // Created hidden; with no parent it is a hidden top-level window.
  explicit TMediaPlayer2(HWND parent, int left = 0, int top = 0, TMciDriver& mci = SystemMci());
  ~TMediaPlayer2() override;

  // Replaces the interface the commands go to (tests).
  void SetDriver(TMciDriver& mci) { mci_ = &mci; }

  // Properties kept as plain values.
  std::wstring FileName;
  TMPDeviceTypes DeviceType = TMPDeviceTypes::dtAutoSelect;
  bool AutoOpen = false;
  bool AutoRewind = true;
  bool AutoEnable = true;
  bool Shareable = false;
  TButtonSet VisibleButtons = kAllButtons;
  TButtonSet ColoredButtons = kAllButtons;
  TNotifyEvent OnNotify;
  EMPNotify OnClick;
  EMPPostNotify OnPostClick;

  TButtonSet EnabledButtons() const { return enabledButtons_; }
  void SetEnabledButtons(TButtonSet buttons);

  // The window that receives the video; 0 is the device's own window.
  HWND Display() const { return display_; }
  void SetDisplay(HWND window);
  // Where the picture goes inside Display; (l, t, 0, 0) means the default size.
  void SetDisplayRect(const RECT& rect);
  RECT DisplayRect();

  // One-shot request for a notice, consumed by the next command.
  bool Notify() const { return notify_; }
  void SetNotify(bool value);
  // The code of the last completion notice (MCI_NOTIFY_SUCCESSFUL, ...).
  WPARAM NotifyValue() const { return notifyValue_; }

  // Commands.
  void Open();
  // A close the device refuses is tried again by the next Open and Close
  // and at destruction, so that no device is left open behind the program.
  void Close();
  // Closes every device this control opened (the current one and any that
  // refused before), without notices; the control counts as closed after.
  // A device is bound to the thread that opened it, so this waits on that
  // thread: bounding the wait is the caller's business.
  void CloseAll();
  void Play();
  void Stop();
  void Pause();
  void Resume();
  void Rewind();
  void Next();
  void Previous();
  void Step();
  void Back();
  void StartRecording();
  void Eject();
  // Sound off or on for all channels; kept for the files opened later. A
  // device without sound control refuses it and plays as it is.
  bool Muted() const { return muted_; }
  void SetMuted(bool value);
  // Opens when AutoOpen is set; run once the owner has set the properties.
  void Loaded();
  // The owner tells the control that a component goes away: the video
  // returns to the device's own window.
  void ComponentRemoved();

  // Device state.
  TMPDeviceMode Mode();
  std::int32_t Position();
  std::int32_t Length();
  std::int32_t Tracks();
  std::int32_t TimeFormat();
  std::int32_t TrackLength(int track);
  std::int32_t TrackPosition(int track);
  bool IsOpen() const { return open_; }
  MCIDEVICEID DeviceID() const { return deviceId_; }
  MCIERROR Error() const { return error_; }
  std::string ErrorMessage();
  bool CanPlay() const { return canPlay_; }
  bool CanRecord() const { return canRecord_; }
  bool CanEject() const { return canEject_; }
  bool HasVideo() const { return hasVideo_; }
  bool CanStep() const { return canStep_; }
  std::int32_t Frames() const { return frames_; }
  SIZE DefaultDisplaySize() const { return defaultSize_; }

  // Runs a button's operation the way a click does (OnClick, the
  // operation unless refused, OnPostClick).
  void ClickButton(TMPBtnType button);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Flags of the waiting commands (rule A) and of the ones that return at
  // once (rule B); both consume the notify request.
  DWORD WaitFlags();
  DWORD NotifyFlags();
  DWORD TakeStartPosition(DWORD& from);
  DWORD_PTR Callback() const { return reinterpret_cast<DWORD_PTR>(Handle()); }
  void CheckOpen() const;
  MCIERROR Send(UINT command, DWORD flags, void* params);
  std::int32_t Status(DWORD item, DWORD flags = MCI_STATUS_ITEM | MCI_WAIT, DWORD track = 0, bool record = true);
  void ReadCapabilities();
  SIZE WhereSize(DWORD which);
  void SeekTrack(bool forward);
  bool AtEnd();
  void OnCompletion(WPARAM code);
  void CloseLeftOver();
  void SendAudio();

  // The button bar (media_player_bar.cpp).
  void AutoEnableAfterOpen();
  void Paint();
  int ButtonAt(int x) const;
  std::vector<int> VisibleOrder() const;
  int ButtonWidth() const;
  void HandleKey(WPARAM key);
  void RunButton(TMPBtnType button);

  TMciDriver* mci_;
  HWND display_ = nullptr;
  bool notify_ = false, notifyArmed_ = false;
  std::uint32_t startPos_ = 0;
  bool startPosArmed_ = false;
  WPARAM notifyValue_ = 0;
  bool open_ = false;
  bool muted_ = false;
  MCIDEVICEID deviceId_ = 0;
  std::vector<MCIDEVICEID> unclosed_;  // devices whose close failed
  MCIERROR error_ = 0;
  bool canPlay_ = false, canRecord_ = false, canEject_ = false, hasVideo_ = false, canStep_ = false;
  std::int32_t frames_ = 0;
  SIZE defaultSize_{};
  TButtonSet enabledButtons_ = kAllButtons;
  int focused_ = 0;
};

}  // namespace skyloom
