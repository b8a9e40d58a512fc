#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "form_fixture.h"
#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

using testing::FormTest;
using testing::TestApplication;
using Strings = std::vector<std::wstring>;

TEST_F(FormTest, WindowStandsAsStored) {
  EXPECT_EQ(form->Caption(), L"Skyloom");
  const RECT client = form->ClientRect();
  EXPECT_EQ(client.right, 630);
  EXPECT_EQ(client.bottom, 521);
  ASSERT_EQ(form->PageControl1->PageCount(), 2);
  EXPECT_EQ(form->PageControl1->PageCaption(0), L"Image Wallpaper");
  EXPECT_EQ(form->PageControl1->PageCaption(1), L"Video Wallpaper");
  EXPECT_EQ(form->ResizeBox->Count(), 7);
  EXPECT_EQ(form->ResizeBox->ItemIndex(), 3);
  EXPECT_EQ(form->ResizeBox->Text(), L"Bell");
  EXPECT_EQ(form->timeredit->Value(), 5);
  EXPECT_FALSE(form->randomcheck->Checked());
  EXPECT_EQ(form->randomcheck->Caption(), L"Random Image");
  EXPECT_EQ(form->ImageCursor(), 0);
  EXPECT_EQ(form->VideoCursor, 0);
  EXPECT_TRUE(form->AppDir().ends_with(L"\\"));
  EXPECT_TRUE(form->ToolBar1->ButtonEnabled(form->StartButton));
  EXPECT_FALSE(form->ToolBar1->ButtonEnabled(form->StopButton));

  Strings hints;
  for (int id : form->ToolBar1->ButtonIds()) hints.push_back(form->ToolBar1->Hint(id));
  EXPECT_EQ(hints, (Strings{L"Add Files to List", L"Add Folder...", L"Trash all List", L"Check all Files",
                            L"Uncheck All Files", L"Previous Image in list", L"Start Skyloom", L"Next Image In List",
                            L"Stop Skyloom", L"Open Gallery File", L"Save Gallery File", L"Hide Skyloom"}));
  hints.clear();
  for (int id : form->ToolBar2->ButtonIds()) hints.push_back(form->ToolBar2->Hint(id));
  EXPECT_EQ(hints, (Strings{L"Add Files to List", L"Trash all List", L"Check all Files", L"Uncheck All Files",
                            L"Start Video Wallpaper", L"Stop Video WallPaper", L"Open Video Gallery File",
                            L"Save Video Gallery File", L"Hide Skyloom"}));
  EXPECT_EQ(form->ImageListBox->PopupMenu.Caption(0), L"&Delete Image");
  EXPECT_EQ(form->VideoCheck->PopupMenu.Caption(0), L"&Delete Video");
}

TEST_F(FormTest, RotationStepsOverCheckedEntriesAndSelectsWithoutClick) {
  for (auto name : {L"a", L"b", L"c"}) form->AddCheckedImage(name);
  form->ImageListBox->SetChecked(1, false);
  int clicks = 0;
  form->ImageListBox->OnClick = [&](void*) { ++clicks; };

  form->NextImage1Click(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), "a");
  EXPECT_EQ(form->ImageListBox->ItemIndex(), 0);
  EXPECT_EQ(form->ImageCursor(), 1);
  form->NextImage1Click(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), "c");
  form->PrevImage1Click(nullptr);  // lands on b (unchecked) and moves on to c
  EXPECT_EQ(form->CurrentImageFile(), "c");
  form->NextImage1Click(nullptr);  // wraps
  EXPECT_EQ(form->CurrentImageFile(), "a");
  form->PrevImage1Click(nullptr);  // before the first: the last
  EXPECT_EQ(form->CurrentImageFile(), "c");

  form->ImageListBox->SetItemIndex(0);
  form->ImageListBoxDblClick(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), "a");
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, TicksOnEmptyOrUncheckedListsChangeNothing) {
  form->NextImage1Click(nullptr);
  form->PrevImage1Click(nullptr);
  form->ImageListBoxDblClick(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), "");
  form->ImageListBox->Add(L"x");
  form->ImageListBox->Add(L"y");
  form->NextImage1Click(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), "");
  EXPECT_EQ(form->ImageListBox->ItemIndex(), -1);
}

TEST_F(FormTest, CheckAndUncheckAllOnBothLists) {
  for (auto name : {L"a", L"b"}) {
    form->ImageListBox->Add(name);
    form->VideoCheck->Add(name);
  }
  form->ToolButton4Click(nullptr);
  form->ToolButton21Click(nullptr);
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{true, true}));
  EXPECT_EQ(Checks(*form->VideoCheck), (std::vector<bool>{true, true}));
  form->ToolButton7Click(nullptr);
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{false, false}));
  EXPECT_EQ(Checks(*form->VideoCheck), (std::vector<bool>{true, true}));
  form->ToolButton22Click(nullptr);
  EXPECT_EQ(Checks(*form->VideoCheck), (std::vector<bool>{false, false}));
}

TEST_F(FormTest, DeleteSelectsThePreviousEntryAndKeepsTheCursor) {
  for (auto name : {L"a", L"b", L"c"}) form->AddCheckedImage(name);
  form->ImageCursor() = 3;
  form->ImageListBox->SetItemIndex(2);
  form->DeleteImage1Click(nullptr);
  EXPECT_EQ(form->ImageListBox->Items(), (Strings{L"a", L"b"}));
  EXPECT_EQ(form->ImageListBox->ItemIndex(), 1);
  EXPECT_EQ(form->ImageCursor(), 3);
  form->ImageListBox->SetItemIndex(0);
  form->DeleteImage1Click(nullptr);
  EXPECT_EQ(form->ImageListBox->ItemIndex(), -1);  // nothing before the first
  form->NextImage1Click(nullptr);                  // cursor beyond the end starts at 0
  EXPECT_EQ(form->CurrentImageFile(), "b");

  form->VideoCheck->Add(L"v1");
  form->VideoCheck->Add(L"v2");
  form->VideoCheck->SetItemIndex(1);
  form->ToolButton19Click(nullptr);
  EXPECT_EQ(form->VideoCheck->Items(), Strings{L"v1"});
  form->VideoCheck->SetItemIndex(0);
  form->VideoCheck->PopupMenu.Click(0);
  EXPECT_EQ(form->VideoCheck->Count(), 0);
}

TEST_F(FormTest, DeletingWithNothingSelectedDoesNothing) {
  form->AddCheckedImage(L"a");
  form->VideoCheck->Add(L"v");
  ClickButton(*form->ToolBar1, L"Trash all List");
  ClickButton(*form->ToolBar2, L"Trash all List");
  form->ImageListBox->PopupMenu.Click(0);
  form->VideoCheck->PopupMenu.Click(0);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->ImageListBox->Items(), Strings{L"a"});
  EXPECT_EQ(form->VideoCheck->Items(), Strings{L"v"});
}

// A right-click selects the row under the mouse, as in every list, and the
// context menu's command then acts on that row.
TEST_F(FormTest, TheContextMenuDeletesTheRowRightClicked) {
  for (auto name : {L"a", L"b", L"c"}) form->AddCheckedImage(name);
  form->ImageListBox->SetItemIndex(0);
  int clicks = 0;
  form->ImageListBox->OnClick = [&](void*) { ++clicks; };
  HWND list = form->ImageListBox->Handle();
  RECT row{};
  SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(row.left + 40, row.top + 2));
  EXPECT_EQ(form->ImageListBox->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);  // a change of selection by the user, so the preview follows
  form->ImageListBox->PopupMenu.Click(0);
  EXPECT_EQ(form->ImageListBox->Items(), (Strings{L"a", L"b"}));
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(row.left + 40, row.bottom + 200));  // below the rows
  EXPECT_EQ(form->ImageListBox->ItemIndex(), 1);
}

TEST_F(FormTest, AFailingHandlerIsReportedAndTheProgramGoesOn) {
  form->AddCheckedImage(L"a");
  answers = {(dir / L"missing.Gal").wstring()};
  ClickButton(*form->ToolBar1, L"Open Gallery File");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(form->ImageListBox->Count(), 1);
  ClickButton(*form->ToolBar1, L"Next Image In List");
  EXPECT_EQ(form->CurrentImageFile(), "a");
  EXPECT_THROW(form->ImageListBox->Strings(5), EListError);
  try {
    throw std::bad_alloc();
  } catch (...) {
    TestApplication().HandleCurrentException();
  }
  EXPECT_EQ(errors.back(), L"Out of memory.");
}

// What a new user meets: a freshly loaded gallery has nothing checked, and
// listed files can be gone. The status bar says why nothing changed, and a
// line that no longer applies goes.
TEST_F(FormTest, TheStatusBarSaysWhyNothingChangedAndForgetsOldNews) {
  const std::wstring hint = L"No picture is checked: use Check all Files";
  answers = {WriteFile(L"two.Gal", "gone-1.jpg\r\ngone-2.jpg\r\n")};
  form->LoadGallery1Click(nullptr);
  ClickButton(*form->ToolBar1, L"Next Image In List");
  EXPECT_EQ(form->StatusBar1->Text(), hint);
  form->StatusBar1->SetText(L"");
  ClickButton(*form->ToolBar1, L"Start Skyloom");
  EXPECT_EQ(form->StatusBar1->Text(), hint);
  EXPECT_TRUE(form->Timer1->Active());  // the user may still check entries
  ClickButton(*form->ToolBar1, L"Stop Skyloom");
  ClickButton(*form->ToolBar1, L"Check all Files");
  EXPECT_EQ(form->StatusBar1->Text(), L"");
  ClickButton(*form->ToolBar1, L"Next Image In List");
  EXPECT_EQ(form->StatusBar1->Text(), L"File not found: gone-1.jpg");
  form->ImageListBox->SetItemIndex(1);
  form->ImageListBoxClick(nullptr);
  EXPECT_EQ(form->StatusBar1->Text(), L"File not found: gone-2.jpg");

  // An old failure does not outlive a new list, nor show on the other page.
  form->AddCheckedImage(WriteFile(L"broken.jpg", "not a picture"));
  form->ImageListBox->SetItemIndex(2);
  form->ImageListBoxDblClick(nullptr);
  ASSERT_EQ(form->StatusBar1->Text().rfind(L"Could not read the picture", 0), 0u);
  answers = {WriteFile(L"one.Gal", "x\r\n")};
  form->LoadGallery1Click(nullptr);
  EXPECT_EQ(form->StatusBar1->Text(), L"");
  form->ImageListBox->Add(L"y");
  form->NextImage1Click(nullptr);
  ASSERT_EQ(form->StatusBar1->Text(), hint);
  form->PageControl1->SetActivePageIndex(1);
  EXPECT_EQ(form->StatusBar1->Text(), L"");
  EXPECT_TRUE(errors.empty());
}

// Every text the status bar is given, in order.
LRESULT CALLBACK RecordStatus(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR texts) {
  if (message == SB_SETTEXTW)
    reinterpret_cast<Strings*>(texts)->push_back(reinterpret_cast<const wchar_t*>(lParam));
  return DefSubclassProc(window, message, wParam, lParam);
}

// Loading a long gallery: the status bar follows the load and is cleared
// at its end, every entry arrives, and rows beyond the first 65,536 answer
// the mouse as the first ones do.
TEST_F(FormTest, ALongGalleryLoadsWholeShowingProgressAndItsLastRowsAnswerTheMouse) {
  constexpr int kCount = 250000;
  std::string text;
  for (int i = 0; i < kCount; ++i) text += "C:\\p\\" + std::to_string(i) + ".jpg\r\n";
  answers = {WriteFile(L"long.Gal", text)};
  Strings status;
  SetWindowSubclass(form->StatusBar1->Handle(), RecordStatus, 1, reinterpret_cast<DWORD_PTR>(&status));
  form->LoadGallery1Click(nullptr);
  RemoveWindowSubclass(form->StatusBar1->Handle(), RecordStatus, 1);
  EXPECT_EQ(status,
            (Strings{L"Loading the list: 0 %", L"Loading the list: 40 %", L"Loading the list: 80 %", L""}));
  ASSERT_EQ(form->ImageListBox->Count(), kCount);
  EXPECT_EQ(form->ImageListBox->Strings(kCount - 1), L"C:\\p\\249999.jpg");

  form->ImageListBox->SetItemIndex(kCount - 1);  // scrolled into view
  HWND list = form->ImageListBox->Handle();
  RECT row{};
  SendMessageW(list, LB_GETITEMRECT, kCount - 1, reinterpret_cast<LPARAM>(&row));
  const LPARAM box = MAKELPARAM(row.left + 3, row.top + 3);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, box);
  SendMessageW(list, WM_LBUTTONUP, 0, box);
  EXPECT_TRUE(form->ImageListBox->Checked(kCount - 1));
  EXPECT_FALSE(form->ImageListBox->Checked((kCount - 1) & 0xFFFF));
  EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, AddingAVideoRunsItsDialogAndChecksTheNewEntry) {
  answers = {L"C:\\clips\\sea.avi", L"C:\\clips\\sea.avi"};
  form->ToolButton18Click(nullptr);
  form->ToolButton18Click(nullptr);  // the same path again: a second entry
  form->ToolButton18Click(nullptr);  // cancelled
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_EQ(dialogs[0].kind, TFileDialog::Kind::Open);
  EXPECT_EQ(dialogs[0].filter, L"Avi Files|*.avi|Mpeg Files|*.mpg|All Files|*.*");
  EXPECT_EQ(dialogs[0].defaultExt, L".avi");
  EXPECT_EQ(form->VideoCheck->Items(), (Strings{L"C:\\clips\\sea.avi", L"C:\\clips\\sea.avi"}));
  EXPECT_EQ(Checks(*form->VideoCheck), (std::vector<bool>{true, true}));
  form->AddCheckedImage(L"p.jpg");
  form->AddCheckedImage(L"p.jpg");
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{true, true}));
}

TEST_F(FormTest, GalleryFilesSaveByteExactAndLoadUnchecked) {
  const auto gal = (dir / L"mine.Gal").wstring();
  form->AddCheckedImage(L"a");
  form->AddCheckedImage(L"b");
  answers = {gal};
  form->SaveGallery1Click(nullptr);
  EXPECT_EQ(ReadFile(gal), "a\r\nb\r\n");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].kind, TFileDialog::Kind::Save);
  EXPECT_EQ(dialogs[0].filter, L"Gallery File|*.Gal|All Files|*.*");
  EXPECT_EQ(dialogs[0].defaultExt, L".Gal");

  form->ImageCursor() = 2;
  form->ImageListBox->SetItemIndex(1);
  answers = {WriteFile(L"three.Gal", "x\n\ny")};
  form->LoadGallery1Click(nullptr);
  EXPECT_EQ(form->ImageListBox->Items(), (Strings{L"x", L"", L"y"}));
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(form->ImageListBox->ItemIndex(), -1);
  EXPECT_EQ(form->ImageCursor(), 0);

  answers = {WriteFile(L"empty.Gal", "")};
  form->LoadGallery1Click(nullptr);
  EXPECT_EQ(form->ImageListBox->Count(), 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, VideoGalleryFilesUseTheirOwnDialogsAndCursor) {
  const auto vgl = (dir / L"clips.vgl").wstring();
  form->VideoCheck->Add(L"C:\\v\\one.avi");
  answers = {vgl};
  form->ToolButton30Click(nullptr);
  EXPECT_EQ(ReadFile(vgl), "C:\\v\\one.avi\r\n");
  form->VideoCursor = 4;
  answers = {vgl};
  form->ToolButton29Click(nullptr);
  EXPECT_EQ(form->VideoCheck->Items(), Strings{L"C:\\v\\one.avi"});
  EXPECT_EQ(form->VideoCursor, 0);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[1].kind, TFileDialog::Kind::Open);
  EXPECT_EQ(dialogs[1].filter, L"Video Gallery Files|*.vgl|All Files|*.*");
  EXPECT_EQ(dialogs[1].defaultExt, L".vgl");
}

TEST_F(FormTest, ListFileErrorsLeaveListAndCursorAlone) {
  form->AddCheckedImage(L"keep");
  form->ImageCursor() = 7;
  const auto missing = (dir / L"missing.Gal").wstring();
  answers = {missing};
  ClickButton(*form->ToolBar1, L"Open Gallery File");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], L"Cannot open file " + missing + L".");
  EXPECT_EQ(form->ImageListBox->Items(), Strings{L"keep"});
  EXPECT_EQ(form->ImageCursor(), 7);

  const auto uncreatable = (dir / L"no-such-dir" / L"x.Gal").wstring();
  answers = {uncreatable};
  ClickButton(*form->ToolBar1, L"Save Gallery File");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1], L"Cannot create file " + uncreatable + L".");

  answers = {};
  ClickButton(*form->ToolBar1, L"Open Gallery File");  // cancelled
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_EQ(form->ImageListBox->Items(), Strings{L"keep"});
}

TEST_F(FormTest, AnEntryTheCodePageCannotHoldIsNotSavedSilentlyCorrupted) {
  const auto gal = (dir / L"old.Gal").wstring();
  WriteFile(L"old.Gal", "previous\r\n");
  form->AddCheckedImage(L"C:\\pics\\\x65E5\x672C.jpg");  // CJK, outside the Western code page
  answers = {gal};
  ClickButton(*form->ToolBar1, L"Save Gallery File");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(L"C:\\pics\\\x65E5\x672C.jpg"), std::wstring::npos);
  EXPECT_EQ(ReadFile(gal), "previous\r\n");  // the old file is untouched
}

TEST_F(FormTest, CommandLineLoadsListsAndRunsSwitchesInOrder) {
  const auto gal = WriteFile(L"cl.Gal", "one\r\ntwo\r\n");
  const auto vgl = WriteFile(L"cl.vgl", "clip.avi\r\n");
  form->RunCommandLine({gal, vgl, L"/hide"});
  EXPECT_EQ(form->ImageListBox->Items(), (Strings{L"one", L"two"}));
  EXPECT_EQ(form->VideoCheck->Items(), Strings{L"clip.avi"});
  EXPECT_FALSE(form->Visible());
  form->RunCommandLine({L"/show"});
  EXPECT_TRUE(form->Visible());

  form->ImageListBox->SetChecked(1, true);
  form->RunCommandLine({L"/next"});
  EXPECT_EQ(form->CurrentImageFile(), "two");
  form->RunCommandLine({L"/prev"});
  EXPECT_EQ(form->CurrentImageFile(), "two");
}

TEST_F(FormTest, AnUnknownSwitchIsReportedAndNothingOfTheLineRuns) {
  const auto gal = WriteFile(L"u.Gal", "one\r\n");
  const auto text = std::wstring(gal) + L'\0' + L"/frobnicate" + L'\0';
  COPYDATASTRUCT data{TMainForm::kCommandLineData, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(text.data())};
  EXPECT_EQ(SendMessageW(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  EXPECT_TRUE(errors.empty());  // runs from the queue, after the sender is released
  TestApplication().ProcessMessages();
  ASSERT_EQ(errors, Strings{L"Unknown switch /frobnicate."});
  EXPECT_EQ(form->ImageListBox->Count(), 0);
}

TEST_F(FormTest, HandedOverCommandLineRunsFromTheQueue) {
  const auto gal = WriteFile(L"h.Gal", "one\r\ntwo\r\nthree\r\n");
  const auto text = std::wstring(gal) + L'\0';
  COPYDATASTRUCT data{TMainForm::kCommandLineData, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(text.data())};
  SendMessageW(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  TestApplication().ProcessMessages();
  EXPECT_EQ(form->ImageListBox->Count(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, StartAndStopSwitchTheTimerAndTheControls) {
  form->timeredit->SetValue(1);
  ClickButton(*form->ToolBar1, L"Start Skyloom");
  EXPECT_TRUE(form->Timer1->Active());
  EXPECT_EQ(form->Timer1->Delay(), 60000);
  EXPECT_FALSE(form->timeredit->Enabled());
  EXPECT_FALSE(form->ToolBar1->ButtonEnabled(form->StartButton));
  EXPECT_TRUE(form->ToolBar1->ButtonEnabled(form->StopButton));
  ClickButton(*form->ToolBar1, L"Stop Skyloom");
  EXPECT_FALSE(form->Timer1->Active());
  EXPECT_TRUE(form->timeredit->Enabled());
  EXPECT_TRUE(form->ToolBar1->ButtonEnabled(form->StartButton));
  EXPECT_FALSE(form->ToolBar1->ButtonEnabled(form->StopButton));

  form->timeredit->SetValue(2000);
  form->RunCommandLine({L"/start"});
  EXPECT_EQ(form->Timer1->Delay(), 2000 * 60000);
  form->RunCommandLine({L"/stop"});
  EXPECT_FALSE(form->Timer1->Active());

  form->timeredit->SetCaption(L"5000");  // typed, never left the edit
  form->ToolButton11Click(nullptr);
  EXPECT_EQ(form->Timer1->Delay(), 2000 * 60000);
  EXPECT_EQ(form->timeredit->Caption(), L"2000");
  form->ToolButton3Click(nullptr);
  form->timeredit->SetCaption(L"soon");
  form->ToolButton11Click(nullptr);
  EXPECT_EQ(form->Timer1->Delay(), 60000);
  form->ToolButton3Click(nullptr);
  EXPECT_TRUE(errors.empty());
}

// A theme value of the wrong type in the registry is named once and the
// window still comes up.
TEST_F(FormTest, AThemeValueOfTheWrongTypeIsReportedOnceAndTheProgramStarts) {
  thumbForm.reset();
  form.reset();
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ | KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  wchar_t old[64] = L"0";
  DWORD size = sizeof old;
  const bool had = RegQueryValueExW(key, L"WallpaperStyle", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
                   ERROR_SUCCESS;
  const DWORD number = 2;
  RegSetValueExW(key, L"WallpaperStyle", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  try {
    form = std::make_unique<TMainForm>();
  } catch (...) {
  }
  if (had)
    RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(old),
                   static_cast<DWORD>((wcslen(old) + 1) * sizeof(wchar_t)));
  else
    RegDeleteValueW(key, L"WallpaperStyle");
  RegCloseKey(key);
  ASSERT_TRUE(form) << "the program did not start";
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(L"\"WallpaperStyle\" of HKEY_CURRENT_USER\\Control Panel\\Desktop"), std::wstring::npos);
}

TEST(ErrorBoxText, MessagesGainAPeriodOnlyWhenTheyNeedOne) {
  auto& app = testing::TestApplication();
  std::vector<std::wstring> shown;
  app.ErrorReporter = [&](const std::wstring& text) { shown.push_back(text); };
  app.ShowException(EError("Cannot open file C:\\x"));
  app.ShowException(EError("Stop!"));
  app.ShowException(EError("Done."));
  app.ErrorReporter = nullptr;
  EXPECT_EQ(shown, (Strings{L"Cannot open file C:\\x.", L"Stop!", L"Done."}));
}

TEST(FilterBuffer, PipesBecomeNulsWithADoubleNulAtTheEnd) {
  EXPECT_EQ(TFileDialog::FilterBuffer(L"Gallery File|*.Gal|All Files|*.*"),
            std::wstring(L"Gallery File\0*.Gal\0All Files\0*.*\0\0", 34));
}

}  // namespace
}  // namespace skyloom
