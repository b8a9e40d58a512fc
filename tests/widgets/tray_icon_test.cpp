// The tray icon: mouse reports sent to its hidden window as the
// notification area sends them, with the area itself replaced by a recorder
// (and, once, the real one of Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/widgets/test_application.h"
#include "widgets/tray_icon.h"

namespace skyloom {
namespace {

class TRecordingMenu : public TXPPopupMenu {
 public:
  void Popup(int x, int y) override { popups.push_back({x, y}); }
  std::vector<POINT> popups;
};

std::string Button(TMouseButton b) {
  return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
}

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    tray.ShellNotify = [this](DWORD message, NOTIFYICONDATAW* data) {
      calls.push_back(message);
      tips.push_back(data->szTip);
      EXPECT_EQ(data->cbSize, NOTIFYICONDATAW_V1_SIZE);
      EXPECT_EQ(data->uCallbackMessage, 0xB054u);
      EXPECT_EQ(data->uFlags, 7u);
      return message == NIM_ADD ? addResult : TRUE;
    };
    tray.OnMouseMove = [this](void*, TShiftState s, int, int) { events.push_back("move " + std::to_string(s)); };
    tray.OnMouseDown = [this](void*, TMouseButton b, TShiftState s, int, int) {
      events.push_back("down " + Button(b) + std::to_string(s));
    };
    tray.OnMouseUp = [this](void*, TMouseButton b, TShiftState s, int, int) {
      events.push_back("up " + Button(b) + std::to_string(s));
    };
    tray.OnClick = [this](void*, TMouseButton b, TShiftState s, int, int) {
      events.push_back("click " + Button(b) + std::to_string(s));
    };
    tray.OnDblClick = [this](void*) { events.push_back("dbl"); };
  }
  void Report(UINT mouse) { SendMessageW(tray.Handle(), TTrayIcon::TrayCallbackMessage, 0, mouse); }
  std::vector<std::string> Take() { return std::exchange(events, {}); }
  using V = std::vector<std::string>;

  BOOL addResult = TRUE;
  std::vector<DWORD> calls;
  std::vector<std::wstring> tips;
  std::vector<std::string> events;
  TTrayIcon tray;
};

TEST_F(TrayIconTest, MouseReportTable) {
  // Shift states: left 8, right 16, middle 32, double 64.
  Report(0x200);
  EXPECT_EQ(Take(), (V{"move 0"}));
  Report(0x201);
  Report(0x202);
  EXPECT_EQ(Take(), (V{"down L8", "click L8", "up L8"}));
  Report(0x203);
  EXPECT_EQ(Take(), (V{"dbl", "down L64"}));
  Report(0x204);
  Report(0x205);
  EXPECT_EQ(Take(), (V{"down R16", "click R16", "up R16"}));  // no menu
  Report(0x206);
  EXPECT_EQ(Take(), (V{"down R64"}));
  Report(0x207);
  Report(0x208);
  Report(0x209);
  EXPECT_EQ(Take(), (V{"down M32", "up M32", "down M64"}));
  Report(0x20A);
  Report(0x205);  // a right up without a right down on the icon
  Report(0x202);
  EXPECT_EQ(Take(), (V{"up R16", "up L8"}));
  tray.Enabled = false;
  Report(0x201);
  Report(0x202);
  EXPECT_TRUE(Take().empty());
}

TEST_F(TrayIconTest, RightClickAndDoubleClickUseTheMenu) {
  TRecordingMenu menu;
  tray.SetPopupMenu(&menu);
  Report(0x204);
  Report(0x205);
  EXPECT_EQ(Take(), (V{"down R16", "up R16"}));
  EXPECT_EQ(menu.popups.size(), 1u);
  int defaultClicks = 0;
  TMenuItem& item = menu.Items.Add(L"Show", -1, [&](void*) { ++defaultClicks; });
  Report(0x203);
  EXPECT_EQ(Take(), (V{"dbl", "down L64"}));  // no default item yet
  item.Default = true;
  Report(0x203);
  EXPECT_EQ(Take(), (V{"down L64"}));
  EXPECT_EQ(defaultClicks, 1);
  item.Enabled = false;
  Report(0x203);
  EXPECT_EQ(Take(), (V{"dbl", "down L64"}));
  tray.SetActive(false);
  Report(0x204);
  Report(0x205);
  EXPECT_EQ(Take(), (V{"down R16", "click R16", "up R16"}));
}

TEST_F(TrayIconTest, HandlerErrorsGoToTheErrorBox) {
  std::vector<std::wstring> errors;
  testing::TestApplication().ErrorReporter = [&](const std::wstring& text) { errors.push_back(text); };
  tray.OnMouseDown = [](void*, TMouseButton, TShiftState, int, int) { throw std::runtime_error("tray failed"); };
  Report(0x201);
  Report(0x202);  // the next report still runs
  testing::TestApplication().ErrorReporter = nullptr;
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(L"tray failed"), std::wstring::npos);
  // The failing report ended before it marked the click.
  EXPECT_EQ(Take(), (V{"up L8"}));
}

TEST_F(TrayIconTest, DestroyedMenuIsForgotten) {
  {
    TRecordingMenu menu;
    tray.SetPopupMenu(&menu);
  }
  EXPECT_EQ(tray.PopupMenu(), nullptr);
  Report(0x204);
  Report(0x205);
  EXPECT_EQ(Take(), (V{"down R16", "click R16", "up R16"}));
}

TEST_F(TrayIconTest, HintAddRetryAndShellRestart) {
  EXPECT_EQ(TTrayIcon::ShortHint(L"Skyloom|long part"), L"Skyloom");
  EXPECT_EQ(TTrayIcon::ShortHint(std::wstring(100, L'x')).size(), 63u);
  tray.SetHint(L"Skyloom Wallpaper Changer|more");
  EXPECT_EQ(calls, (std::vector<DWORD>{NIM_DELETE}));  // no icon: nothing is added
  addResult = FALSE;
  tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
  EXPECT_FALSE(tray.Added());
  addResult = TRUE;
  calls.clear();
  tray.SetHint(std::wstring(70, L'h'));  // the refused add is tried again
  EXPECT_EQ(calls, (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
  EXPECT_TRUE(tray.Added());
  EXPECT_EQ(tips.back(), std::wstring(63, L'h'));
  calls.clear();
  tray.SetHint(L"Skyloom");
  EXPECT_EQ(calls, (std::vector<DWORD>{NIM_MODIFY}));
  calls.clear();
  SendMessageW(tray.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(calls, (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
  calls.clear();
  tray.SetActive(false);
  EXPECT_EQ(calls, (std::vector<DWORD>{NIM_DELETE}));
  SendMessageW(tray.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_FALSE(tray.Added());
}

TEST_F(TrayIconTest, AnimationNeedsIconsAndStopsWithTheIcon) {
  tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
  tray.SetAnimated(true);
  EXPECT_FALSE(tray.Animated());
  tray.SetIcons({LoadIconW(nullptr, IDI_APPLICATION), LoadIconW(nullptr, IDI_WARNING)});
  tray.Interval = 1;
  tray.SetAnimated(true);
  EXPECT_TRUE(tray.Animated());
  tray.SetIcons({});
  EXPECT_FALSE(tray.Animated());
}

TEST(TrayIconAnimation, FramesAdvanceAndStopWithTheIcon) {
  testing::TestApplication();
  std::atomic<int> modifies{0};
  std::atomic<HICON> shown{nullptr};
  {
    TTrayIcon tray;
    tray.ShellNotify = [&](DWORD message, NOTIFYICONDATAW* data) {
      if (message == NIM_MODIFY) {
        ++modifies;
        shown = data->hIcon;
      }
      return TRUE;
    };
    tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    tray.SetIcons({LoadIconW(nullptr, IDI_WARNING), LoadIconW(nullptr, IDI_ERROR)});
    tray.Interval = 1;
    tray.SetAnimated(true);
    std::set<HICON> frames;
    for (int i = 0; i < 5000 && frames.size() < 2; ++i) {
      Sleep(1);
      if (HICON icon = shown.load()) frames.insert(icon);
    }
    EXPECT_GE(frames.size(), 2u);  // both frames shown in turn
  }
  int atDestruction = modifies;
  Sleep(30);
  EXPECT_EQ(modifies, atDestruction);
}

TEST(TrayIconWine, IconIsAddedToTheNotificationArea) {
  testing::TestApplication();
  TTrayIcon tray;
  tray.SetHint(L"Skyloom Wallpaper Changer");
  tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
  EXPECT_TRUE(tray.Added());
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = tray.Handle();
  data.uFlags = NIF_TIP;
  // Only an icon the area holds can be modified.
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));
  tray.SetActive(false);
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
}

}  // namespace
}  // namespace skyloom
