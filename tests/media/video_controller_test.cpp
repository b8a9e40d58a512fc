// The video wallpaper controller on the real main window, with the device's
// commands going to a scripted interface so that the tests deliver the
// device's notices themselves.
#include <gtest/gtest.h>

#include "app/desktop_host.h"
#include "fake_mci.h"
#include "tests/win/form_fixture.h"

namespace skyloom {
namespace {

using testing::FakeMci;
using Files = std::vector<std::wstring>;

class VideoTest : public testing::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->MediaPlayer21->SetDriver(fake);
  }
  // Rows a, b, c... as existing files, checked as given.
  void AddRows(const std::vector<bool>& checks) {
    for (std::size_t i = 0; i < checks.size(); ++i) {
      const std::wstring name(1, static_cast<wchar_t>(L'a' + i));
      files.push_back(WriteFile((name + L".avi").c_str(), "RIFF"));
      form->VideoCheck->Add(files.back());
      form->VideoCheck->SetChecked(static_cast<int>(i), checks[i]);
    }
  }
  // The device reports that a command has finished, in the given mode.
  void Notice(DWORD mode, bool atEnd = true) {
    fake.mode = mode;
    fake.position = atEnd ? fake.length : 0;
    SendMessageW(form->MediaPlayer21->Handle(), MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 7);
  }
  void Start() { ClickButton(*form->ToolBar2, L"Start Video Wallpaper"); }
  // Hands the device's own notices to the controller, as the loop does.
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  bool StopEnabled() const { return form->ToolBar2->ButtonEnabled(form->VideoStopButton); }
  Files Opened(std::initializer_list<int> rows) const {
    Files expected;
    for (int row : rows) expected.push_back(files[static_cast<std::size_t>(row)]);
    return expected;
  }

  FakeMci fake;
  Files files;
};

TEST_F(VideoTest, OneRowLoopsCheckedOrNot) {
  AddRows({true});
  Start();
  form->VideoCheck->SetChecked(0, false);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(form->VideoRunning());
  EXPECT_TRUE(StopEnabled());
  EXPECT_EQ(fake.Opened(), Opened({0}));
  ASSERT_EQ(fake.Of(MCI_PLAY).size(), 1u);
  Notice(MCI_MODE_STOP);
  Notice(MCI_MODE_STOP);
  EXPECT_EQ(fake.Opened(), Opened({0}));  // no advance with one row
  EXPECT_EQ(fake.Of(MCI_PLAY).size(), 3u);
  EXPECT_EQ(fake.Of(MCI_SEEK).size(), 2u);  // each replay rewinds first
  EXPECT_EQ(form->StatusBar1->Text(), L"Stopped");
  EXPECT_TRUE(errors.empty());
}

TEST_F(VideoTest, CheckedRowsPlayInTurnAndTheCursorWraps) {
  AddRows({true, false, true});
  Start();
  EXPECT_EQ(form->VideoCursor, 0);
  Notice(MCI_MODE_STOP);
  EXPECT_EQ(form->VideoCursor, 1);
  Notice(MCI_MODE_STOP);
  EXPECT_EQ(form->VideoCursor, 3);
  EXPECT_EQ(form->VideoCheck->ItemIndex(), 2);
  Notice(MCI_MODE_STOP);
  EXPECT_EQ(fake.Opened(), Opened({0, 0, 2, 0}));
  EXPECT_EQ(fake.Of(MCI_PLAY).size(), 4u);
  // The open asks for a notice on its first command (the close), the play
  // after it by default.
  const auto closes = fake.Of(MCI_CLOSE);
  ASSERT_EQ(closes.size(), 3u);
  EXPECT_EQ(closes[0].flags, static_cast<DWORD_PTR>(MCI_WAIT | MCI_NOTIFY));
  EXPECT_EQ(fake.Of(MCI_OPEN)[1].flags, static_cast<DWORD_PTR>(MCI_WAIT | MCI_OPEN_ELEMENT));
  EXPECT_EQ(fake.Of(MCI_PLAY).back().flags, static_cast<DWORD_PTR>(MCI_NOTIFY));
  EXPECT_TRUE(errors.empty());
}

TEST_F(VideoTest, SecondStartLetsTheFileRunOutAndNextVideoAdvancesAtOnce) {
  AddRows({true, true});
  Start();
  form->NextVideo1Click(nullptr);
  ASSERT_EQ(fake.Of(MCI_STOP).size(), 1u);
  Notice(MCI_MODE_STOP);
  EXPECT_EQ(fake.Opened(), Opened({0, 0}));  // the cursor stood on row 0
  form->NextVideo1Click(nullptr);
  Notice(MCI_MODE_STOP);
  EXPECT_EQ(fake.Opened(), Opened({0, 0, 1}));

  Start();
  EXPECT_FALSE(form->VideoRunning());
  EXPECT_TRUE(StopEnabled());
  EXPECT_EQ(fake.Of(MCI_STOP).size(), 2u);  // nothing sent by the release
  const auto plays = fake.Of(MCI_PLAY).size();
  Notice(MCI_MODE_STOP);
  EXPECT_EQ(fake.Of(MCI_PLAY).size(), plays);
  EXPECT_EQ(fake.Opened().size(), 3u);

  ClickButton(*form->ToolBar2, L"Stop Video WallPaper");
  EXPECT_FALSE(StopEnabled());
  EXPECT_EQ(fake.Of(MCI_STOP).size(), 3u);
  EXPECT_TRUE(errors.empty());
}

TEST_F(VideoTest, HidingWhileRunningReattachesToTheHost) {
  AddRows({true});
  form->ToolButton15Click(nullptr);  // not running: only hides
  EXPECT_TRUE(fake.calls.empty());
  Start();
  const auto windows = fake.Of(MCI_WINDOW).size(), puts = fake.Of(MCI_PUT).size();
  ASSERT_NE(form->VideoHostWindow, nullptr);
  // Wine has no "Progman": the program's own window at the bottom is the host.
  if (!FindWindowW(L"Progman", L"Program Manager")) {
    ASSERT_TRUE(form->VideoBackdrop);
    EXPECT_EQ(form->VideoHostWindow, form->VideoBackdrop->Handle());
  }
  form->Close1Click(nullptr);
  ASSERT_EQ(fake.Of(MCI_WINDOW).size(), windows + 1);
  ASSERT_EQ(fake.Of(MCI_PUT).size(), puts + 1);
  EXPECT_EQ(fake.Of(MCI_WINDOW).back().window, form->VideoHostWindow);
  const RECT placed = fake.Of(MCI_PUT).back().rect;
  RECT client{};
  GetClientRect(form->VideoHostWindow, &client);
  EXPECT_TRUE(EqualRect(&placed, &client));
  EXPECT_TRUE(EqualRect(&placed, &form->VideoHostRect));
  EXPECT_GT(client.right, 0);
}

TEST_F(VideoTest, PlayingAtTheEndOfTrackOneStopsAndOddModesAreNamedUnknown) {
  AddRows({true});
  form->VideoCheck->SetItemIndex(0);
  form->VideoCheckDblClick(nullptr);
  EXPECT_EQ(fake.Opened(), Opened({0}));
  EXPECT_TRUE(fake.Of(MCI_PLAY).empty());
  Notice(MCI_MODE_PLAY, false);
  EXPECT_TRUE(fake.Of(MCI_STOP).empty());
  Notice(MCI_MODE_PLAY, true);
  EXPECT_EQ(fake.Of(MCI_STOP).size(), 1u);
  EXPECT_EQ(form->StatusBar1->Text(), L"Playing");
  Notice(MCI_MODE_OPEN + 1);
  EXPECT_EQ(form->StatusBar1->Text(), L"Unknown mode");
  EXPECT_TRUE(errors.empty());
}

// The device's own notices: the end of play advances once, the stop's and
// the close's notices that follow change nothing; with no row left checked
// video wallpaper stops and says why, whatever notices come after.
TEST_F(VideoTest, TheEndOfPlayAdvancesOnceAndAnEmptyCheckStopsWithItsReason) {
  AddRows({true, true});
  form->VideoCursor = 5;  // beyond the rows: Start wraps to row 0
  Start();
  Pump();
  EXPECT_EQ(form->StatusBar1->Text(), L"Playing");
  fake.EndPlay();
  Pump();
  EXPECT_EQ(fake.Opened(), Opened({0, 0}));
  EXPECT_EQ(fake.Of(MCI_PLAY).size(), 2u);
  form->VideoCheck->SetChecked(0, false);
  form->VideoCheck->SetChecked(1, false);
  fake.EndPlay();
  Pump();
  EXPECT_FALSE(form->VideoRunning());
  EXPECT_FALSE(StopEnabled());
  EXPECT_EQ(fake.Of(MCI_PLAY).size(), 2u);
  EXPECT_EQ(form->StatusBar1->Text(), L"No video is checked");
  Notice(MCI_MODE_STOP);  // a late notice of the stopped device
  EXPECT_EQ(form->StatusBar1->Text(), L"No video is checked");
  Notice(MCI_MODE_PLAY, false);  // the device plays again: its mode shows
  EXPECT_EQ(form->StatusBar1->Text(), L"Playing");
  EXPECT_TRUE(errors.empty());
}

// Next Video stops the play: its "aborted" notice advances, the stop's own
// notice and the close's that follow do not advance a second time.
TEST_F(VideoTest, NextVideoAdvancesOnceThroughTheDevicesNotices) {
  AddRows({true, true, true});
  Start();
  Pump();
  form->NextVideo1Click(nullptr);
  Pump();
  EXPECT_EQ(fake.Opened(), Opened({0, 0}));  // the cursor stood on row 0
  form->NextVideo1Click(nullptr);
  Pump();
  EXPECT_EQ(fake.Opened(), Opened({0, 0, 1}));
  EXPECT_EQ(fake.Of(MCI_PLAY).size(), 3u);
  EXPECT_EQ(form->VideoCursor, 2);
  EXPECT_TRUE(form->VideoRunning());
  EXPECT_EQ(form->StatusBar1->Text(), L"Playing");
  EXPECT_TRUE(errors.empty());
}

TEST_F(VideoTest, StartWithNothingCheckedKeepsTheWindowAndTheButtonUp) {
  form->Show();
  Start();  // empty list
  EXPECT_EQ(form->StatusBar1->Text(), L"No video is checked");
  AddRows({false, false});
  Start();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->StatusBar1->Text(), L"No video is checked");
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(form->VideoRunning());
  EXPECT_FALSE(StopEnabled());
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(VideoTest, AFileTheDeviceCannotOpenIsNamedAndLeavesTheButtonUp) {
  form->Show();
  AddRows({true});
  fake.openResult = MCIERR_INVALID_FILE;
  Start();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(files[0]), std::wstring::npos) << errors[0];
  EXPECT_NE(errors[0].find(L"Unknown error code"), std::wstring::npos) << errors[0];
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(form->VideoRunning());
}

// A window that stands where the taskbar would and counts its clicks.
struct ClickTarget {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) ++clicks;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  static inline int clicks = 0;
};

// Without the shell's desktop windows the video goes to a window of the
// program's own: under every other window, taking no input, so that the
// taskbar and the tray stay usable.
TEST_F(VideoTest, TheVideosOwnWindowStaysBelowEveryWindowAndTakesNoInput) {
  if (FindWindowW(L"Progman", L"Program Manager")) GTEST_SKIP() << "a shell desktop is running";
  WNDCLASSW wc{};
  wc.lpfnWndProc = ClickTarget::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Skyloom_TaskbarStandIn";
  RegisterClassW(&wc);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HWND bar = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0,
                             height - 30, width, 30, nullptr, nullptr, nullptr, nullptr);
  AddRows({true});
  Start();
  HWND host = form->VideoHostWindow;
  ASSERT_NE(host, nullptr);
  EXPECT_NE(host, GetDesktopWindow());
  EXPECT_TRUE(IsWindowVisible(host));
  EXPECT_FALSE(IsWindowEnabled(host));
  EXPECT_EQ(GetWindow(host, GW_HWNDLAST), host);
  SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // raised: it goes back down
  EXPECT_EQ(GetWindow(host, GW_HWNDLAST), host);
  EXPECT_NE(GetForegroundWindow(), host);
  SetWindowPos(bar, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // a window goes below
  for (int i = 0; i < 500 && GetWindow(host, GW_HWNDLAST) != host; ++i) {
    Pump();
    Sleep(10);
  }
  EXPECT_EQ(GetWindow(host, GW_HWNDLAST), host);
  RECT workArea{}, placed{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  GetWindowRect(host, &placed);
  EXPECT_TRUE(EqualRect(&placed, &workArea));  // the taskbar lies outside it

  const POINT onBar{width / 2, height - 15};
  EXPECT_EQ(WindowFromPoint(onBar), bar);
  for (const wchar_t* tray : {L"Shell_TrayWnd", L"__winex11_standalone_tray"}) {
    HWND area = FindWindowW(tray, nullptr);
    RECT box{};
    if (!area || !IsWindowVisible(area) || !GetWindowRect(area, &box)) continue;
    const POINT middle{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    EXPECT_EQ(GetAncestor(WindowFromPoint(middle), GA_ROOT), area) << "the tray is covered";
  }
  ClickTarget::clicks = 0;
  SetCursorPos(onBar.x, onBar.y);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  for (int i = 0; i < 100 && ClickTarget::clicks == 0; ++i) {
    Pump();
    Sleep(10);
  }
  EXPECT_EQ(ClickTarget::clicks, 1);
  DestroyWindow(bar);
  ClickButton(*form->ToolBar2, L"Stop Video WallPaper");
  EXPECT_FALSE(IsWindowVisible(host));
}

// Ending the program while the device never answers its close: run in a
// child process (the test below), which must end on its own.
constexpr wchar_t kExitChildVariable[] = L"SKYLOOM_VIDEO_EXIT_CHILD";

TEST_F(VideoTest, ExitChild) {
  if (!GetEnvironmentVariableW(kExitChildVariable, nullptr, 0)) GTEST_SKIP() << "run by ExitEndsTheProcess";
  AddRows({true});
  Start();
  fake.closeGate.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));  // never signalled
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  form.reset();
  ADD_FAILURE() << "the device's close returned";
}

TEST(VideoExit, ExitEndsTheProcessWhenTheDeviceNeverAnswers) {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  std::wstring line = L"\"" + self + L"\" --gtest_filter=VideoTest.ExitChild";
  SetEnvironmentVariableW(kExitChildVariable, L"1");
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
  SetEnvironmentVariableW(kExitChildVariable, nullptr);
  ASSERT_TRUE(started);
  UniqueHandle process(info.hProcess), thread(info.hThread);
  const bool ended = WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.get(), 1);
  EXPECT_TRUE(ended) << "the program waited for the device for good";
}

// The shell's windows, made in this process: Wine has none of them.
HWND MakeWindow(const wchar_t* className, const wchar_t* title, HWND parent = nullptr) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  return CreateWindowExW(0, className, title, parent ? WS_CHILD : WS_POPUP, 0, 0, 64, 48, parent, nullptr, nullptr,
                         nullptr);
}

// Windows 8 to 11 23H2: the icon view sits in a top-level worker and the
// video's worker follows it.
TEST(DesktopHost, ContentWindowFirstThenTheWorkerBehindTheIconsThenProgman) {
  if (FindWindowW(L"Progman", L"Program Manager")) GTEST_SKIP() << "a shell desktop is running";
  // A new window goes on top, so the worker ends up right behind the icons.
  HWND worker = MakeWindow(L"WorkerW", L"");
  HWND iconOwner = MakeWindow(L"WorkerW", L"");
  MakeWindow(L"SHELLDLL_DefView", L"", iconOwner);
  HWND progman = MakeWindow(L"Progman", L"Program Manager");
  EXPECT_EQ(FindDesktopHostWindow(), worker);
  DestroyWindow(worker);
  EXPECT_EQ(FindDesktopHostWindow(), progman);
  HWND content = MakeWindow(L"Internet Explorer_Server", L"", MakeWindow(L"Skyloom_Frame", L"", progman));
  EXPECT_EQ(FindDesktopHostWindow(), content);
  DestroyWindow(progman);
  DestroyWindow(iconOwner);
  EXPECT_EQ(FindDesktopHostWindow(), nullptr);  // the controller then uses a window of its own
}

// Windows 11 24H2 on: Progman keeps the icon view and the worker is its
// child; a hidden top-level worker behind Progman is none of the desktop's.
TEST(DesktopHost, TheWorkerIsAChildOfProgmanWhenProgmanKeepsTheIcons) {
  if (FindWindowW(L"Progman", L"Program Manager")) GTEST_SKIP() << "a shell desktop is running";
  HWND unrelated = MakeWindow(L"WorkerW", L"");
  HWND progman = MakeWindow(L"Progman", L"Program Manager");
  MakeWindow(L"SHELLDLL_DefView", L"", progman);
  HWND worker = MakeWindow(L"WorkerW", L"", progman);
  EXPECT_EQ(FindDesktopHostWindow(), worker);
  DestroyWindow(progman);
  DestroyWindow(unrelated);
}

// Class names are registered without regard to letter case, so the test
// of case uses its own class and leaves the shell's names alone.
TEST(DesktopHost, DescendantClassNamesMatchWholeAndCaseSensitive) {
  HWND top = MakeWindow(L"Skyloom_Frame", L"");
  HWND child = MakeWindow(L"Skyloom_Frame", L"", top);
  HWND probe = MakeWindow(L"Skyloom_Probe", L"", child);
  HWND button = CreateWindowExW(0, L"Button", L"", WS_CHILD, 0, 0, 5, 5, child, nullptr, nullptr, nullptr);
  ASSERT_TRUE(probe && button);
  EXPECT_EQ(FindDescendantByClass(top, L"Skyloom_Probe"), probe);
  EXPECT_EQ(FindDescendantByClass(top, L"SKYLOOM_PROBE"), nullptr);
  EXPECT_EQ(FindDescendantByClass(top, L"Button"), button);
  EXPECT_EQ(FindDescendantByClass(top, L"button"), nullptr);
  EXPECT_EQ(FindDescendantByClass(top, L"Butto"), nullptr);
  EXPECT_EQ(FindDescendantByClass(top, L"Internet Explorer_Server"), nullptr);
  DestroyWindow(top);
}

}  // namespace
}  // namespace skyloom
