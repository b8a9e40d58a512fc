// The preview control on a real window under Wine, rendered into a memory
// surface: fitted zoom, centring, scroll limits, background patterns, and
// when the zoom filter takes part.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "image/image_io.h"
#include "image/image_proc.h"
#include "image/image_view.h"
#include "image/view_gdi.h"
#include "tests/widgets/dib_surface.h"
#include "tests/widgets/test_application.h"

namespace skyloom {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

void Fill(TBitmap& picture, COLORREF color) {
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      std::uint8_t* p = picture.ScanLine(y) + 3 * x;
      p[0] = GetBValue(color);
      p[1] = GetGValue(color);
      p[2] = GetRValue(color);
    }
}

// Columns alternate black and white, starting black.
void FillStripes(TBitmap& picture) {
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) std::memset(picture.ScanLine(y) + 3 * x, x % 2 ? 255 : 0, 3);
}

bool IsGrey(COLORREF c) {
  const int r = GetRValue(c);
  return r > 8 && r < 247;
}

class ImageViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    host = std::make_unique<TForm>(L"TSkyloomViewTestHost", L"host", WS_POPUP, 0, 400, 300);
  }
  // The snapshot box of the main window: 229 x 181.
  void MakeView(TIEBorderStyle border = TIEBorderStyle::bsNone) {
    view = std::make_unique<TImageView>(host->Handle(), 0, 0, 229, 181, border);
    view->OnViewChange = [this](void*, int change) { changes.push_back(change); };
  }
  void Load(int width, int height, COLORREF color) {
    view->GetBitmap().Allocate(width, height, TPixelFormat::pf24bit);
    Fill(view->GetBitmap(), color);
    view->Update();
  }
  std::unique_ptr<testing::TDibSurface> Render() {
    const RECT r = view->ClientRect();
    auto surface = std::make_unique<testing::TDibSurface>(r.right, r.bottom);
    view->PaintTo(surface->Dc());
    return surface;
  }

  std::unique_ptr<TForm> host;
  std::unique_ptr<TImageView> view;
  std::vector<int> changes;
};

TEST_F(ImageViewTest, AutoFitUsesOuterSizeAndCentres) {
  MakeView();
  view->SetCenter(true);
  view->SetAutoFit(true);
  view->SetBackground(RGB(0, 255, 0));
  Load(1024, 768, kRed);
  // 181 / 7.68 = 23.57 -> 24, 229 / 10.24 = 22.36 -> 22: the smaller wins.
  EXPECT_EQ(view->Zoom(), 22);
  EXPECT_EQ(view->ZoomedWidth(), 225);
  EXPECT_EQ(view->ZoomedHeight(), 169);
  EXPECT_EQ(view->OffsetX(), 2);
  EXPECT_EQ(view->OffsetY(), 6);
  EXPECT_EQ(changes.back(), kViewZoomed);
  auto s = Render();
  EXPECT_EQ(s->Pixel(1, 50), RGB(0, 255, 0));
  EXPECT_EQ(s->Pixel(2, 6), kRed);
  EXPECT_EQ(s->Pixel(226, 174), kRed);
  EXPECT_EQ(s->Pixel(227, 174), RGB(0, 255, 0));
  EXPECT_EQ(s->Pixel(100, 175), RGB(0, 255, 0));

  // Small pictures are enlarged, and the fit is to the outer size: with a
  // sunken edge the client is 225 x 177, which would give 225.
  view = std::make_unique<TImageView>(host->Handle(), 0, 0, 229, 181, TIEBorderStyle::bsSingle);
  view->SetAutoFit(true);
  Load(100, 50, kRed);
  EXPECT_EQ(view->Zoom(), 229);
}

TEST_F(ImageViewTest, TopLeftPictureLeavesBackgroundRightAndBelow) {
  MakeView();
  view->SetBackground(kBlue);
  Load(50, 40, kRed);
  EXPECT_EQ(view->OffsetX(), 0);
  EXPECT_EQ(view->OffsetY(), 0);
  auto s = Render();
  EXPECT_EQ(s->Pixel(0, 0), kRed);
  EXPECT_EQ(s->Pixel(49, 39), kRed);
  EXPECT_EQ(s->Pixel(50, 0), kBlue);
  EXPECT_EQ(s->Pixel(0, 40), kBlue);
  EXPECT_EQ(s->Pixel(228, 180), kBlue);
}

TEST_F(ImageViewTest, ScrollToClampsAndShowsTheScrolledPart) {
  MakeView();
  view->GetBitmap().Allocate(100, 100, TPixelFormat::pf24bit);
  Fill(view->GetBitmap(), kRed);
  view->GetBitmap().ScanLine(99)[3 * 99 + 0] = 255;  // bottom-right pixel blue
  view->GetBitmap().ScanLine(99)[3 * 99 + 2] = 0;
  view->SetZoom(400);
  EXPECT_EQ(changes.back(), kViewZoomed);
  // 400 x 400 shown in 229 x 181.
  EXPECT_EQ(view->MaxX(), 171);
  EXPECT_EQ(view->MaxY(), 219);
  changes.clear();
  view->ScrollTo(-5, 1000);
  EXPECT_EQ(view->ViewX(), 0);
  EXPECT_EQ(view->ViewY(), 219);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], kViewScrolled);
  view->ScrollTo(5000, -1);
  EXPECT_EQ(view->ViewX(), 171);
  EXPECT_EQ(view->ViewY(), 0);
  view->ScrollTo(171, 219);
  auto s = Render();
  EXPECT_EQ(s->Pixel(228, 180), kBlue);
  EXPECT_EQ(s->Pixel(224, 176), kRed);

  // A smaller zoom pulls the offsets back inside the new limits.
  changes.clear();
  view->SetZoom(200);
  EXPECT_EQ(view->ViewX(), 0);
  EXPECT_EQ(view->ViewY(), 19);
  EXPECT_EQ(changes.front(), kViewScrolled);
}

TEST_F(ImageViewTest, ChessboardOnSystemColourAndEmptyPicture) {
  MakeView();
  view->SetAutoFit(true);
  view->SetBackgroundStyle(TIEBackgroundStyle::iebsChessboard);
  // Default background: the button face; its complement is taken from RGB.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF other = RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face));
  Load(0, 10, kRed);
  EXPECT_EQ(view->Zoom(), 100);  // a zero-size picture keeps the zoom
  EXPECT_EQ(view->ExtentWidth(), 0);
  auto s = Render();
  EXPECT_EQ(s->Pixel(0, 0), other);
  EXPECT_EQ(s->Pixel(15, 15), other);
  EXPECT_EQ(s->Pixel(16, 0), face);
  EXPECT_EQ(s->Pixel(0, 16), face);
  EXPECT_EQ(s->Pixel(16, 16), other);
  EXPECT_EQ(s->Pixel(47, 40), other);  // column 2, row 2
  EXPECT_EQ(s->Pixel(47, 48), face);   // column 2, row 3
  // Squares continue past the edges: the last column starts at 224.
  EXPECT_EQ(s->Pixel(228, 0), other);
  EXPECT_EQ(s->Pixel(228, 180), face);  // column 14, row 11
  EXPECT_EQ(s->Pixel(223, 180), other);
}

TEST_F(ImageViewTest, ASideZoomedToNothingStillShowsTheCentredBackground) {
  MakeView();
  view->SetCenter(true);
  view->SetAutoFit(true);
  view->SetBackgroundStyle(TIEBackgroundStyle::iebsChessboard);
  view->SetBackground(RGB(0, 255, 0));
  // A 5000 x 10 banner: zoom 5 (229 / 50 = 4.58), 250 x 0.5 -> 0 rows; a
  // 1024 x 2 strip: zoom 22, 225 x 0.44 -> 0 rows.
  for (const SIZE picture : {SIZE{5000, 10}, SIZE{1024, 2}}) {
    Load(picture.cx, picture.cy, kRed);
    ASSERT_EQ(view->ExtentHeight(), 0) << picture.cx;
    const RECT r = view->ClientRect();
    testing::TDibSurface s(r.right, r.bottom);
    FillSolid(s.Dc(), r, kBlue);  // what the window showed before
    view->PaintTo(s.Dc());
    EXPECT_EQ(s.Pixel(0, 0), RGB(255, 0, 255)) << picture.cx;
    EXPECT_EQ(s.Pixel(16, 0), RGB(0, 255, 0)) << picture.cx;
    EXPECT_EQ(s.Pixel(114, 90), RGB(255, 0, 255)) << picture.cx;  // column 7, row 5
    EXPECT_EQ(s.Pixel(228, 180), RGB(0, 255, 0)) << picture.cx;
  }
}

TEST_F(ImageViewTest, DiagonalsAndHatchUseBackgroundAndComplement) {
  MakeView();
  view->SetBackground(RGB(0, 128, 255));
  view->SetBackgroundStyle(TIEBackgroundStyle::iebsDiagonals);
  auto s = Render();
  EXPECT_EQ(s->Pixel(0, 0), RGB(255, 127, 0));
  EXPECT_EQ(s->Pixel(100, 2), RGB(0, 128, 255));
  view->SetBackgroundStyle(TIEBackgroundStyle::iebsHorizontal);
  s = Render();
  int lines = 0;
  for (int y = 0; y < 16; ++y) lines += s->Pixel(50, y) == RGB(0, 128, 255);
  EXPECT_GT(lines, 0);
  EXPECT_LT(lines, 16);
}

TEST_F(ImageViewTest, ZoomFilterOnlyForEnlargements) {
  MakeView();
  view->GetBitmap().Allocate(8, 4, TPixelFormat::pf24bit);
  FillStripes(view->GetBitmap());
  view->Update();
  auto greyPixels = [this] {
    auto s = Render();
    int grey = 0;
    for (int x = 0; x < view->ExtentWidth(); ++x) grey += IsGrey(s->Pixel(x, 0));
    return grey;
  };
  view->SetZoom(800);
  EXPECT_EQ(greyPixels(), 0);  // plain stretch: black and white only
  view->SetZoomFilter(rfTriangle);
  EXPECT_GT(greyPixels(), 0);
  // Reductions and 100 % never filter, whatever the filter.
  view->SetZoom(100);
  EXPECT_EQ(greyPixels(), 0);
  view->SetZoom(50);
  EXPECT_EQ(greyPixels(), 0);
}

TEST_F(ImageViewTest, DoubleBufferedWindowPaintsThePicture) {
  MakeView();
  view->DoubleBuffer = true;
  view->SetBackground(kBlue);
  Load(10, 10, kRed);
  host->Show();
  UpdateWindow(view->Handle());
  HDC dc = GetDC(view->Handle());
  const COLORREF inside = GetPixel(dc, 5, 5);
  const COLORREF outside = GetPixel(dc, 20, 5);
  ReleaseDC(view->Handle(), dc);
  EXPECT_EQ(inside, kRed);
  EXPECT_EQ(outside, kBlue);
}

TEST_F(ImageViewTest, AttachedProcessorResamplesTheViewsPicture) {
  MakeView();
  view->SetAutoFit(true);
  Load(100, 50, kRed);
  int imageChanges = 0;
  view->OnImageChange = [&](void*) { ++imageChanges; };
  TImageProc proc;
  proc.AttachedImageView(view.get());
  imageChanges = 0;
  proc.Resample(20, 20, rfNone);
  EXPECT_EQ(view->GetBitmap().Width(), 20);
  EXPECT_EQ(imageChanges, 1);
  // Update ran: the fit follows the new size (181 / 0.2 = 905, 229 / 0.2 = 1145).
  EXPECT_EQ(view->Zoom(), 905);

  // A destroyed view leaves no dangling reference behind.
  view.reset();
  EXPECT_EQ(proc.AttachedImageView(), nullptr);

  // Nor does a processor destroyed before its view.
  MakeView();
  {
    TImageProc early;
    early.AttachedImageView(view.get());
  }
  view.reset();
}

TEST_F(ImageViewTest, AttachedLoaderReadsIntoTheViewsPicture) {
  // A 40 x 20 file at 300 dpi, written from a bare raster.
  TBitmap source(40, 20, TPixelFormat::pf24bit);
  Fill(source, kBlue);
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "skyloom_view_test.bmp";
  TImageIO writer;
  writer.AttachedBitmap(&source);
  writer.Params.DpiX = writer.Params.DpiY = 300;
  writer.SaveToFileBMP(path);

  MakeView();
  view->SetAutoFit(true);
  int imageChanges = 0;
  view->OnImageChange = [&](void*) { ++imageChanges; };
  auto io = std::make_unique<TImageIO>();
  io->AttachedImageView(view.get());
  EXPECT_EQ(io->AttachedBitmap(), &view->GetBitmap());
  io->LoadFromFile(path);
  DeleteFileA(path.c_str());
  ASSERT_FALSE(io->Aborting);
  EXPECT_EQ(view->GetBitmap().Width(), 40);
  EXPECT_EQ(view->DpiX, 300);
  EXPECT_EQ(imageChanges, 1);
  EXPECT_EQ(view->Zoom(), 572);  // 229 / 0.4 = 572.5 -> 572 (181 / 0.2 = 905)
  view.reset();
  EXPECT_EQ(io->AttachedImageView(), nullptr);
  EXPECT_EQ(io->AttachedBitmap(), nullptr);
}

TEST_F(ImageViewTest, ANewlyAddedMouseToolKeepsOnlyTheToolsThatGoWithIt) {
  MakeView();
  EXPECT_EQ(view->MouseInteract(), 0u);
  view->SetMouseInteract(miZoom | miSelectPolygon);  // the polygon decides before zoom
  EXPECT_EQ(view->MouseInteract(), unsigned{miSelectPolygon});
  view->SetMouseInteract(miZoom | miScroll | miSelect);  // scroll decides before select
  EXPECT_EQ(view->MouseInteract(), unsigned{miZoom | miScroll});
  view->SetMouseInteract(miZoom | miScroll | miSelectCircle);
  EXPECT_EQ(view->MouseInteract(), unsigned{miSelectCircle});
  view->SetMouseInteract(miSelectCircle | miSelectMagicWand);
  EXPECT_EQ(view->MouseInteract(), unsigned{miSelectMagicWand});
  view->SetMouseInteract(0);  // adds nothing: stored as it is
  EXPECT_EQ(view->MouseInteract(), 0u);
}

TEST_F(ImageViewTest, AssignCopiesClearsAndConvertsToTwentyFourBits) {
  MakeView();
  int imageChanges = 0;
  view->OnImageChange = [&](void*) { ++imageChanges; };
  TBitmap grey(3, 2, TPixelFormat::pf8bit);
  grey.Palette() = {0, 0, 0, 0, 40, 50, 60, 0};
  grey.ScanLine(1)[2] = 1;
  view->Assign(grey);
  ASSERT_EQ(view->GetBitmap().PixelFormat(), TPixelFormat::pf24bit);
  const std::uint8_t* p = view->GetBitmap().ScanLine(1) + 3 * 2;
  EXPECT_EQ(std::vector<int>(p, p + 3), (std::vector<int>{40, 50, 60}));
  EXPECT_EQ(imageChanges, 1);

  TImageView other(host->Handle(), 0, 0, 50, 50);
  other.SetBackground(kBlue);
  other.DpiX = 300;
  other.Assign(*view);
  EXPECT_EQ(other.GetBitmap().Width(), 3);
  EXPECT_EQ(other.Background(), view->Background());
  EXPECT_EQ(other.DpiX, view->DpiX);

  view->SetBackground(kRed);
  view->Assign();  // cleared to the background, size kept
  EXPECT_EQ(view->GetBitmap().Width(), 3);
  p = view->GetBitmap().ScanLine(1) + 3 * 2;
  EXPECT_EQ(std::vector<int>(p, p + 3), (std::vector<int>{0, 0, 255}));
  // A depth an attached component left behind is cleared at 24 bits.
  view->GetBitmap().Allocate(5, 3, TPixelFormat::pf8bit);
  view->Assign();
  ASSERT_EQ(view->GetBitmap().PixelFormat(), TPixelFormat::pf24bit);
  p = view->GetBitmap().ScanLine(2) + 3 * 4;
  EXPECT_EQ(std::vector<int>(p, p + 3), (std::vector<int>{0, 0, 255}));
}

TEST_F(ImageViewTest, ClientAndPictureCoordinatesFollowZoomScrollAndCentring) {
  MakeView();
  view->SetCenter(true);
  Load(100, 100, kRed);
  view->SetZoom(50);  // 50 x 50 centred in 229 x 181: offset (89, 65)
  EXPECT_EQ(view->ClientX(0), 89);
  EXPECT_EQ(view->ClientY(100), 115);
  EXPECT_EQ(view->PictureX(89), 0);
  EXPECT_EQ(view->PictureX(90), 2);
  view->SetZoom(300);  // 300 x 300, scrolled
  view->ScrollTo(30, 40);
  EXPECT_EQ(view->ClientX(10), 0);
  EXPECT_EQ(view->PictureY(0), 13);  // 40 / 3 = 13.3
  EXPECT_EQ(view->PictureX(1), 10);  // 31 / 3 = 10.3
}

}  // namespace
}  // namespace skyloom
