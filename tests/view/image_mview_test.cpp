// The thumbnail grid on a real window under Wine: filled from a folder of
// real pictures, painted cell by cell into a memory surface, selected by
// click and keys, the frame's thickness with and without the focus, hover
// hit tests, the timed display, and a 1,000-entry scroll during which only
// visible and selected entries hold pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "image/image_mview.h"
#include "tests/widgets/dib_surface.h"
#include "tests/widgets/test_application.h"

namespace skyloom {
namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

std::string TestData(const std::string& relative) { return std::string(SKYLOOM_TESTDATA_DIR) + "/" + relative; }

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

TBitmap Solid(int width, int height, COLORREF color) {
  TBitmap picture(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = picture.ScanLine(y) + 3 * x;
      p[0] = GetBValue(color);
      p[1] = GetGValue(color);
      p[2] = GetRValue(color);
    }
  return picture;
}

class ImageMViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    host = std::make_unique<TForm>(L"TSkyloomGridTestHost", L"host", WS_POPUP, 0, 500, 500);
  }
  // No border: the client is the given size.
  void MakeGrid(int width, int height) {
    grid = std::make_unique<TImageMView>(host->Handle(), 0, 0, width, height, TIEBorderStyle::bsNone);
    grid->SetBackground(kGreen);
    grid->OnImageSelect = [this](void*, int index) { selects.push_back(index); };
  }
  std::unique_ptr<testing::TDibSurface> Render() {
    const RECT r = grid->ClientRect();
    auto surface = std::make_unique<testing::TDibSurface>(r.right, r.bottom);
    grid->PaintTo(surface->Dc());
    return surface;
  }
  void Click(int x, int y) {
    SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void Key(WPARAM key) { SendMessageW(grid->Handle(), WM_KEYDOWN, key, 0); }
  // Entries holding a picture must be exactly those in view plus the
  // selection.
  int VisibleOrSelected() const {
    int n = 0;
    for (int i = 0; i < grid->ImageCount(); ++i) n += grid->VisibilityOf(i) > 0 || i == grid->SelectedIndex();
    return n;
  }

  std::unique_ptr<TForm> host;
  std::unique_ptr<TImageMView> grid;
  std::vector<int> selects;
};

TEST_F(ImageMViewTest, FillsFromAFolderAndLeavesUndecodableCellsEmpty) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"skyloom_grid_folder";
  CreateDirectoryW(folder.c_str(), nullptr);
  const struct {
    const char* source;
    const wchar_t* name;
  } files[] = {
      {"libjpeg-turbo-testimages/testorig.jpg", L"a.jpg"},  // 227 x 149
      {"pngsuite/basn2c08.png", L"b.png"},                  // 32 x 32
      {"bmpsuite/g/pal8.bmp", L"c.bmp"},                    // 127 x 64
  };
  for (const auto& f : files) CopyFileW(Wide(TestData(f.source)).c_str(), (folder + L"\\" + f.name).c_str(), FALSE);
  const std::wstring broken = folder + L"\\d.jpg";
  HANDLE h = CreateFileW(broken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char junk[] = "\xFF\xD8\xFF\xE0 not really a picture";
  DWORD written = 0;
  WriteFile(h, junk, sizeof junk, &written, nullptr);
  CloseHandle(h);

  MakeGrid(316, 220);
  grid->SetGridWidth(-1);
  grid->SetStoreType(TStoreType::ietThumb);
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::wstring path = folder + L"\\" + found.cFileName;
    grid->SetImageFileName(grid->AppendImage(), std::string(path.begin(), path.end()));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  ASSERT_EQ(grid->ImageCount(), 4);
  EXPECT_EQ(grid->Columns(), 3);  // (316 - 4) div 104
  EXPECT_EQ(grid->SelectedIndex(), 3);  // the newest entry, without notice
  grid->SelectImage(-1);                // invalid: kept, but raised
  EXPECT_EQ(grid->SelectedIndex(), 3);
  EXPECT_EQ(selects, std::vector<int>{3});
  EXPECT_EQ(grid->PictureCount(), 0);  // nothing loads before painting

  auto s = Render();
  EXPECT_EQ(grid->PictureCount(), 3);
  for (int i = 0; i < 4; ++i) {
    const std::string name = grid->GetImageFileName(i);
    const int left = grid->GetImageX(i), top = grid->GetImageY(i);
    SCOPED_TRACE(name);
    const COLORREF centre = s->Pixel(left + 50, top + 50);
    if (name.ends_with("d.jpg")) {
      EXPECT_EQ(centre, kGreen);  // no picture: the whole cell in the background
      continue;
    }
    EXPECT_NE(centre, kGreen);
    // The JPEG thumbnail is 100 x 66 (149 x 100 / 227), placed at y = top + 17.
    if (name.ends_with("a.jpg")) {
      EXPECT_EQ(s->Pixel(left + 50, top + 16), kGreen);
      EXPECT_NE(s->Pixel(left + 50, top + 17), kGreen);
      EXPECT_NE(s->Pixel(left + 50, top + 82), kGreen);
      EXPECT_EQ(s->Pixel(left + 50, top + 83), kGreen);
    }
  }
  // Retried at every paint, still without a picture, and no error box.
  Render();
  EXPECT_EQ(grid->PictureCount(), 3);
  for (const auto& f : files) DeleteFileW((folder + L"\\" + f.name).c_str());
  DeleteFileW(broken.c_str());
  RemoveDirectoryW(folder.c_str());
}

TEST_F(ImageMViewTest, StoredPictureIsFittedIntoTheGapsAndInvalidIndicesAnswerNothing) {
  MakeGrid(316, 220);
  grid->SetGridWidth(-1);
  grid->AppendImage();
  grid->StoreImage(0, Solid(40, 20, kRed));
  // 40 x 20 in a 100 x 100 cell: 100 x 50 at y = top + 25.
  auto s = Render();
  EXPECT_EQ(s->Pixel(4 + 50, 4 + 24), kGreen);
  EXPECT_EQ(s->Pixel(4 + 50, 4 + 25), kRed);
  EXPECT_EQ(s->Pixel(4, 4 + 74), kRed);
  EXPECT_EQ(s->Pixel(4 + 99, 4 + 74), kRed);
  EXPECT_EQ(s->Pixel(4 + 50, 4 + 75), kGreen);
  // Gaps of 10 above and 30 below: a box of 60 high gives 100 x 50 at
  // y = top + 10 + 5.
  grid->SetUpperGap(10);
  grid->SetBottomGap(30);
  s = Render();
  EXPECT_EQ(s->Pixel(54, 4 + 14), kGreen);
  EXPECT_EQ(s->Pixel(54, 4 + 15), kRed);
  EXPECT_EQ(s->Pixel(54, 4 + 64), kRed);
  EXPECT_EQ(s->Pixel(54, 4 + 65), kGreen);

  EXPECT_EQ(grid->GetImageFileName(1), "");
  EXPECT_EQ(grid->GetImageFileName(-1), "");
  EXPECT_EQ(grid->GetImageID(5), -1);
  EXPECT_EQ(grid->GetImageDelayTime(5), -1);
  EXPECT_EQ(grid->GetImageX(5), -1);
  EXPECT_EQ(grid->VisibilityOf(5), 0);
  grid->SetImageFileName(5, "x.bmp");
  grid->StoreImage(5, Solid(4, 4, kBlue));
  EXPECT_EQ(grid->ImageCount(), 1);
  EXPECT_FALSE(grid->RemoveImage(1));
  // A file name replaces the identifier.
  grid->SetImageID(0, 7);
  grid->SetImageFileName(0, "x.bmp");
  EXPECT_EQ(grid->GetImageID(0), -1);
}

TEST_F(ImageMViewTest, ClickKeysAndHoverSelectAndHitTheCells) {
  MakeGrid(336, 220);  // three columns beside the vertical bar, two rows in view
  grid->SetGridWidth(-1);
  grid->SetScrollBars(TViewScrollBars::ssBoth);
  for (int i = 0; i < 10; ++i) grid->StoreImage(grid->AppendImage(), Solid(8, 8, kBlue));
  // Ten entries in four rows: the vertical bar appears and narrows the
  // client, which still holds three columns.
  EXPECT_NE(GetWindowLongW(grid->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(grid->Columns(), 3);
  selects.clear();
  Click(108 + 99, 108);  // last pixel column of entry 4
  EXPECT_EQ(grid->SelectedIndex(), 4);
  EXPECT_EQ(selects, std::vector<int>{4});
  Click(105, 50);  // the gap: nothing changes, nothing is raised
  EXPECT_EQ(grid->SelectedIndex(), 4);
  EXPECT_EQ(selects.size(), 1u);

  std::vector<int> hovered;
  grid->OnMouseMove = [&](void*, unsigned, int x, int y) { hovered.push_back(grid->HitTest(x, y)); };
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4 + 99));
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4 + 100));
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(212 + 99, 108));
  EXPECT_EQ(hovered, (std::vector<int>{0, -1, 5}));

  const int maxY = grid->MaxY();
  EXPECT_EQ(maxY, 420 - 220);
  Key(VK_DOWN);  // 7, in row 2: brought forwards into view
  EXPECT_EQ(grid->SelectedIndex(), 7);
  EXPECT_EQ(grid->ViewY(), 212 + 104 - 220);
  Key(VK_RIGHT);
  EXPECT_EQ(grid->SelectedIndex(), 8);
  Key(VK_NEXT);  // 14 lies outside: unchanged, but raised
  EXPECT_EQ(grid->SelectedIndex(), 8);
  EXPECT_EQ(selects.back(), 8);
  Key(VK_END);
  EXPECT_EQ(grid->SelectedIndex(), 9);
  EXPECT_EQ(grid->ViewY(), maxY);
  Key(VK_UP);
  EXPECT_EQ(grid->SelectedIndex(), 6);
  Key(VK_LEFT);
  EXPECT_EQ(grid->SelectedIndex(), 5);
  Key(VK_PRIOR);  // 5 - 6 outside
  EXPECT_EQ(grid->SelectedIndex(), 5);
  Key(VK_HOME);
  EXPECT_EQ(grid->SelectedIndex(), 0);
  EXPECT_EQ(grid->ViewY(), 0);
  EXPECT_EQ(SendMessageW(grid->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
  EXPECT_NE(GetClassLongPtrW(grid->Handle(), GCL_STYLE) & CS_DBLCLKS, 0u);  // double clicks arrive as such

  // Drag-to-scroll: the plane follows the pointer.
  grid->MouseInteract = mmiScroll | mmiSelect;
  SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 150));
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 90));
  EXPECT_EQ(grid->ViewY(), 60);
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(50, 90));
  EXPECT_EQ(grid->SelectedIndex(), 3);  // (50, 90) lies on entry 3 at the offset 60

  // Scroll-bar messages: a line is a pixel, a page a cell's height, the
  // thumb's release keeps the offset, the ends are 0 and the maximum.
  auto bar = [this](int code) {
    SendMessageW(grid->Handle(), WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    return grid->ViewY();
  };
  EXPECT_EQ(bar(SB_LINEDOWN), 61);
  EXPECT_EQ(bar(SB_PAGEDOWN), 161);
  EXPECT_EQ(bar(SB_THUMBPOSITION), 161);
  EXPECT_EQ(bar(SB_PAGEDOWN), maxY);
  EXPECT_EQ(bar(SB_TOP), 0);
  EXPECT_EQ(bar(SB_LINEUP), 0);
  EXPECT_EQ(bar(SB_BOTTOM), maxY);
}

TEST_F(ImageMViewTest, ADoubleClickPressIsAButtonDownAndTheWheelScrollsRows) {
  MakeGrid(316, 220);  // three columns
  grid->SetGridWidth(-1);
  grid->SetScrollBars(TViewScrollBars::ssVertical);
  grid->MouseInteract = mmiScroll | mmiSelect;
  for (int i = 0; i < 60; ++i) grid->AppendImage();  // 20 rows
  int doubleClicks = 0;
  grid->OnDblClick = [&](void*) { ++doubleClicks; };
  grid->ScrollTo(0, 60);
  // What the system sends for a double click; the second press lies a few
  // pixels from the first, within the double-click rectangle.
  SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 150));
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(50, 150));
  SendMessageW(grid->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(52, 147));
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(52, 147));
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(grid->ViewY(), 60);  // no drag took place
  EXPECT_EQ(GetCapture(), nullptr);

  // A notch is the system's count of lines, each a row of 100 + 4 pixels;
  // parts of a notch add up.
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  ASSERT_GT(lines, 0u);
  ASSERT_LT(lines, 10u);  // a notch or two stays inside the 1,880 pixels of the plane
  auto wheel = [this](int delta) {
    SendMessageW(grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(100, 100));
    return grid->ViewY();
  };
  grid->ScrollTo(0, 0);
  EXPECT_EQ(wheel(-WHEEL_DELTA), static_cast<int>(lines) * 104);
  EXPECT_EQ(wheel(-WHEEL_DELTA / 2), static_cast<int>(lines) * 104);
  EXPECT_EQ(wheel(-WHEEL_DELTA / 2), static_cast<int>(lines) * 208);
  EXPECT_EQ(wheel(WHEEL_DELTA), static_cast<int>(lines) * 104);
  EXPECT_EQ(wheel(100 * WHEEL_DELTA), 0);
  EXPECT_EQ(wheel(-100 * WHEEL_DELTA), grid->MaxY());
  // A scroll-bar line stays one pixel.
  SendMessageW(grid->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
  EXPECT_EQ(grid->ViewY(), grid->MaxY() - 1);
}

TEST_F(ImageMViewTest, ARefillUnderTheLockOpensAtTheTop) {
  // The browser's grid: four columns and 450 rows of pixels beside the bar.
  MakeGrid(460, 450);
  grid->SetGridWidth(-1);
  grid->SetScrollBars(TViewScrollBars::ssBoth);
  for (int i = 0; i < 200; ++i) grid->AppendImage();
  ASSERT_EQ(grid->Columns(), 4);
  grid->ScrollTo(0, 3000);
  ASSERT_EQ(grid->ViewY(), 3000);
  {
    const TImageMView::TUpdateLock lock(*grid);
    grid->ClearImages();
    for (int i = 0; i < 120; ++i) grid->AppendImage();
  }
  EXPECT_EQ(grid->ViewY(), 0);
  EXPECT_EQ(grid->VisibilityOf(0), 2);
  EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), 0);
}

TEST_F(ImageMViewTest, TheTimedDisplayStopsWhenItsPaintRemovedTheLastEntry) {
  MakeGrid(316, 220);
  grid->SetRemoveCorrupted(true);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring junk = std::wstring(temp) + L"skyloom_grid_junk.bmp";
  HANDLE h = CreateFileW(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, "BM not a picture", 16, &written, nullptr);
  CloseHandle(h);
  grid->SetImageFileName(grid->AppendImage(), std::string(junk.begin(), junk.end()));
  grid->SetPlaying(true);
  EXPECT_EQ(grid->ImageCount(), 0);
  EXPECT_FALSE(grid->Playing());
  EXPECT_EQ(grid->DisplayMode(), TMViewDisplayMode::mdGrid);
  DeleteFileW(junk.c_str());
}

TEST_F(ImageMViewTest, SelectionFrameIsWideOnlyWithTheFocus) {
  MakeGrid(316, 220);
  grid->SetGridWidth(-1);
  grid->SetSelectionColor(kRed);
  for (int i = 0; i < 3; ++i) grid->StoreImage(grid->AppendImage(), Solid(10, 10, kBlue));
  grid->SelectImage(1);  // cell at x 108 .. 207, y 4 .. 103
  auto s = Render();
  EXPECT_EQ(s->Pixel(107, 50), kRed);
  EXPECT_EQ(s->Pixel(106, 50), kGreen);
  EXPECT_EQ(s->Pixel(208, 50), kRed);
  EXPECT_EQ(s->Pixel(150, 104), kRed);
  EXPECT_EQ(s->Pixel(150, 105), kGreen);
  EXPECT_EQ(s->Pixel(3, 50), kGreen);  // the other cells have none

  ShowWindow(host->Handle(), SW_SHOW);
  SetForegroundWindow(host->Handle());
  SetFocus(grid->Handle());
  ASSERT_EQ(GetFocus(), grid->Handle());
  s = Render();
  for (int b = 1; b <= 3; ++b) {
    EXPECT_EQ(s->Pixel(108 - b, 50), kRed) << b;
    EXPECT_EQ(s->Pixel(207 + b, 50), kRed) << b;
    EXPECT_EQ(s->Pixel(150, 4 - b), kRed) << b;
    EXPECT_EQ(s->Pixel(150, 103 + b), kRed) << b;
  }
  EXPECT_EQ(s->Pixel(104, 50), kGreen);
  grid->SetSelectionWidth(2);
  s = Render();
  EXPECT_EQ(s->Pixel(105, 50), kGreen);
  EXPECT_EQ(s->Pixel(106, 50), kRed);
  grid->SetVisibleSelection(false);
  s = Render();
  EXPECT_EQ(s->Pixel(107, 50), kGreen);
}

TEST_F(ImageMViewTest, SingleRowTimedDisplayAndRemovalReselect) {
  MakeGrid(316, 220);
  grid->SetScrollBars(TViewScrollBars::ssBoth);
  for (int i = 0; i < 4; ++i) grid->StoreImage(grid->AppendImage(), Solid(10, 10, kBlue));
  // GridWidth 0: one row, wider than the client, so only the horizontal bar.
  EXPECT_EQ(grid->GetImageY(3), 4);
  EXPECT_NE(GetWindowLongW(grid->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
  EXPECT_EQ(GetWindowLongW(grid->Handle(), GWL_STYLE) & WS_VSCROLL, 0);

  grid->SelectImage(2);
  grid->LoopPlay = false;
  std::vector<int> drawn;
  grid->OnImageDraw = [&](void*, int index, int, int, HDC) { drawn.push_back(index); };
  grid->SetPlaying(true);
  EXPECT_EQ(grid->SelectedIndex(), -1);
  EXPECT_EQ(grid->DisplayMode(), TMViewDisplayMode::mdSingle);
  const DWORD start = GetTickCount();
  while (grid->Playing() && GetTickCount() - start < 5000) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(1);
  }
  ASSERT_FALSE(grid->Playing());
  EXPECT_EQ(std::vector<int>(drawn.begin(), drawn.begin() + 4), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(grid->DisplayMode(), TMViewDisplayMode::mdGrid);
  EXPECT_EQ(grid->SelectedIndex(), 2);

  EXPECT_TRUE(grid->RemoveImage(3));  // after the selection
  EXPECT_EQ(grid->SelectedIndex(), 2);
  EXPECT_TRUE(grid->RemoveImage(2));  // the selected last entry: the new last
  EXPECT_EQ(grid->SelectedIndex(), 1);
  EXPECT_NE(grid->GetBitmap(), nullptr);
  grid->ClearImages();
  EXPECT_EQ(grid->ImageCount(), 0);
  EXPECT_EQ(grid->SelectedIndex(), -1);
  EXPECT_EQ(grid->GetBitmap(), nullptr);
}

TEST_F(ImageMViewTest, BaseAnnouncesChangesAndSwitchesItsBorder) {
  MakeGrid(200, 150);
  EXPECT_EQ(grid->Background(), kGreen);
  int told = 0;
  const int owner = 0;
  grid->Subscribe([&](TIEView* view) { told += view == grid.get(); }, &owner);
  grid->AppendImage();
  EXPECT_GT(told, 0);
  grid->Unsubscribe(&owner);
  told = 0;
  grid->AppendImage();
  EXPECT_EQ(told, 0);
  EXPECT_EQ(grid->ViewBitmap(), nullptr);  // the new entry has no picture
  // A single border with the 3D look is a sunken edge of two pixels, else
  // a line of one.
  grid->SetBorderStyle(TIEBorderStyle::bsSingle);
  EXPECT_EQ(grid->ClientRect().right, 196);
  grid->SetCtl3D(false);
  EXPECT_EQ(grid->ClientRect().right, 198);
  grid->SetBorderStyle(TIEBorderStyle::bsNone);
  EXPECT_EQ(grid->ClientRect().right, 200);
}

TEST_F(ImageMViewTest, ThousandEntriesKeepOnlyVisibleAndSelectedPictures) {
  MakeGrid(316, 424);  // three columns, four rows in view
  grid->SetGridWidth(-1);
  grid->SetStoreType(TStoreType::ietThumb);
  const std::string picture = TestData("bmpsuite/g/pal8.bmp");
  for (int i = 0; i < 1000; ++i) grid->SetImageFileName(grid->AppendImage(), picture);
  grid->SelectImage(1);
  ASSERT_EQ(grid->MaxY(), 334 * 104 + 4 - 424);
  int steps = 0;
  for (int y = 0; y <= grid->MaxY(); y += 150, ++steps) {
    grid->ScrollTo(0, y);
    Render();
    ASSERT_EQ(grid->PictureCount(), VisibleOrSelected()) << "at " << y;
  }
  grid->ScrollTo(0, grid->MaxY());
  Render();
  EXPECT_EQ(grid->PictureCount(), VisibleOrSelected());
  EXPECT_GT(steps, 200);
  EXPECT_NE(grid->GetBitmap(), nullptr);  // the selection kept its picture
}

}  // namespace
}  // namespace skyloom
