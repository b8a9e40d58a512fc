// Second starts of the real program: they hand their command line to the
// first instance (a real one, or a main window of this process holding the
// instance's name) and exit.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "form_fixture.h"
#include "tests/media/fake_mci.h"
#include "toolkit/text_win.h"
#include "real_program.h"
#include "toolkit/handles.h"

namespace skyloom {
namespace {

using testing::Process;

// output, when given, receives the program's standard output.
Process Start(const std::wstring& arguments, HANDLE output = nullptr) {
  return testing::StartProgram(testing::SkyloomExe(), arguments, output);
}
HWND WaitForWindow() { return testing::WaitForMainWindow(); }

// Entries in all of the window's list boxes (the video list stays empty).
int ListedEntries(HWND window) {
  int total = 0;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (_wcsicmp(name, L"ListBox") == 0)
          *reinterpret_cast<int*>(data) += static_cast<int>(SendMessageW(child, LB_GETCOUNT, 0, 0));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&total));
  return total;
}

// The instance's name, held by this process as a running first start holds
// it. Its thread ends without giving it back, as a process that ends does.
class HeldName {
 public:
  HeldName()
      : thread_([this] {
          UniqueHandle name(CreateMutexW(nullptr, TRUE, L"Local\\Skyloom.SingleInstance"));
          held_ = true;
          while (!end_) Sleep(10);
        }) {
    while (!held_) Sleep(5);
  }
  ~HeldName() { End(); }
  void End() {
    end_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> held_{false}, end_{false};
  std::thread thread_;
};

int WaitForEntries(HWND window, int wanted) {
  int entries = -1;
  for (int i = 0; i < 100 && entries != wanted; ++i) {
    entries = ListedEntries(window);
    if (entries != wanted) Sleep(50);
  }
  return entries;
}

TEST(SingleInstance, ASecondStartHandsItsArgumentsOverAndExits) {
  const auto dir = std::filesystem::temp_directory_path() / (L"skyloom-si-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / L"two.Gal", std::ios::binary) << "a\r\nb\r\n";
  std::ofstream(dir / L"three.Gal", std::ios::binary) << "c\r\nd\r\ne\r\n";

  ASSERT_EQ(FindWindowW(L"TMainForm", L"Skyloom"), nullptr) << "another Skyloom is running";
  Process first = Start(L"\"" + (dir / L"two.Gal").wstring() + L"\"");
  ASSERT_TRUE(first.handle);
  HWND window = WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WaitForEntries(window, 2), 2);

  Process second = Start(L"\"" + (dir / L"three.Gal").wstring() + L"\"");
  EXPECT_EQ(second.Wait(20000), 0u);
  EXPECT_EQ(WaitForEntries(window, 3), 3);
  EXPECT_EQ(first.Wait(0), static_cast<DWORD>(STILL_ACTIVE));

  Process third = Start(L"/exit");
  EXPECT_EQ(third.Wait(20000), 0u);
  EXPECT_EQ(first.Wait(20000), 0u);
  if (first.Wait(0) == STILL_ACTIVE) TerminateProcess(first.handle.get(), 1);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

// The error box of another process: its caption and the texts of its
// static controls, once it shows.
struct ErrorBox {
  HWND window = nullptr;
  std::wstring caption, text;
};

ErrorBox WaitForErrorBox(DWORD processId) {
  struct Search {
    DWORD processId;
    ErrorBox box;
  } search{processId, {}};
  for (int i = 0; i < 200 && !search.box.window; ++i) {
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t name[32] = {};
          GetClassNameW(window, name, 32);
          if (owner != s.processId || wcscmp(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
          s.box.window = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.box.window) Sleep(50);
  }
  if (!search.box.window) return {};
  wchar_t caption[256] = {};
  GetWindowTextW(search.box.window, caption, 256);
  search.box.caption = caption;
  EnumChildWindows(
      search.box.window,
      [](HWND child, LPARAM data) -> BOOL {
        wchar_t name[32] = {}, text[512] = {};
        GetClassNameW(child, name, 32);
        if (_wcsicmp(name, L"Static") == 0 && GetWindowTextW(child, text, 512) > 0)
          reinterpret_cast<ErrorBox*>(data)->text += text;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search.box));
  return search.box;
}

// A damaged desktop setting (a number where the wallpaper's path belongs):
// the error box names the key and value, and once it is closed the program
// starts as if the value were missing.
TEST(StartUp, AThemeValueOfTheWrongTypeIsNamedAndTheProgramStarts) {
  constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";
  wchar_t saved[1024] = {};
  DWORD savedSize = sizeof saved;
  const bool hadWallpaper =
      RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"Wallpaper", RRF_RT_REG_SZ, nullptr, saved, &savedSize) == ERROR_SUCCESS;
  const DWORD damaged = 7;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"Wallpaper", REG_DWORD, &damaged, sizeof damaged),
            ERROR_SUCCESS);

  Process skyloom = Start(L"");
  ASSERT_TRUE(skyloom.handle);
  const ErrorBox box = WaitForErrorBox(GetProcessId(skyloom.handle.get()));
  if (box.window) PostMessageW(box.window, WM_COMMAND, IDOK, 0);
  HWND window = nullptr;
  for (int i = 0; i < 200 && !window; ++i, Sleep(50)) window = FindWindowW(L"TMainForm", L"Skyloom");
  const bool started = window != nullptr;
  Process exit = Start(L"/exit");
  exit.Wait(20000);
  const DWORD code = skyloom.Wait(20000);
  if (code == STILL_ACTIVE) TerminateProcess(skyloom.handle.get(), 1);
  if (hadWallpaper)
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"Wallpaper", REG_SZ, saved, (wcslen(saved) + 1) * sizeof(wchar_t));
  else
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"Wallpaper");

  ASSERT_NE(box.window, nullptr) << "no error box";
  EXPECT_EQ(box.caption, L"Skyloom");
  EXPECT_EQ(box.text, L"The value \"Wallpaper\" of HKEY_CURRENT_USER\\Control Panel\\Desktop is not text; it was "
                      L"read as missing.");
  EXPECT_TRUE(started) << "the program did not start";
  EXPECT_EQ(code, 0u);
}

// The first instance closes before it has taken the commands: the second
// start says so instead of dropping them.
TEST(SingleInstance, AHandOverThatFailsIsSaid) {
  ASSERT_EQ(FindWindowW(L"TMainForm", L"Skyloom"), nullptr) << "another Skyloom is running";
  HeldName name;  // a first start that never shows its window
  // Keeps the name in existence after its holder ends, however late the
  // second start comes to look it up.
  UniqueHandle known(CreateMutexW(nullptr, FALSE, L"Local\\Skyloom.SingleInstance"));
  Process second = Start(L"/checkall /next");
  Sleep(300);
  name.End();
  const ErrorBox box = WaitForErrorBox(GetProcessId(second.handle.get()));
  if (box.window) PostMessageW(box.window, WM_COMMAND, IDOK, 0);
  const DWORD code = second.Wait(20000);
  if (code == STILL_ACTIVE) TerminateProcess(second.handle.get(), 1);
  ASSERT_NE(box.window, nullptr) << "nothing said";
  EXPECT_EQ(box.caption, L"Skyloom");
  EXPECT_NE(box.text.find(L"/checkall /next"), std::wstring::npos) << box.text;
  EXPECT_EQ(code, 1u);
}

// A main window of this process as the running instance.
struct SecondStartTest : testing::FormTest {
  HeldName name;
  // Answers messages (the hand-over among them) until the process ends;
  // then runs what it handed over.
  DWORD HandleMessagesUntilExit(const Process& process) {
    HANDLE handle = process.handle.get();
    for (int i = 0; i < 2000 && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT; ++i) {
      testing::TestApplication().ProcessMessages();
      MsgWaitForMultipleObjects(1, &handle, FALSE, 10, QS_ALLINPUT);
    }
    testing::TestApplication().ProcessMessages();
    return process.Wait(0);
  }
};

// Busy for longer than any fixed wait (a long list loading): the commands
// arrive once the first instance handles messages again.
TEST_F(SecondStartTest, ABusyFirstInstanceStillGetsTheCommands) {
  const auto gal = WriteFile(L"busy.Gal", "a\r\nb\r\nc\r\n");
  Process second = Start(L"\"" + gal + L"\" /checkall");
  ASSERT_TRUE(second.handle);
  Sleep(12000);
  EXPECT_EQ(HandleMessagesUntilExit(second), 0u);
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{true, true, true}));
}

TEST_F(SecondStartTest, APlainSecondStartBringsTheWindowBack) {
  form->Hide();
  Process second = Start(L"");
  EXPECT_EQ(HandleMessagesUntilExit(second), 0u);
  EXPECT_TRUE(form->Visible());
}

// Device names are refused in the same words whether the running instance or
// a first start reads them.
TEST_F(SecondStartTest, DeviceNamesGetTheFirstStartsMessage) {
  for (const std::wstring device : {L"CON.Gal", L"COM1.Gal", L"nul.Gal"}) {
    errors.clear();
    try {
      form->RunCommandLine({device});
    } catch (const std::exception& error) {
      testing::TestApplication().ShowException(error);
    }
    HandleMessagesUntilExit(Start(device));
    ASSERT_EQ(errors.size(), 2u) << device;
    EXPECT_EQ(errors[0], L"Cannot open file " + device + L".");
    EXPECT_EQ(errors[1], errors[0]);
  }
}

// The video, pause, mute and status switches of second starts reach the
// running instance in order; a plain /status prints the running instance's
// report on the second start's output.
// The scripted device outlives the window, which closes it when destroyed.
struct SecondStartVideoTest : SecondStartTest {
  testing::FakeMci fake;
};

TEST_F(SecondStartVideoTest, VideoPauseMuteAndStatusSwitchesReachTheRunningInstance) {
  form->MediaPlayer21->SetDriver(fake);
  const auto video = WriteFile(L"a.avi", "RIFF");
  form->VideoCheck->Add(video);
  form->VideoCheck->SetChecked(0, true);
  const auto run = [&](const std::wstring& arguments) {
    EXPECT_EQ(HandleMessagesUntilExit(Start(arguments)), 0u) << arguments;
  };
  run(L"/startvideo");
  EXPECT_TRUE(form->VideoRunning());
  run(L"/pause");
  EXPECT_EQ(fake.Of(MCI_PAUSE).size(), 1u);
  run(L"/mute");
  EXPECT_TRUE(form->MediaPlayer21->Muted());
  const auto report = (dir / L"report.txt").wstring();
  run(L"\"/status=" + report + L"\"");
  EXPECT_EQ(ReadFile(report), "wallpaper=\ntimer=stopped\nnext_change_seconds=-1\nvideo=" + Narrow(video) +
                                  "\nvideo_state=paused\nvideo_wallpaper=running\npaused=Paused\nmute=on\n");
  run(L"/resume /unmute");
  EXPECT_EQ(fake.Of(MCI_RESUME).size(), 1u);
  EXPECT_FALSE(form->MediaPlayer21->Muted());

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto printed = (dir / L"printed.txt").wstring();
  {
    UniqueHandle output(CreateFileW(printed.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0,
                                    nullptr));
    EXPECT_EQ(HandleMessagesUntilExit(Start(L"-STATUS", output.get())), 0u);
  }
  EXPECT_EQ(ReadFile(printed), "wallpaper=\ntimer=stopped\nnext_change_seconds=-1\nvideo=" + Narrow(video) +
                                   "\nvideo_state=playing\nvideo_wallpaper=running\npaused=\nmute=off\n");

  run(L"/nextvideo");
  EXPECT_EQ(fake.Of(MCI_STOP).size(), 1u);
  run(L"/stopvideo");
  EXPECT_FALSE(form->VideoRunning());
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace skyloom
