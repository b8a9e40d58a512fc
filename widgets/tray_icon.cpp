#include "widgets/tray_icon.h"

#include <algorithm>
#include <chrono>

#include "toolkit/application.h"

namespace skyloom {
namespace {

constexpr wchar_t kTrayWindowClass[] = L"TSkyloomTrayWindow";
constexpr std::size_t kTipLength = 63;

TShiftState KeyboardShift() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  return shift;
}

bool IconEmpty(HICON icon) { return icon == nullptr; }

}  // namespace

// Receives the notification area's reports and the shell's restart notice.
class TTrayIcon::THiddenWindow : public TWindow {
 public:
  explicit THiddenWindow(TTrayIcon& tray) : tray_(tray), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    RegisterOwnClass(kTrayWindowClass, nullptr);
    CreateOwnWindow(kTrayWindowClass, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == TrayCallbackMessage && tray_.Enabled) {
      tray_.MouseReport(static_cast<UINT>(lParam));
      return 0;
    }
    // A restarted shell has an empty notification area.
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
      tray_.added_ = false;
      if (tray_.active_) tray_.AddToTray();
      return 0;
    }
    return DefaultProc(message, wParam, lParam);
  }

 private:
  TTrayIcon& tray_;
  UINT taskbarCreated_;
};

// The frame timer: sleeps Interval, then steps the frame, until stopped.
class TTrayIcon::TAnimation {
 public:
  TAnimation(TTrayIcon& tray, bool paused) : tray_(tray), paused_(paused), thread_([this] { Run(); }) {}
  ~TAnimation() {
    {
      std::lock_guard guard(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void SetPaused(bool paused) {
    {
      std::lock_guard guard(mutex_);
      paused_ = paused;
    }
    wake_.notify_all();
  }
  bool OnThread() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
      if (paused_) {
        wake_.wait(lock, [this] { return stop_ || !paused_; });
        continue;
      }
      auto interval = std::chrono::milliseconds(tray_.Interval.load());
      if (wake_.wait_for(lock, interval, [this] { return stop_ || paused_; })) continue;
      lock.unlock();
      tray_.AdvanceFrame();
      lock.lock();
    }
  }

  TTrayIcon& tray_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool paused_;
  std::thread thread_;  // last: starts once the rest is ready
};

TTrayIcon::TTrayIcon() : window_(std::make_unique<THiddenWindow>(*this)) {}

TTrayIcon::~TTrayIcon() {
  Enabled = false;
  destroying_ = true;
  SetAnimated(false);
  RemoveFromTray();
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
}

HWND TTrayIcon::Handle() const { return window_->Handle(); }

std::wstring TTrayIcon::ShortHint(const std::wstring& hint) {
  std::wstring shortHint = hint.substr(0, hint.find(L'|'));
  if (shortHint.size() > kTipLength) shortHint.resize(kTipLength);
  return shortHint;
}

std::wstring TTrayIcon::Hint() const {
  std::lock_guard guard(lock_);
  return hint_;
}

void TTrayIcon::SetHint(const std::wstring& hint) {
  {
    std::lock_guard guard(lock_);
    if (hint == hint_) return;
    hint_ = hint;
  }
  RefreshTrayIcon();
}

void TTrayIcon::SetIcon(HICON icon) {
  {
    std::lock_guard guard(lock_);
    icon_.reset(icon ? CopyIcon(icon) : nullptr);
  }
  RefreshTrayIcon();
}

void TTrayIcon::SetIcons(const std::vector<HICON>& icons) {
  {
    std::lock_guard guard(lock_);
    icons_.clear();
    for (HICON icon : icons) {
      if (icon) icons_.emplace_back(CopyIcon(icon));
    }
  }
  RefreshTrayIcon();
}

bool TTrayIcon::IconsEmpty() const {
  std::lock_guard guard(lock_);
  return icons_.empty();
}

int TTrayIcon::FrameIndex() const {
  std::lock_guard guard(lock_);
  return frameIndex_;
}

void TTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active) AddToTray();
  else RemoveFromTray();
}

void TTrayIcon::SetPopupMenu(TXPPopupMenu* menu) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this, [this] { popupMenu_ = nullptr; });
}

HICON TTrayIcon::CurrentIcon() const {
  std::lock_guard guard(lock_);
  if (!icons_.empty() && animated_) {
    int last = static_cast<int>(icons_.size()) - 1;
    return icons_[static_cast<std::size_t>(std::clamp(frameIndex_, 0, last))].get();
  }
  return icon_.get();
}

NOTIFYICONDATAW TTrayIcon::Record() const {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = Handle();
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = TrayCallbackMessage;
  HICON icon = CurrentIcon();
  data.hIcon = icon ? icon : reinterpret_cast<HICON>(static_cast<LONG_PTR>(-1));
  lstrcpynW(data.szTip, ShortHint(Hint()).c_str(), static_cast<int>(kTipLength + 1));
  return data;
}

bool TTrayIcon::AddToTray() {
  std::lock_guard guard(lock_);
  RemoveFromTray();
  if (IconEmpty(CurrentIcon())) return false;
  leftClicked_ = rightClicked_ = false;
  NOTIFYICONDATAW data = Record();
  added_ = ShellNotify(NIM_ADD, &data) != FALSE;
  if (added_ && data.szTip[0] == 0) ShellNotify(NIM_MODIFY, &data);
  if (animated_) PauseAnimation(false);
  return added_;
}

void TTrayIcon::RemoveFromTray() {
  std::lock_guard guard(lock_);
  NOTIFYICONDATAW data = Record();
  ShellNotify(NIM_DELETE, &data);
  added_ = false;
  leftClicked_ = rightClicked_ = false;
  if (animated_) PauseAnimation(true);
}

void TTrayIcon::PauseAnimation(bool paused) {
  if (animation_) animation_->SetPaused(paused);
}

void TTrayIcon::RefreshTrayIcon() {
  // Stopping joins the animation thread: never from that thread, never
  // while holding the lock the thread's step takes.
  if (animated_ && IconsEmpty() && !(animation_ && animation_->OnThread())) SetAnimated(false);
  std::lock_guard guard(lock_);
  if (added_) {
    if (IconEmpty(CurrentIcon())) {
      RemoveFromTray();
      return;
    }
    NOTIFYICONDATAW data = Record();
    ShellNotify(NIM_MODIFY, &data);
    return;
  }
  if (active_ && !destroying_) AddToTray();
}

void TTrayIcon::SetAnimated(bool animated) {
  bool effective = animated && !IconsEmpty();
  if (effective == animated_) return;
  if (effective) {
    std::lock_guard guard(lock_);
    animated_ = true;
    animation_ = std::make_unique<TAnimation>(*this, !added_);
  } else {
    {
      // After this no frame step starts; one in progress has finished.
      std::lock_guard guard(lock_);
      animated_ = false;
    }
    animation_.reset();  // wakes, stops and joins the thread
  }
  {
    std::lock_guard guard(lock_);
    frameIndex_ = 0;
  }
  RefreshTrayIcon();
}

void TTrayIcon::AdvanceFrame() {
  std::lock_guard guard(lock_);
  if (destroying_ || !animated_) return;
  ++frameIndex_;
  if (frameIndex_ >= static_cast<int>(icons_.size())) frameIndex_ = 0;
  RefreshTrayIcon();
}

bool TTrayIcon::PopupAtCursor(int x, int y) {
  if (!active_ || !popupMenu_ || !popupMenu_->AutoPopup) return false;
  if (!destroying_) {
    HWND active = GetActiveWindow();
    if (!active) active = TApplication::Instance().MainWindow();
    if (active) SendMessageW(active, WM_CANCELMODE, 0, 0);
  }
  if (IsWindowEnabled(Handle())) SetForegroundWindow(Handle());
  popupMenu_->Popup(x, y);
  SetForegroundWindow(Handle());
  return true;
}

bool TTrayIcon::RunDefaultItem() {
  if (!active_ || !popupMenu_ || popupMenu_->Items.Items.empty()) return false;
  for (auto& item : popupMenu_->Items.Items) {
    if (item->Default && item->Enabled) {
      item->Click();
      return true;
    }
  }
  return false;
}

void TTrayIcon::ClickStep(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbRight && PopupAtCursor(x, y)) return;
  if (OnClick) OnClick(this, button, shift, x, y);
}

void TTrayIcon::MouseReport(UINT mouseMessage) {
  POINT p{};
  GetCursorPos(&p);
  TShiftState shift = KeyboardShift();
  auto down = [&](TMouseButton b, TShiftState s) {
    if (OnMouseDown) OnMouseDown(this, b, s, p.x, p.y);
  };
  auto up = [&](TMouseButton b, TShiftState s) {
    if (OnMouseUp) OnMouseUp(this, b, s, p.x, p.y);
  };
  switch (mouseMessage) {
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, shift, p.x, p.y);
      break;
    case WM_LBUTTONDOWN:
      down(TMouseButton::mbLeft, shift | ssLeft);
      leftClicked_ = true;
      break;
    case WM_LBUTTONUP:
      if (std::exchange(leftClicked_, false)) ClickStep(TMouseButton::mbLeft, shift | ssLeft, p.x, p.y);
      up(TMouseButton::mbLeft, shift | ssLeft);
      break;
    case WM_LBUTTONDBLCLK:
      if (!RunDefaultItem() && OnDblClick) OnDblClick(this);
      down(TMouseButton::mbLeft, shift | ssDouble);
      break;
    case WM_RBUTTONDOWN:
      down(TMouseButton::mbRight, shift | ssRight);
      rightClicked_ = true;
      break;
    case WM_RBUTTONUP:
      if (std::exchange(rightClicked_, false)) ClickStep(TMouseButton::mbRight, shift | ssRight, p.x, p.y);
      up(TMouseButton::mbRight, shift | ssRight);
      break;
    case WM_RBUTTONDBLCLK:
      down(TMouseButton::mbRight, shift | ssDouble);
      break;
    case WM_MBUTTONDOWN:
      down(TMouseButton::mbMiddle, shift | ssMiddle);
      break;
    case WM_MBUTTONUP:
      up(TMouseButton::mbMiddle, shift | ssMiddle);
      break;
    case WM_MBUTTONDBLCLK:
      down(TMouseButton::mbMiddle, shift | ssDouble);
      break;
  }
}

}  // namespace skyloom
