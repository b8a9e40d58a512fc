// Pictures by folder and by drop on the real main window: folder rows from
// "Add Folder...", rotation through real folders, drops made as the shell
// makes them, history in random mode, what is remembered, and the browser's
// first folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cwctype>
#include <filesystem>

#include "tests/win/form_fixture.h"
#include "tests/win/tiny_pictures.h"
#include "toolkit/folder_dialog.h"
#include "toolkit/text_win.h"

namespace skyloom::testing {
namespace {

namespace fs = std::filesystem;

// The drop data the shell hands over: a DROPFILES header and the wide
// paths, each ended by a NUL, with one more NUL at the end.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths) {
  std::size_t chars = 1;
  for (const auto& path : paths) chars += path.size() + 1;
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(header + 1);
  for (const auto& path : paths) out = std::copy(path.begin(), path.end(), out) + 1;
  GlobalUnlock(memory);
  return memory;
}

class FolderTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    TestApplication().FolderDialogRunner = [this](TFolderDialog& dialog) {
      ++folderDialogs;
      if (!pickedFolder) return false;
      dialog.SetFolder(*pickedFolder);
      dialog.SetIncludeSubfolders(pickSubfolders);
      return true;
    };
  }
  void TearDown() override {
    TestApplication().FolderDialogRunner = nullptr;
    FormTest::TearDown();
  }

  std::wstring Put(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.wstring();
  }
  // A folder row is read off the window's thread; the tick goes on when
  // the reader's message arrives.
  void Settle() {
    for (int i = 0; i < 2000 && form->Rotation().waiting; ++i) {
      Sleep(5);
      TestApplication().ProcessMessages();
    }
  }
  std::string Next() {
    form->NextImage1Click(nullptr);
    Settle();
    return form->CurrentImageFile();
  }
  std::string Utf8(const fs::path& path) { return Narrow(path.wstring()); }
  void Drop(const std::vector<std::wstring>& paths) {
    PostMessageW(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    TestApplication().ProcessMessages();
  }

  std::optional<std::wstring> pickedFolder;
  bool pickSubfolders = true;
  int folderDialogs = 0;
};

TEST_F(FolderTest, AddFolderMakesACheckedRowThatRotationStepsThroughAndReadsAgain) {
  const fs::path pics = dir / L"pics";
  Put(pics / L"b.bmp", TinyBmp());
  Put(pics / L"a.bmp", TinyBmp());
  Put(pics / L"fake.bmp", "not a picture");
  Put(pics / L"inner" / L"c.bmp", TinyBmp());
  pickedFolder = pics.wstring();
  pickSubfolders = false;
  ClickButton(*form->ToolBar1, L"Add Folder...");
  EXPECT_EQ(folderDialogs, 1);
  ASSERT_EQ(form->ImageListBox->Count(), 1);
  EXPECT_EQ(form->ImageListBox->Strings(0), pics.wstring() + L"\\");
  EXPECT_TRUE(form->ImageListBox->Checked(0));
  form->AddCheckedImage((dir / L"single.bmp").wstring());
  Put(dir / L"single.bmp", TinyBmp());

  EXPECT_EQ(Next(), Utf8(pics / L"a.bmp"));
  EXPECT_EQ(form->ImageListBox->ItemIndex(), 0);
  EXPECT_EQ(Next(), Utf8(pics / L"b.bmp"));  // fake.bmp is passed over silently
  EXPECT_EQ(Next(), Utf8(dir / L"single.bmp"));
  fs::remove(pics / L"a.bmp");
  Put(pics / L"0.bmp", TinyBmp());
  EXPECT_EQ(Next(), Utf8(pics / L"0.bmp"));
  EXPECT_EQ(Next(), Utf8(pics / L"b.bmp"));
  form->PrevImage1Click(nullptr);
  Settle();
  EXPECT_EQ(form->CurrentImageFile(), Utf8(pics / L"0.bmp"));

  // With its subfolders, the inner picture follows.
  form->ImageListBox->Assign({pics.wstring() + L"\\**"});
  form->ImageListBox->SetChecked(0, true);
  EXPECT_EQ(Next(), Utf8(pics / L"0.bmp"));
  EXPECT_EQ(Next(), Utf8(pics / L"b.bmp"));
  EXPECT_EQ(Next(), Utf8(pics / L"inner" / L"c.bmp"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(FolderTest, AMissingFolderIsPassedOverWithANoteAndNoBox) {
  Put(dir / L"here.bmp", TinyBmp());
  form->AddFolder((dir / L"unplugged").wstring(), true);
  form->AddCheckedImage((dir / L"here.bmp").wstring());
  form->ImageListBox->SetItemIndex(0);
  form->ImageListBoxClick(nullptr);  // a folder row has nothing to preview
  form->Timer1Timer(nullptr);
  EXPECT_TRUE(form->Rotation().waiting);  // the window is not held while the folder is looked for
  Settle();
  EXPECT_EQ(form->CurrentImageFile(), Utf8(dir / L"here.bmp"));
  form->Timer1Timer(nullptr);
  Settle();
  EXPECT_EQ(form->StatusBar1->Text(), L"Folder not found: " + (dir / L"unplugged").wstring() + L"\\");
  EXPECT_TRUE(errors.empty());
}

TEST_F(FolderTest, DroppedFilesFoldersAndListsJoinTheirListsAndTheRestIsCounted) {
  const auto picture = Put(dir / L"p.bmp", TinyBmp());
  const auto text = Put(dir / L"notes.txt", "hello");
  const auto video = Put(dir / L"clip.avi", "RIFF");
  fs::create_directories(dir / L"folder");
  Drop({picture, text, (dir / L"folder").wstring(), video, (dir / L"gone.bmp").wstring()});
  EXPECT_EQ(form->ImageListBox->Items(), (std::vector<std::wstring>{picture, (dir / L"folder").wstring() + L"\\**"}));
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{true, true}));
  EXPECT_EQ(form->StatusBar1->Text(), L"3 dropped files were skipped: not a picture, folder or gallery file");

  form->PageControl1->SetActivePageIndex(1);
  Drop({video});
  EXPECT_EQ(form->VideoCheck->Items(), (std::vector<std::wstring>{video}));
  EXPECT_TRUE(form->VideoCheck->Checked(0));

  const auto gallery = Put(dir / L"list.Gal", "x.bmp\r\ny.bmp\r\n");
  const auto videos = Put(dir / L"list.vgl", "v.avi\r\n");
  Drop({gallery, videos});
  EXPECT_EQ(form->ImageListBox->Items(), (std::vector<std::wstring>{L"x.bmp", L"y.bmp"}));
  EXPECT_EQ(form->VideoCheck->Items(), (std::vector<std::wstring>{L"v.avi"}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(FolderTest, RandomPreviousGoesBackThroughWhatWasShownOrderPreviousByRow) {
  for (auto name : {L"1.bmp", L"2.bmp", L"3.bmp", L"4.bmp", L"5.bmp"})
    form->AddCheckedImage(Put(dir / name, TinyBmp()));
  form->randomcheck->SetChecked(true);
  std::vector<std::string> shown;
  for (int i = 0; i < 3; ++i) shown.push_back(Next());
  form->PrevImage1Click(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), shown[1]);
  form->PrevImage1Click(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), shown[0]);
  EXPECT_EQ(Narrow(form->ImageListBox->Strings(form->ImageListBox->ItemIndex())), shown[0]);
  EXPECT_EQ(Next(), shown[1]);
  ASSERT_EQ(form->Rotation().history.Entries().size(), 3u);
  form->randomcheck->SetChecked(false);
  form->ImageListBox->SetItemIndex(3);
  form->ImageListBoxDblClick(nullptr);
  form->PrevImage1Click(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), Utf8(dir / L"3.bmp"));
}

TEST_F(FolderTest, RoundHistoryAndBrowseFolderSurviveCollectAndRestore) {
  for (auto name : {L"1.bmp", L"2.bmp", L"3.bmp", L"4.bmp"})
    form->AddCheckedImage(Put(dir / name, TinyBmp()));
  form->randomcheck->SetChecked(true);
  Next();
  Next();
  form->BrowseFolder = dir.wstring();
  TAppState state;
  form->CollectFolderState(state);
  EXPECT_EQ(state.lists["history"].size(), 2u);
  EXPECT_EQ(StateText(state, "browse_folder", ""), Utf8(dir));

  TMainForm restored;
  restored.RestoreFolderState(state);
  const auto& before = form->Rotation();
  const auto& after = restored.Rotation();
  EXPECT_EQ(after.round.Remaining(), before.round.Remaining());
  EXPECT_EQ(after.round.Shown(), before.round.Shown());
  EXPECT_EQ(after.round.Last(), before.round.Last());
  ASSERT_EQ(after.history.Entries().size(), 2u);
  EXPECT_EQ(after.history.Entries()[1].path, before.history.Entries()[1].path);
  EXPECT_EQ(after.history.Entries()[1].time, before.history.Entries()[1].time);
  EXPECT_EQ(after.history.Position(), 1u);
  EXPECT_EQ(restored.BrowseFolder, dir.wstring());
}

// Closes the browser once it runs modally, noting what it showed.
std::vector<std::wstring> g_grid;
std::wstring g_folder;
Tthumbform* g_browser = nullptr;
void CALLBACK CloseBrowser(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_folder = g_browser->DirectoryListBox1->Directory();
  g_grid.clear();
  for (int i = 0; i < g_browser->ImageMView1->ImageCount(); ++i)
    g_grid.push_back(Widen(g_browser->ImageMView1->GetImageFileName(i)));
  PostMessageW(g_browser->Handle(), WM_CLOSE, 0, 0);
}

TEST_F(FolderTest, TheBrowserOpensAtTheRememberedFolderOrPicturesFilledAtOnce) {
  const auto picture = Put(dir / L"browse" / L"x.bmp", TinyBmp());
  form->BrowseFolder = (dir / L"browse").wstring();
  g_browser = thumbForm.get();
  SetTimer(nullptr, 0, 50, CloseBrowser);
  form->ToolButton1Click(nullptr);
  EXPECT_EQ(g_folder, (dir / L"browse").wstring());
  EXPECT_EQ(g_grid, (std::vector<std::wstring>{picture}));

  // A double-click on the current folder's own row reads it again.
  const auto added = Put(dir / L"browse" / L"y.bmp", TinyBmp());
  auto& list = *thumbForm->DirectoryListBox1;
  int current = -1;
  for (int i = 0; i < list.Count(); ++i)
    if (list.ItemPath(i) == list.Directory()) current = i;
  list.OpenItem(current);
  EXPECT_EQ(thumbForm->ImageMView1->ImageCount(), 2);

  // A first opening without a remembered folder goes to the pictures folder.
  wchar_t* path = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_CREATE, nullptr, &path)));
  const std::wstring pictures = path;
  CoTaskMemFree(path);
  form->BrowseFolder.clear();
  SetCurrentDirectoryW(L"Z:\\");  // where the directory list starts
  Tthumbform fresh(*form);
  g_browser = &fresh;
  SetTimer(nullptr, 0, 50, CloseBrowser);
  fresh.ShowModal();
  EXPECT_EQ(g_folder, pictures);
  EXPECT_EQ(form->BrowseFolder, pictures);
  EXPECT_EQ(fresh.DriveComboBox1->Drive(), std::towupper(pictures[0]));  // the drive shown follows
  SetCurrentDirectoryW(dir.c_str());
  EXPECT_TRUE(errors.empty());
  (void)added;
}

}  // namespace
}  // namespace skyloom::testing
