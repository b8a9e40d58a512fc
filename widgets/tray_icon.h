#pragma once
// One icon with its hint in the notification area. A hidden window of its
// own receives the area's mouse reports and turns them into events; a right
// click shows the popup menu at the cursor, a double click runs the menu's
// default item. The icon may be animated from an icon list by a worker
// thread; icon, list and hint are shared with it under a lock.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/window.h"
#include "widgets/gdi_text_canvas.h"
#include "widgets/xp_popup_menu.h"

namespace skyloom {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                             ssDouble = 64;
using TMouseEvent = std::function<void(void* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(void* sender, TShiftState shift, int x, int y)>;

class TTrayIcon {
 public:
  static constexpr UINT TrayCallbackMessage = 0xB054;

  TTrayIcon();
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  bool Active() const { return active_; }
  void SetActive(bool active);
  std::atomic<bool> Enabled{true};  // mouse reports become events
  std::wstring Hint() const;
  void SetHint(const std::wstring& hint);
  void SetIcon(HICON icon);                      // copies the icon
  void SetIcons(const std::vector<HICON>& icons);  // copies the frames
  bool Animated() const { return animated_; }
  void SetAnimated(bool animated);
  std::atomic<unsigned short> Interval{150};  // milliseconds between frames
  TXPPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TXPPopupMenu* menu);

  TNotifyEvent OnDblClick;
  TMouseEvent OnClick, OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // The notification area call; replaceable for tests.
  std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)> ShellNotify = Shell_NotifyIconW;

  bool AddToTray();
  void RemoveFromTray();
  void RefreshTrayIcon();
  bool PopupAtCursor(int x, int y);
  bool RunDefaultItem();
  void AdvanceFrame();  // the animation thread's step

  bool Added() const { return added_; }
  int FrameIndex() const;
  HWND Handle() const;
  // The tooltip: the text before the first "|", at most 63 characters.
  static std::wstring ShortHint(const std::wstring& hint);

 private:
  class THiddenWindow;
  class TAnimation;
  HICON CurrentIcon() const;
  NOTIFYICONDATAW Record() const;
  void MouseReport(UINT mouseMessage);
  void ClickStep(TMouseButton button, TShiftState shift, int x, int y);
  void PauseAnimation(bool paused);
  bool IconsEmpty() const;

  mutable std::recursive_mutex lock_;  // icon, icons, hint, frame, added
  std::unique_ptr<THiddenWindow> window_;
  UniqueIcon icon_;
  std::vector<UniqueIcon> icons_;
  std::wstring hint_;
  int frameIndex_ = -1;
  std::atomic<bool> added_{false}, animated_{false}, destroying_{false};
  bool active_ = true;
  bool leftClicked_ = false, rightClicked_ = false;
  TXPPopupMenu* popupMenu_ = nullptr;
  std::unique_ptr<TAnimation> animation_;
};

}  // namespace skyloom
