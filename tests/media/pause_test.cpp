// Holding the wallpaper on the real main window: full-screen windows of
// this test over the primary monitor, power notices sent to the window, the
// user's own stop, the tray's settings and mute. The device's commands go
// to a scripted interface, except where a real video plays.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "avi_file.h"
#include "fake_mci.h"
#include "tests/win/form_fixture.h"

namespace skyloom {
namespace {

using testing::FakeMci;

RECT PrimaryMonitor() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcMonitor;
}

// A top-level window of the test, brought to the front.
class TopWindow {
 public:
  TopWindow(DWORD style, const RECT& rect)
      : handle_(CreateWindowExW(0, L"STATIC", L"", style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr)) {
    ShowWindow(handle_, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    SetForegroundWindow(handle_);
  }
  ~TopWindow() { DestroyWindow(handle_); }
  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};

// The power-setting notice as the system sends it: the setting's GUID and
// one DWORD of value.
void SendPowerSetting(HWND window, const GUID& setting, DWORD value) {
  std::vector<BYTE> buffer(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
  auto* notice = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer.data());
  notice->PowerSetting = setting;
  notice->DataLength = sizeof(DWORD);
  std::memcpy(notice->Data, &value, sizeof value);
  SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(notice));
}

// GUID_ACDC_POWER_SOURCE and GUID_POWER_SAVING_STATUS as documented.
constexpr GUID kAcDcSource{0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
constexpr GUID kSaverStatus{0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};

class PauseTest : public testing::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->MediaPlayer21->SetDriver(fake);
    form->ReadPowerStatus = [this] { return power; };
  }
  void StartVideo() {
    form->VideoCheck->Add(WriteFile(L"a.avi", "RIFF"));
    form->VideoCheck->SetChecked(0, true);
    ClickButton(*form->ToolBar2, L"Start Video Wallpaper");
    ASSERT_TRUE(form->VideoRunning());
  }
  void StartTimer() {
    ClickButton(*form->ToolBar1, L"Start Skyloom");
    ASSERT_TRUE(form->Timer1->Active());
  }
  std::size_t Sent(UINT command) const { return fake.Of(command).size(); }
  void PowerStatusChanged() { SendMessageW(form->Handle(), WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0); }
  std::wstring Status() const { return form->StatusBar1->Text(); }

  FakeMci fake;
  TPowerStatus power;
};

TEST_F(PauseTest, AFullScreenWindowHoldsVideoAndTimerAndItsClosingResumesBoth) {
  StartVideo();
  StartTimer();
  {
    const TopWindow game(WS_POPUP, PrimaryMonitor());
    form->CheckFullScreen();
    form->CheckFullScreen();
    EXPECT_EQ(Sent(MCI_PAUSE), 1u);
    EXPECT_TRUE(form->Timer1->Paused());
    EXPECT_EQ(Status(), L"Paused: full-screen program");
  }
  form->CheckFullScreen();
  EXPECT_EQ(Sent(MCI_RESUME), 1u);
  EXPECT_FALSE(form->Timer1->Paused());
  EXPECT_EQ(Status(), L"");
  {
    // A window already in front that goes full screen later.
    const TopWindow player(WS_POPUP, RECT{0, 0, 320, 240});
    form->CheckFullScreen();
    EXPECT_EQ(Sent(MCI_PAUSE), 1u);
    const RECT monitor = PrimaryMonitor();
    SetWindowPos(player.Handle(), nullptr, 0, 0, monitor.right, monitor.bottom, SWP_NOZORDER);
    form->CheckFullScreen();
    EXPECT_EQ(Sent(MCI_PAUSE), 2u);
  }
  form->CheckFullScreen();

  // Not full screen: a maximised window with its title bar, a window half
  // the monitor's width; and nothing counts with the setting off.
  const RECT monitor = PrimaryMonitor();
  for (const auto& [style, rect] : {std::pair{DWORD{WS_OVERLAPPEDWINDOW | WS_MAXIMIZE}, monitor},
                                    std::pair{DWORD{WS_POPUP}, RECT{0, 0, monitor.right / 2, monitor.bottom}}}) {
    const TopWindow window(style, rect);
    form->CheckFullScreen();
    EXPECT_EQ(Sent(MCI_PAUSE), 2u) << style;
  }
  form->PauseFullScreen1->Click();
  EXPECT_FALSE(form->PauseFullScreen1->Checked);
  const TopWindow game(WS_POPUP, PrimaryMonitor());
  form->CheckFullScreen();
  EXPECT_EQ(Sent(MCI_PAUSE), 2u);
  EXPECT_TRUE(errors.empty());
}

// Nothing is probed under the user's own pause; its end looks at once, so
// a program that left meanwhile holds nothing.
TEST_F(PauseTest, TheEndOfTheUsersPauseLooksAtTheScreenAtOnce) {
  StartVideo();
  {
    const TopWindow game(WS_POPUP, PrimaryMonitor());
    form->CheckFullScreen();
    form->SetUserPause(true);
  }
  form->SetUserPause(false);
  EXPECT_EQ(Sent(MCI_RESUME), 1u);
  EXPECT_EQ(Status(), L"");
}

TEST_F(PauseTest, BatteryHoldsTheVideoOnlyAndTheUsersStopStaysAStop) {
  StartVideo();
  StartTimer();
  power.onBattery = true;
  PowerStatusChanged();
  EXPECT_EQ(Sent(MCI_PAUSE), 1u);
  EXPECT_FALSE(form->Timer1->Paused());
  EXPECT_EQ(Status(), L"Paused: on battery");
  power.onBattery = false;
  PowerStatusChanged();
  EXPECT_EQ(Sent(MCI_RESUME), 1u);

  // The saver's notice holds it too; a Stop meanwhile is not undone.
  SendPowerSetting(form->Handle(), kSaverStatus, 1);
  EXPECT_EQ(Sent(MCI_PAUSE), 2u);
  ClickButton(*form->ToolBar2, L"Stop Video WallPaper");
  SendPowerSetting(form->Handle(), kSaverStatus, 0);
  EXPECT_EQ(Sent(MCI_RESUME), 1u);
  EXPECT_FALSE(form->VideoRunning());
  EXPECT_EQ(Status(), L"");

  // "Pause images on battery too" holds the timer; "Pause on battery" off
  // lets everything go.
  form->PauseBatteryTimer1->Click();
  SendPowerSetting(form->Handle(), kAcDcSource, 1);
  EXPECT_TRUE(form->Timer1->Paused());
  form->PauseBattery1->Click();
  EXPECT_FALSE(form->Timer1->Paused());
  EXPECT_FALSE(form->PauseBattery1->Checked);
  EXPECT_TRUE(errors.empty());
}

// A video started while held stands paused; "Next Video" while held moves
// on but the next one waits too.
TEST_F(PauseTest, VideoStartedOrAdvancedWhileHeldWaits) {
  form->RunCommandLine({L"/pause"});
  form->VideoCheck->Add(WriteFile(L"b.avi", "RIFF"));
  form->VideoCheck->SetChecked(0, true);
  StartVideo();
  EXPECT_EQ(Sent(MCI_PAUSE), 1u);
  EXPECT_TRUE(form->Timer1->Paused()) << "the user's pause holds the timer too, running or not";
  form->NextVideo1Click(nullptr);
  SendMessageW(form->MediaPlayer21->Handle(), MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 7);
  EXPECT_EQ(fake.Opened().size(), 2u);
  EXPECT_EQ(Sent(MCI_PAUSE), 2u);
  form->RunCommandLine({L"/resume"});
  EXPECT_EQ(Sent(MCI_RESUME), 1u);
  EXPECT_EQ(Status(), L"");
}

TEST_F(PauseTest, SettingsAndMuteAreRememberedAndReported) {
  EXPECT_TRUE(form->PauseFullScreen1->Checked);
  EXPECT_TRUE(form->PauseBattery1->Checked);
  EXPECT_FALSE(form->PauseBatteryTimer1->Checked);
  EXPECT_FALSE(form->Mute1->Checked);
  form->Mute1->Click();
  StartVideo();
  ASSERT_EQ(Sent(MCI_SETAUDIO), 1u);
  EXPECT_EQ(fake.Of(MCI_SETAUDIO)[0].flags, static_cast<DWORD_PTR>(MCI_SET_OFF | MCI_WAIT));
  form->PauseFullScreen1->Click();
  form->PauseBatteryTimer1->Click();

  TAppState state;
  form->CollectState(state);
  EXPECT_FALSE(StateBool(state, "pause_fullscreen", true));
  EXPECT_TRUE(StateBool(state, "pause_battery", false));
  EXPECT_TRUE(StateBool(state, "pause_battery_timer", false));
  EXPECT_TRUE(StateBool(state, "mute", false));
  form.reset();
  form = std::make_unique<TMainForm>();
  EXPECT_TRUE(form->PauseRules.settings.fullScreen);
  form->RestoreState(state);
  EXPECT_FALSE(form->PauseRules.settings.fullScreen);
  EXPECT_FALSE(form->PauseFullScreen1->Checked);
  EXPECT_TRUE(form->PauseBatteryTimer1->Checked);
  EXPECT_TRUE(form->Mute1->Checked);
  EXPECT_TRUE(form->MediaPlayer21->Muted());
}

TEST_F(PauseTest, StatusWritesTheStateAsKeyValueLines) {
  StartVideo();
  form->RunCommandLine({L"/pause", L"/mute", L"/status=" + (dir / L"status.txt").wstring()});
  const std::string text = ReadFile((dir / L"status.txt").wstring());
  EXPECT_EQ(text, "wallpaper=\ntimer=stopped\nnext_change_seconds=-1\nvideo=" +
                      (dir / L"a.avi").string() +
                      "\nvideo_state=paused\nvideo_wallpaper=running\npaused=Paused\nmute=on\n");
  EXPECT_TRUE(errors.empty());
}

// Runs the window's messages, its timer's among them, until done() or a
// generous limit.
template <typename Done>
bool PumpUntil(Done done) {
  const ULONGLONG limit = GetTickCount64() + 10000;
  while (!done()) {
    if (GetTickCount64() > limit) return false;
    testing::TestApplication().ProcessMessages();
    Sleep(20);
  }
  return true;
}

using RealVideoPause = testing::FormTest;

// A real video in a real device: a window of the test made full screen
// pauses it, the frame stays, and the window's closing resumes it at the
// window's next check.
TEST_F(RealVideoPause, AFullScreenWindowPausesAPlayingVideoAndItsClosingResumesIt) {
  // 20 s at 2 frames a second: Wine's device ends its play at the next
  // frame after a pause, keeping its position.
  form->VideoCheck->Add(WriteFile(L"long.avi", testing::MakeAvi(32, 24, 40, 2)));
  form->VideoCheck->SetChecked(0, true);
  ClickButton(*form->ToolBar2, L"Start Video Wallpaper");
  auto& device = *form->MediaPlayer21;
  ASSERT_TRUE(PumpUntil([&] { return device.Mode() == TMPDeviceMode::mpPlaying; }));
  // Wine's device reports "Paused" only until the next frame is due, so the
  // window comes, and is checked for, just after a frame.
  const auto frame = device.Position();
  ASSERT_TRUE(PumpUntil([&] { return device.Position() != frame; }));
  auto game = std::make_unique<TopWindow>(WS_POPUP, PrimaryMonitor());
  form->CheckFullScreen();
  EXPECT_EQ(device.Mode(), TMPDeviceMode::mpPaused);
  EXPECT_EQ(form->StatusBar1->Text(), L"Paused: full-screen program");
  const auto wait = [](ULONGLONG ms) { PumpUntil([end = GetTickCount64() + ms] { return GetTickCount64() > end; }); };
  wait(600);  // the frame being drawn as the pause came
  const auto position = device.Position();
  wait(1500);
  EXPECT_EQ(device.Position(), position) << "the picture moved on while paused";
  game.reset();
  ASSERT_TRUE(PumpUntil([&] { return device.Mode() == TMPDeviceMode::mpPlaying; }));
  EXPECT_NE(form->StatusBar1->Text(), L"Paused: full-screen program");
  ClickButton(*form->ToolBar2, L"Stop Video WallPaper");
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace skyloom
