// The real program remembers across a restart. Each test runs a copy of
// skyloom.exe beside the portable marker, so its state lives in the test's
// own folder: made by the user's means (a list file, clicks, a move), ended
// in each of the ways a program ends, started again and compared.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "real_program.h"
#include "state/state_file.h"

namespace skyloom {
namespace {

using testing::Process;

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The n-th child of a class (and caption, when given), in creation order.
HWND Child(HWND window, const wchar_t* className, const wchar_t* caption = nullptr, int n = 0) {
  struct Search {
    const wchar_t *className, *caption;
    int n;
    HWND found;
  } search{className, caption, n, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        wchar_t name[64] = {}, text[256] = {};
        GetClassNameW(child, name, 64);
        GetWindowTextW(child, text, 256);
        if (_wcsicmp(name, s.className) != 0 || (s.caption && wcscmp(text, s.caption) != 0)) return TRUE;
        if (s.n-- > 0) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring Text(HWND control) {
  wchar_t text[1024] = {};
  SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

bool WaitFor(const std::function<bool()>& condition, int ms = 10000) {
  for (int waited = 0; waited < ms; waited += 50, Sleep(50)) {
    if (condition()) return true;
  }
  return condition();
}

class StateRestartTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(L"TMainForm", L"Skyloom"), nullptr) << "another Skyloom is running";
    dir = std::filesystem::temp_directory_path() / (L"skyloom-restart-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    program = (dir / L"skyloom.exe").wstring();
    std::filesystem::copy_file(testing::SkyloomExe(), program);
    std::ofstream(dir / L"Skyloom.ini");  // portable: the state lives here
    gallery = (dir / L"two.Gal").wstring();
    std::ofstream(std::filesystem::path(gallery), std::ios::binary) << "C:\\missing\\a.jpg\r\nC:\\missing\\b.png\r\n";
  }
  void TearDown() override {
    if (running.handle) running.Kill();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  // Answers once the start-up has finished, the restore with it: the window
  // exists as soon as it is made, and shows only after the restore (or,
  // for a start that stays hidden, once ready says so).
  HWND Launch(const std::wstring& arguments, const std::function<bool(HWND)>& ready = IsWindowVisible) {
    running = testing::StartProgram(program, arguments);
    HWND window = testing::WaitForMainWindow();
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(window && WaitFor([&] { return ready(window) != FALSE; })) << "the start-up did not end";
    return window;
  }
  // A second start: hands its arguments over and exits.
  void HandOver(const std::wstring& arguments) {
    EXPECT_EQ(testing::StartProgram(program, arguments).Wait(20000), 0u) << "the second start did not end";
  }
  void EndWithClose(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(running.Wait(20000), 0u);
  }
  TAppState Saved() const { return ReadStateText(ReadBytes(StateFile())); }
  std::filesystem::path StateFile() const { return dir / L"state.txt"; }
  HWND StatusBar(HWND window) const { return Child(window, STATUSCLASSNAMEW); }

  std::filesystem::path dir;
  std::wstring program, gallery;
  Process running;
};

// What the user makes: a list loaded and checked and the timer started (by
// the command line), the interval typed, "Random Image", the filter.
void MakeSettings(HWND window) {
  HWND interval = Child(window, L"Edit");
  EnableWindow(interval, TRUE);
  SendMessageW(interval, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"17"));
  EnableWindow(interval, FALSE);
  SendMessageW(Child(window, L"Button", L"Random Image"), BM_CLICK, 0, 0);
  HWND filter = Child(window, L"ComboBox");
  SendMessageW(filter, CB_SETCURSEL, 5, 0);
  SendMessageW(GetParent(filter), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(filter), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(filter));
}

void MoveTo(HWND window, POINT place) {
  SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ExpectWritten(const TAppState& state, POINT place, bool hidden) {
  EXPECT_EQ(state.images.entries, (std::vector<std::string>{"C:\\missing\\a.jpg", "C:\\missing\\b.png"}));
  EXPECT_EQ(state.images.checked, (std::vector<bool>{true, true}));
  EXPECT_EQ(state.intervalMinutes, 17);
  EXPECT_TRUE(state.random);
  EXPECT_EQ(state.filter, 5);
  EXPECT_TRUE(state.timerRunning);
  EXPECT_EQ(state.window.left, place.x);
  EXPECT_EQ(state.window.top, place.y);
  EXPECT_EQ(state.window.hidden, hidden);
}

// The restarted window as another program sees it.
void ExpectRestored(HWND window, POINT place, bool hidden, int entries = 2) {
  HWND interval = Child(window, L"Edit");
  EXPECT_EQ(Text(interval), L"17");
  EXPECT_FALSE(IsWindowEnabled(interval)) << "the timer runs again";
  EXPECT_EQ(SendMessageW(Child(window, L"Button", L"Random Image"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Child(window, L"ComboBox"), CB_GETCURSEL, 0, 0), 5);
  EXPECT_EQ(SendMessageW(Child(window, L"ListBox"), LB_GETCOUNT, 0, 0), entries);
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, place.x);
  EXPECT_EQ(r.top, place.y);
  EXPECT_EQ(IsWindowVisible(window) == FALSE, hidden);
}

// One run of starts: each restores what the one before left, moves the
// window on (a change that must be written), and ends another way.
TEST_F(StateRestartTest, EveryWayOfEndingKeepsTheStateForTheNextStart) {
  HWND window = Launch(L"\"" + gallery + L"\" /checkall /start");
  ASSERT_NE(window, nullptr);
  MakeSettings(window);
  POINT place{77, 66};
  MoveTo(window, place);
  HandOver(L"/exit");
  ASSERT_EQ(running.Wait(20000), 0u);
  ExpectWritten(Saved(), place, false);

  const std::pair<const char*, std::function<void(HWND)>> endings[] = {
      {"WM_CLOSE", [&](HWND w) { EndWithClose(w); }},
      {"WM_ENDSESSION",
       [&](HWND w) {
         EXPECT_TRUE(SendMessageW(w, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
         SendMessageW(w, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
         running.Kill();  // as the system ends the session's processes
       }},
      {"killed after the debounce",
       [&](HWND) {
         EXPECT_TRUE(WaitFor([&] {
           try {
             return Saved().window.left == place.x && Saved().window.hidden;
           } catch (const EStateFileError&) {
             return false;  // not there yet
           }
         }));
         running.Kill();
       }},
  };
  bool hidden = false;
  for (const auto& [name, end] : endings) {
    SCOPED_TRACE(name);
    const bool hide = &end == &endings[2].second;  // the last ending leaves the window hidden
    window = Launch(L"");
    ASSERT_NE(window, nullptr);
    ExpectRestored(window, place, hidden);
    place = {place.x + 10, place.y + 5};
    MoveTo(window, place);
    if (hide) ShowWindow(window, SW_HIDE);
    end(window);
    hidden = hide;
    ExpectWritten(Saved(), place, hidden);
  }

  // A list file replaces its own playlist only; a hidden window stays hidden.
  const auto one = dir / L"one.Gal";
  std::ofstream(one, std::ios::binary) << "C:\\only.jpg\r\n";
  window = Launch(L"\"" + one.wstring() + L"\"",
                  [](HWND w) { return SendMessageW(Child(w, L"ListBox"), LB_GETCOUNT, 0, 0) == 1; });
  ASSERT_NE(window, nullptr);
  ExpectRestored(window, place, true, 1);
  EndWithClose(window);
  EXPECT_EQ(Saved().images.entries, std::vector<std::string>{"C:\\only.jpg"});
  EXPECT_EQ(Saved().images.checked, std::vector<bool>{false}) << "loaded entries come unchecked";
}

TEST_F(StateRestartTest, ADamagedFileStartsCleanAndIsKept) {
  const std::string damaged("MZ\x90\0\3\0\0\0\4\0", 10);
  std::ofstream(StateFile(), std::ios::binary) << damaged;
  HWND window = Launch(L"");
  ASSERT_NE(window, nullptr);
  EXPECT_NE(Text(StatusBar(window)).find(L"kept the file as state.bad"), std::wstring::npos)
      << Text(StatusBar(window)).c_str();
  EXPECT_EQ(SendMessageW(Child(window, L"ListBox"), LB_GETCOUNT, 0, 0), 0);
  EndWithClose(window);
  EXPECT_EQ(ReadBytes(dir / L"state.bad"), damaged);
}

TEST_F(StateRestartTest, AStateFolderThatCannotBeWrittenKeepsTheProgramWorking) {
  // Root under Wine writes where file modes forbid it, so the temporary
  // file is barred by a folder of its name instead.
  std::filesystem::create_directory(dir / L"state.txt.saving");
  HWND window = Launch(L"\"" + gallery + L"\" /checkall /start");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitFor([&] { return Text(StatusBar(window)).starts_with(L"Settings cannot be saved: "); }))
      << Text(StatusBar(window)).c_str();
  SendMessageW(Child(window, L"Button", L"Random Image"), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(Child(window, L"Button", L"Random Image"), BM_GETCHECK, 0, 0), BST_CHECKED)
      << "the program goes on";
  EndWithClose(window);
  EXPECT_FALSE(std::filesystem::exists(StateFile()));
}

// A start with /fresh shows nothing of the saved state and, changing
// nothing, leaves the file as it was (written here by hand).
TEST_F(StateRestartTest, FreshStartsEmptyAndLeavesTheSavedState) {
  const std::string saved = "Skyloom state 1\nlist images 1\n1 C:\\a.jpg\nvalue random 1\nend\n";
  std::ofstream(StateFile(), std::ios::binary) << saved;
  HWND window = Launch(L"/fresh");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SendMessageW(Child(window, L"ListBox"), LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageW(Child(window, L"Button", L"Random Image"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EndWithClose(window);
  EXPECT_EQ(ReadBytes(StateFile()), saved);
}

}  // namespace
}  // namespace skyloom
