// The main window's layout, artwork, tray icon and menu, and the commands
// that hide, show and leave it.
#include <windows.h>
#include <commctrl.h>

#include "app/artwork.h"
#include "form_fixture.h"

namespace skyloom {
namespace {

using testing::FormTest;
using Strings = std::vector<std::wstring>;

SIZE WindowSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

// Where a control lies in its parent's client area.
RECT PlaceInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE PictureSize(HIMAGELIST images) {
  int width = 0, height = 0;
  ImageList_GetIconSize(images, &width, &height);
  return {width, height};
}

// The sizes that follow the DPI: client area, toolbar buttons, status bar,
// pictures of the toolbars and the menu, the font's height.
struct DpiSizes {
  SIZE client, button;
  int status, toolImage, menuImage, font;
};

DpiSizes SizesOf(const TMainForm& form) {
  const auto button = SendMessageW(form.ToolBar2->Handle(), TB_GETBUTTONSIZE, 0, 0);
  LOGFONTW font{};
  GetObjectW(form.Font(), sizeof font, &font);
  return {ClientSize(form.Handle()),
          {LOWORD(button), HIWORD(button)},
          WindowSize(form.StatusBar1->Handle()).cy,
          PictureSize(form.ImageList2.get()).cx,
          PictureSize(form.XPPopupMenu1->Images()).cx,
          static_cast<int>(font.lfHeight)};
}

void ChangeDpi(TMainForm& form, UINT dpi) {
  RECT suggested{};
  GetWindowRect(form.Handle(), &suggested);
  SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

std::vector<int> ButtonImages(const TToolBar& bar) {
  std::vector<int> images;
  for (int id : bar.ButtonIds()) {
    TBBUTTONINFOW info{sizeof info, TBIF_IMAGE};
    SendMessageW(bar.Handle(), TB_GETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
    images.push_back(info.iImage);
  }
  return images;
}

struct MenuRow {
  std::wstring caption;
  int image;
  bool enabled;
  bool operator==(const MenuRow&) const = default;
};

std::vector<MenuRow> Rows(const TMenuItem& parent) {
  std::vector<MenuRow> rows;
  for (const auto& item : parent.Items) rows.push_back({item->Caption, item->ImageIndex, item->Enabled});
  return rows;
}

TEST_F(FormTest, LayoutStylesAndToolbarPicturesAsStored) {
  const auto style = GetWindowLongPtrW(form->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_SYSMENU, 0) << "no system menu, so no close box";
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  EXPECT_NE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(WindowSize(form->StatusBar1->Handle()).cy, 19);

  for (TToolBar* bar : {form->ToolBar1.get(), form->ToolBar2.get()}) {
    const auto size = SendMessageW(bar->Handle(), TB_GETBUTTONSIZE, 0, 0);
    EXPECT_EQ(LOWORD(size), 39);
    EXPECT_EQ(HIWORD(size), 38);
  }
  EXPECT_EQ(ButtonImages(*form->ToolBar1), (std::vector<int>{0, 13, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(ButtonImages(*form->ToolBar2), (std::vector<int>{0, 1, 2, 3, 11, 12, 8, 9, 10}));
  EXPECT_EQ(ImageList_GetImageCount(form->ImageList2.get()), 14);
  int width = 0, height = 0;
  ImageList_GetIconSize(form->ImageList2.get(), &width, &height);
  EXPECT_EQ(width, 32);
  EXPECT_EQ(height, 32);

  const SIZE view = WindowSize(form->ImageView1->Handle());
  EXPECT_EQ(view.cx, 229);
  EXPECT_EQ(view.cy, 181);
  EXPECT_TRUE(form->ImageView1->Center());
  EXPECT_TRUE(form->ImageView1->AutoFit());
  EXPECT_EQ(form->ImageView1->BackgroundStyle(), TIEBackgroundStyle::iebsChessboard);
  EXPECT_EQ(form->ImageView1->SelectionBase, TIESelectionBase::iesbBitmap);
  const SIZE info = WindowSize(form->InfoPanel1->Handle());
  EXPECT_EQ(info.cx, 258);
  EXPECT_EQ(info.cy, 103);
  EXPECT_NE(form->InfoPanel1->Text().find("Quillbright"), std::string::npos);
  EXPECT_NE(form->InfoPanel1->Text().find("https://quillbright.example/"), std::string::npos);
}

// 150 %: every stated size times 1.5, the pictures from artwork drawn at 48
// and 24 pixels; back at 96 DPI the stated sizes again.
TEST_F(FormTest, AScaledDisplayScalesTheWindowAndItsPictures) {
  ChangeDpi(*form, 144);
  DpiSizes at144 = SizesOf(*form);
  EXPECT_NEAR(at144.client.cx, 945, 1);
  EXPECT_NEAR(at144.client.cy, 782, 1);
  EXPECT_EQ(at144.button.cx, 59);
  EXPECT_EQ(at144.button.cy, 57);
  EXPECT_EQ(at144.status, 29);
  EXPECT_EQ(at144.toolImage, 48);
  EXPECT_EQ(at144.menuImage, 24);
  EXPECT_EQ(at144.font, -16);  // 8 points
  EXPECT_EQ(WindowSize(form->ImageView1->Handle()).cx, 344);
  EXPECT_EQ(SendMessageW(form->ImageListBox->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
  SendMessageW(thumbForm->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0);  // the browser too
  EXPECT_EQ(WindowSize(thumbForm->GroupBox1->Handle()).cx, 246);
  EXPECT_EQ(WindowSize(thumbForm->StatusBar1->Handle()).cy, 29);

  ChangeDpi(*form, 96);
  DpiSizes at96 = SizesOf(*form);
  EXPECT_EQ(at96.client.cx, 630);
  EXPECT_EQ(at96.client.cy, 521);
  EXPECT_EQ(at96.button.cx, 39);
  EXPECT_EQ(at96.button.cy, 38);
  EXPECT_EQ(at96.status, 19);
  EXPECT_EQ(at96.toolImage, 32);
  EXPECT_EQ(at96.menuImage, 16);
  EXPECT_EQ(at96.font, -11);
  EXPECT_EQ(WindowSize(form->ImageView1->Handle()).cx, 229);
}

// Maximised, the pages fill the window above the status bar and the lists
// grow with them; restored, everything is back at the stated size.
TEST_F(FormTest, PagesAndListsFollowTheWindowSize) {
  form->Show();
  ShowWindow(form->Handle(), SW_MAXIMIZE);
  const SIZE client = ClientSize(form->Handle());
  ASSERT_GT(client.cx, 630);
  const RECT pages = PlaceInParent(form->PageControl1->Handle());
  EXPECT_EQ(pages.right - pages.left, client.cx);
  EXPECT_EQ(pages.bottom - pages.top, client.cy - 19);
  for (TCheckListBox* list : {form->ImageListBox.get(), form->VideoCheck.get()}) {
    const RECT place = PlaceInParent(list->Handle());
    const SIZE page = ClientSize(GetParent(list->Handle()));
    EXPECT_EQ(place.right, page.cx);
    EXPECT_EQ(place.bottom, page.cy);
    EXPECT_GT(page.cx, client.cx - 16);
    EXPECT_GT(page.cy, client.cy - 19 - 40);
  }
  EXPECT_EQ(PlaceInParent(form->ImageListBox->Handle()).left, 260);

  ShowWindow(form->Handle(), SW_RESTORE);
  EXPECT_EQ(ClientSize(form->Handle()).cx, 630);
  EXPECT_EQ(ClientSize(form->Handle()).cy, 521);
  EXPECT_EQ(WindowSize(form->PageControl1->Handle()).cy, 502);
  EXPECT_EQ(WindowSize(form->ImageListBox->Handle()).cx, 362);
  EXPECT_EQ(WindowSize(form->InfoPanel1->Handle()).cy, 103);
}

TEST_F(FormTest, ProgramIconHoldsItsThreeSizes) {
  for (int size : {16, 32, 48}) {
    const UniqueIcon icon = LoadProgramIcon(size);
    ASSERT_TRUE(icon) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
}

TEST_F(FormTest, TrayIconAndMenuAsStored) {
  EXPECT_EQ(form->TrayIcon1->Hint(), L"Skyloom Wallpaper Changer");
  EXPECT_TRUE(form->TrayIcon1->Added());
  TXPPopupMenu& menu = *form->XPPopupMenu1;
  EXPECT_EQ(form->TrayIcon1->PopupMenu(), &menu);
  EXPECT_EQ(menu.MenuTitle.VerticalText, L"  Skyloom");
  EXPECT_STREQ(menu.MenuTitle.VerticalFont.lfFaceName, L"Arial Narrow");
  EXPECT_EQ(menu.MenuTitle.VerticalFont.lfHeight, -19);
  EXPECT_EQ(menu.MenuTitle.VerticalFont.lfWeight, FW_BOLD);
  EXPECT_EQ(menu.MenuTitle.VerticalFontColor, 0x0000FFu);
  EXPECT_EQ(ImageList_GetImageCount(menu.Images()), 14);

  const std::vector<MenuRow> rows = Rows(menu.Items);
  EXPECT_EQ(rows, (std::vector<MenuRow>{{L"&Next WallPaper Image", 0, true},
                                        {L"&Prev WallPaper Image", 1, true},
                                        {L"-", -1, true},
                                        {L"Start Video Desktop", 2, true},
                                        {L"Stop Video Desktop", 3, true},
                                        {L"Next Video", 4, true},
                                        {L"Mute Video", -1, true},
                                        {L"-", -1, true},
                                        {L"Start WallPaper Timer", 5, true},
                                        {L"Stop WallPaper Timer", 6, false},
                                        {L"-", -1, true},
                                        {L"Pause for full-screen programs", -1, true},
                                        {L"Pause on battery", -1, true},
                                        {L"Pause images on battery too", -1, true},
                                        {L"-", -1, true},
                                        {L"Load + Save Gallery", 8, true},
                                        {L"C&hoose Images", 12, true},
                                        {L"Add &Folder...", 13, true},
                                        {L"&Open Image Dialog", 9, true},
                                        {L"Start with &Windows", -1, true},
                                        {L"-", -1, true},
                                        {L"&Close and Hide", 10, true},
                                        {L"&Exit Skyloom", 11, true}}));
  EXPECT_EQ(Rows(*menu.Items.Items[15]),
            (std::vector<MenuRow>{{L"&Load Gallery File", 7, true}, {L"&Save Gallery File", 8, true}}));
}

TEST_F(FormTest, TrayTimerItemsFollowTheTimerBothWays) {
  form->StartTimer1->Click();
  EXPECT_TRUE(form->Timer1->Active());
  EXPECT_FALSE(form->StartTimer1->Enabled);
  EXPECT_TRUE(form->StopTimer1->Enabled);
  EXPECT_FALSE(form->ToolBar1->ButtonEnabled(form->StartButton));
  EXPECT_FALSE(form->timeredit->Enabled());
  form->StopTimer1->Click();
  EXPECT_FALSE(form->Timer1->Active());
  EXPECT_TRUE(form->StartTimer1->Enabled);
  EXPECT_FALSE(form->StopTimer1->Enabled);
  EXPECT_TRUE(form->ToolBar1->ButtonEnabled(form->StartButton));
  EXPECT_TRUE(form->timeredit->Enabled());
}

TEST_F(FormTest, HideAndShowFromToolbarTrayAndCommandLine) {
  form->Show();
  form->Close1Click(nullptr);
  EXPECT_FALSE(form->Visible());
  form->TrayIcon1DblClick(nullptr);
  EXPECT_TRUE(form->Visible());
  ClickButton(*form->ToolBar2, L"Hide Skyloom");
  EXPECT_FALSE(form->Visible());
  form->OpenDialog1Click(nullptr);
  EXPECT_TRUE(form->Visible());
  form->RunCommandLine({L"/hide"});
  EXPECT_FALSE(form->Visible());
  form->RunCommandLine({L"/show"});
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(errors.empty());
}

// Alt+F4 or the task manager close the window without "Exit": the timer
// stops and the icon leaves the notification area all the same.
TEST_F(FormTest, ClosingTheWindowStopsTheTimerAndRemovesTheIcon) {
  auto calls = std::make_shared<std::vector<DWORD>>();  // the icon outlives this body
  form->TrayIcon1->ShellNotify = [calls](DWORD message, NOTIFYICONDATAW*) {
    calls->push_back(message);
    return TRUE;
  };
  form->ToolButton11Click(nullptr);
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form->Handle()));
  EXPECT_FALSE(form->Timer1->Active());
  EXPECT_EQ(*calls, std::vector<DWORD>{NIM_DELETE});
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "closing ends the program";
}

TEST_F(FormTest, ClickingAnEntryPreviewsItInTheView) {
  form->ImageListBox->Add((std::filesystem::path(SKYLOOM_TESTDATA_DIR) / "bmpsuite/g/rgb24.bmp").wstring());
  form->ImageListBox->Add((dir / L"missing.png").wstring());
  form->ImageListBox->SetItemIndex(0);
  form->ImageListBoxClick(nullptr);
  EXPECT_EQ(form->ImageView1->GetBitmap().Width(), 127);
  EXPECT_EQ(form->ImageView1->GetBitmap().Height(), 64);
  EXPECT_EQ(form->ProgressBar->Position(), 0);
  form->ImageListBox->SetItemIndex(1);
  form->ImageListBoxClick(nullptr);  // no such file: the preview stays
  EXPECT_EQ(form->ImageView1->GetBitmap().Width(), 127);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace skyloom
