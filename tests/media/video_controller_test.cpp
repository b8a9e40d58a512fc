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
  AddRows({false});
  Start();
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
  // Wine has no "Progman": its desktop window (the virtual desktop) is the host.
  if (!FindWindowW(L"Progman", L"Program Manager")) {
    EXPECT_EQ(form->VideoHostWindow, GetDesktopWindow());
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

TEST_F(VideoTest, NoCheckedRowStopsVideoWallpaperAndAStartBeyondTheRowsWraps) {
  AddRows({false, false});
  form->VideoCursor = 5;
  Start();
  EXPECT_EQ(fake.Opened(), Opened({0}));
  Notice(MCI_MODE_STOP);
  EXPECT_FALSE(form->VideoRunning());
  EXPECT_FALSE(StopEnabled());
  EXPECT_EQ(fake.Of(MCI_STOP).size(), 1u);
  EXPECT_EQ(fake.Of(MCI_PLAY).size(), 1u);
  EXPECT_EQ(form->StatusBar1->Text(), L"No video is checked");
  EXPECT_TRUE(errors.empty());
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
  EXPECT_EQ(FindDesktopHostWindow(), GetDesktopWindow());
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
