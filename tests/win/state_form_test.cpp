// The main window with a state folder: a saved state comes back (and a
// running timer resumes), a change is written only when there is one, a
// damaged file is kept aside, a failed write is said once and tried again,
// and "Start with Windows" writes and reads back the Run value.
#include <windows.h>

#include "app/start_with_windows.h"
#include "form_fixture.h"
#include "state/state_file.h"
#include "state/state_store.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

using testing::FormTest;

struct StateFormTest : FormTest {
  std::wstring Folder() const { return dir.wstring() + L"\\"; }
  std::unique_ptr<TStateStore> Store() const { return std::make_unique<TStateStore>(Folder()); }
  std::wstring StateFile() const { return Folder() + L"state.txt"; }
  // What the debounce would do two seconds later.
  static void WriteNow(TMainForm& window) {
    SendMessageW(window.Handle(), WM_TIMER, TStateRecorder::kTimerId, 0);
  }
};

// The suite's rgb24.bmp, 127 x 64 pixels.
std::wstring Picture() { return (std::filesystem::path(SKYLOOM_TESTDATA_DIR) / L"bmpsuite/g/rgb24.bmp").wstring(); }

// Written by hand: LF endings, which the program's own writer never uses.
std::string SavedState(const std::wstring& missingPicture) {
  return "Skyloom state 1\n"
         "value interval 17\nvalue random 1\nvalue filter 5\nvalue tab 1\nvalue timer 1\n"
         "value window 40 30 636 543\nvalue window.maximized 0\nvalue window.hidden 0\n"
         "list images 3\n1 " + Narrow(missingPicture) + "\n0 " + Narrow(Picture()) + "\n1 E:\\🌄 100%25.bmp\n"
         "value images.cursor 2\nvalue images.selected 1\n"
         "list videos 2\n0 C:\\a.avi\n1 C:\\Видео\\b.avi\nvalue videos.cursor 1\nvalue videos.selected 0\n"
         "value fit stretch\n"
         "end\n";
}

TEST_F(StateFormTest, ASavedStateComesBackAndTheTimerResumes) {
  const std::wstring missing = (dir / L"Берёза.jpg").wstring();
  WriteFile(L"state.txt", SavedState(missing));
  form->StartRemembering(Store(), true);
  EXPECT_TRUE(form->Visible());

  EXPECT_EQ(form->ImageListBox->Items(), (std::vector<std::wstring>{missing, Picture(), L"E:\\🌄 100%.bmp"}));
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(form->ImageListBox->ItemIndex(), 1);
  EXPECT_EQ(form->ImageCursor(), 2);
  EXPECT_EQ(form->VideoCheck->Items(), (std::vector<std::wstring>{L"C:\\a.avi", L"C:\\Видео\\b.avi"}));
  EXPECT_EQ(Checks(*form->VideoCheck), (std::vector<bool>{false, true}));
  EXPECT_EQ(form->VideoCheck->ItemIndex(), 0);
  EXPECT_EQ(form->VideoCursor, 1);
  EXPECT_EQ(form->timeredit->Value(), 17);
  EXPECT_TRUE(form->randomcheck->Checked());
  EXPECT_EQ(form->ResizeBox->Text(), L"Lanczos3");
  EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
  RECT place{};
  GetWindowRect(form->Handle(), &place);
  EXPECT_EQ(place.left, 40);
  EXPECT_EQ(place.top, 30);
  // The timer runs again with its full interval, as "Start Skyloom" starts it.
  EXPECT_TRUE(form->Timer1->Active());
  EXPECT_EQ(form->Timer1->Delay(), 17 * 60000);
  EXPECT_FALSE(form->timeredit->Enabled());
  EXPECT_TRUE(form->StopTimer1->Enabled);
  EXPECT_EQ(form->StatusBar1->Text(), L"");
  // The selected picture is in the snapshot again.
  EXPECT_EQ(form->ImageView1->GetBitmap().Width(), 127);
  EXPECT_EQ(form->ImageView1->GetBitmap().Height(), 64);

  // Nothing changed: the file stays as it was.
  WriteNow(*form);
  EXPECT_EQ(ReadFile(StateFile()), SavedState(missing));

  form->ToolButton7Click(nullptr);  // uncheck all
  WriteNow(*form);
  const TAppState written = ReadStateText(ReadFile(StateFile()));
  EXPECT_EQ(written.images.checked, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(written.images.entries.front(), Narrow(missing)) << "a missing file stays listed";
  EXPECT_EQ(written.intervalMinutes, 17);
  EXPECT_TRUE(written.timerRunning);
  EXPECT_EQ(StateText(written, "fit", ""), "stretch") << "a feature's value this build does not know survives";
}

TEST_F(StateFormTest, ChangesFromTheControlsAreWrittenAndAFreshStartWritesNothingUntilOne) {
  WriteFile(L"state.txt", SavedState(L"C:\\x.jpg"));
  form->StartRemembering(Store(), false);  // /fresh
  EXPECT_EQ(form->ImageListBox->Count(), 0);
  WriteNow(*form);
  EXPECT_EQ(ReadFile(StateFile()), SavedState(L"C:\\x.jpg"));

  // The user's own clicks: the check box, the spin edit's text, the page.
  SendMessageW(form->randomcheck->Handle(), BM_CLICK, 0, 0);
  SetWindowTextW(form->timeredit->Handle(), L"42");
  form->PageControl1->SetActivePageIndex(1);
  SendMessageW(form->PageControl1->Handle(), WM_KEYDOWN, VK_LEFT, 0);  // a page turned as the keyboard does
  WriteNow(*form);
  const TAppState written = ReadStateText(ReadFile(StateFile()));
  EXPECT_TRUE(written.random);
  EXPECT_EQ(written.intervalMinutes, 42);
  EXPECT_EQ(written.activeTab, 0);
}

// The store alone: each kind of damage is refused, said, and kept aside.
TEST(StateStore, ADamagedFileIsKeptAsideUnderANewNameEachTime) {
  const auto dir = std::filesystem::temp_directory_path() / (L"skyloom-store-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::create_directories(dir);
  const std::wstring folder = dir.wstring() + L"\\";
  const std::string damaged[] = {
      SavedState(L"C:\\x.jpg").substr(0, 120),  // cut short
      std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
      "Skyloom state 2\nvalue interval 5\nend\n",
      std::string("\xFF\xFES\0k\0y\0", 8),  // UTF-16
  };
  const wchar_t* copies[] = {L"state.bad", L"state.bad.1", L"state.bad.2", L"state.bad.3"};
  for (std::size_t i = 0; i < std::size(damaged); ++i) {
    std::ofstream(dir / L"state.txt", std::ios::binary) << damaged[i];
    const TLoadedState loaded = TStateStore(folder).Load();
    EXPECT_TRUE(loaded.state.images.entries.empty());
    EXPECT_EQ(loaded.state.intervalMinutes, 5);
    EXPECT_EQ(loaded.note.rfind(L"The saved settings ", 0), 0u) << Narrow(loaded.note);
    EXPECT_NE(loaded.note.find(std::wstring(L"kept the file as ") + copies[i]), std::wstring::npos)
        << Narrow(loaded.note);
    std::ifstream copy(dir / copies[i], std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), damaged[i]) << "an earlier copy is never written over";
    EXPECT_FALSE(std::filesystem::exists(dir / L"state.txt"));
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

TEST_F(StateFormTest, AFailedWriteIsSaidOnceAndTriedAgainAtTheNextChange) {
  std::filesystem::create_directory(dir / L"state.txt.saving");  // the temporary file cannot be made
  form->StartRemembering(Store(), true);
  form->AddCheckedImage(L"C:\\a.jpg");
  WriteNow(*form);
  EXPECT_EQ(form->StatusBar1->Text().rfind(L"Settings cannot be saved: Cannot create file ", 0), 0u)
      << Narrow(form->StatusBar1->Text());
  form->StatusBar1->SetText(L"other news");
  form->AddCheckedImage(L"C:\\b.jpg");
  WriteNow(*form);
  EXPECT_EQ(form->StatusBar1->Text(), L"other news") << "said once";
  EXPECT_FALSE(std::filesystem::exists(StateFile()));

  std::filesystem::remove(dir / L"state.txt.saving");
  form->ToolButton7Click(nullptr);
  WriteNow(*form);
  EXPECT_EQ(ReadStateText(ReadFile(StateFile())).images.entries, (std::vector<std::string>{"C:\\a.jpg", "C:\\b.jpg"}));
}

TEST_F(StateFormTest, StartWithWindowsWritesTheRunValueAndShowsWhatTheRegistryHolds) {
  static constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  auto runValue = []() -> std::wstring {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kRun, L"Skyloom", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
      return L"(none)";
    return value;
  };
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Skyloom");
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);

  ASSERT_NE(form->StartWithWindows1, nullptr);
  EXPECT_EQ(form->StartWithWindows1->Caption, L"Start with &Windows");
  form->TrayMenuOpens();
  EXPECT_FALSE(form->StartWithWindows1->Checked);
  form->StartWithWindows1->Click();
  EXPECT_EQ(runValue(), L"\"" + std::wstring(self) + L"\" /hide");
  form->TrayMenuOpens();
  EXPECT_TRUE(form->StartWithWindows1->Checked);

  // Removed behind the program's back: the next opening shows it.
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"Skyloom");
  form->TrayMenuOpens();
  EXPECT_FALSE(form->StartWithWindows1->Checked);
  SetStartWithWindows(self, true);
  form->StartWithWindows1->Click();
  EXPECT_EQ(runValue(), L"(none)");
}

}  // namespace
}  // namespace skyloom
