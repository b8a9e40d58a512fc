// TImageProc: sizes, undo, progress and abort, the plain stretch.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/image_proc.h"
#include "tests/image/resample_reference.h"
#include "tests/image/resample_test_util.h"

namespace skyloom {
namespace {

using testing_util::FirstDifference;
using testing_util::NoiseBitmap;

TEST(ImageProcResample, NegativeSizeKeepsAspectAndBothNegativeOnlyTakesUndo) {
  TBitmap bitmap = NoiseBitmap(800, 400, 1);
  TImageProc proc;
  proc.AttachedBitmap(&bitmap);
  proc.Resample(-1, 600, rfTriangle);
  EXPECT_EQ(bitmap.Width(), 1200);
  EXPECT_EQ(bitmap.Height(), 600);
  proc.Resample(300, -5, rfNone);
  EXPECT_EQ(bitmap.Width(), 300);
  EXPECT_EQ(bitmap.Height(), 150);

  const TBitmap before = bitmap;
  bitmap.SetModified(false);
  proc.Resample(-1, -1, rfBell);
  EXPECT_EQ(FirstDifference(bitmap, before), "");
  EXPECT_FALSE(bitmap.Modified());
  EXPECT_EQ(FirstDifference(proc.UndoBitmap(), before), "");
}

TEST(ImageProcResample, ZeroSizesEmptyTheRaster) {
  for (const TResampleFilter f : {rfNone, rfBell}) {
    TBitmap bitmap = NoiseBitmap(30, 20, 1);
    TImageProc proc;
    proc.AttachedBitmap(&bitmap);
    proc.Resample(0, 7, f);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 7);
    bitmap = NoiseBitmap(30, 20, 1);
    proc.Resample(12, 0, f);
    EXPECT_TRUE(bitmap.Empty());
  }
}

TEST(ImageProcResample, WithoutRasterNothingHappens) {
  TImageProc proc;
  bool called = false;
  proc.OnProgress = [&](void*, int) { called = true; };
  proc.Resample(10, 10, rfBell);
  proc.SaveUndo();
  proc.Undo();
  EXPECT_FALSE(called);
  EXPECT_TRUE(proc.UndoBitmap().Empty());
}

TEST(ImageProcResample, FilteredResultMatchesTheReferenceAndReportsProgress) {
  TBitmap bitmap = NoiseBitmap(50, 31, 9);
  const TBitmap expected = reference::Resample(bitmap, 20, 12, rfLanczos3);
  TImageProc proc;
  proc.AttachedBitmap(&bitmap);
  std::vector<int> seen;
  void* sender = nullptr;
  proc.OnProgress = [&](void* s, int percent) {
    sender = s;
    seen.push_back(percent);
  };
  proc.Resample(20, 12, rfLanczos3);
  EXPECT_EQ(FirstDifference(bitmap, expected), "");
  EXPECT_TRUE(bitmap.Modified());
  EXPECT_EQ(sender, &proc);
  ASSERT_EQ(seen.size(), 31u + 20u);
  EXPECT_EQ(seen.back(), static_cast<int>(100.0 / 51.5 * 51));
}

TEST(ImageProcResample, AbortStopsAtOnceAndLeavesThePicture) {
  TBitmap bitmap = NoiseBitmap(40, 30, 3);
  const TBitmap before = bitmap;
  TImageProc proc;
  proc.AttachedBitmap(&bitmap);
  int calls = 0;
  proc.OnProgress = [&](void*, int) {
    if (++calls == 5) proc.Aborting = true;
  };
  proc.Resample(25, 19, rfMitchell);
  EXPECT_EQ(calls, 5);
  EXPECT_TRUE(proc.Aborting);
  EXPECT_EQ(FirstDifference(bitmap, before), "");

  // An abort during the vertical pass too, and the flag is cleared by the
  // next run.
  calls = 0;
  proc.OnProgress = [&](void*, int) {
    if (++calls == 35) proc.Aborting = true;
  };
  proc.Resample(25, 19, rfMitchell);
  EXPECT_EQ(calls, 35);
  EXPECT_EQ(FirstDifference(bitmap, before), "");
  proc.OnProgress = nullptr;
  proc.Resample(25, 19, rfMitchell);
  EXPECT_FALSE(proc.Aborting);
  EXPECT_EQ(bitmap.Width(), 25);
}

TEST(ImageProcResample, PlainStretchPathsReportNoProgress) {
  TBitmap bitmap = NoiseBitmap(6, 4, 4);
  TImageProc proc;
  proc.AttachedBitmap(&bitmap);
  int calls = 0;
  proc.OnProgress = [&](void*, int) { ++calls; };
  proc.Resample(12, 8, rfNone);
  proc.Resample(5, 3, static_cast<TResampleFilter>(7));  // unknown filter: unfiltered
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(bitmap.Width(), 5);
}

// The filter travels as a byte: only its low byte counts, so 0x105 filters
// exactly as Lanczos3 (5) does.
TEST(ImageProcResample, OnlyTheFiltersLowByteCounts) {
  TBitmap byByte = NoiseBitmap(6, 4, 4), lanczos = byByte;
  TImageProc proc;
  int calls = 0;
  proc.OnProgress = [&](void*, int) { ++calls; };
  proc.AttachedBitmap(&byByte);
  proc.Resample(9, 7, static_cast<TResampleFilter>(0x105));
  EXPECT_GT(calls, 0);
  proc.AttachedBitmap(&lanczos);
  proc.Resample(9, 7, rfLanczos3);
  EXPECT_EQ(FirstDifference(byByte, lanczos), "");
}

TEST(ImageProcStretch, EachTargetPixelTakesTheSourcePixelUnderItsCentre) {
  TBitmap source(4, 3, TPixelFormat::pf24bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) source.ScanLine(y)[x * 3] = static_cast<std::uint8_t>(10 * y + x);
  TBitmap up(8, 6, TPixelFormat::pf24bit);
  PlainStretch(source, up);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(up.ScanLine(y)[x * 3], 10 * (y / 2) + x / 2);
  TBitmap down(2, 2, TPixelFormat::pf24bit);
  PlainStretch(source, down);
  // Columns (2x+1)*4/4 = 1, 3; rows (2y+1)*3/4 = 0, 2 counted from the top.
  EXPECT_EQ(down.ScanLine(0)[0], 1);
  EXPECT_EQ(down.ScanLine(0)[3], 3);
  EXPECT_EQ(down.ScanLine(1)[0], 21);
  EXPECT_EQ(down.ScanLine(1)[3], 23);
}

TEST(ImageProcStretch, OneBitRastersAreStretchedWhateverTheFilter) {
  TBitmap bitmap(3, 2, TPixelFormat::pf1bit);
  bitmap.ScanLine(0)[0] = 0b10100000;  // top row: white, black, white
  bitmap.ScanLine(1)[0] = 0b01000000;
  TImageProc proc;
  proc.AttachedBitmap(&bitmap);
  int calls = 0;
  proc.OnProgress = [&](void*, int) { ++calls; };
  proc.Resample(9, 4, rfLanczos3);
  ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
  ASSERT_EQ(bitmap.Width(), 9);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 0b11100011);
  EXPECT_EQ(bitmap.ScanLine(0)[1], 0b10000000);
  EXPECT_EQ(bitmap.ScanLine(1)[0], 0b11100011);
  EXPECT_EQ(bitmap.ScanLine(3)[0], 0b00011100);
  EXPECT_EQ(bitmap.ScanLine(3)[1], 0b00000000);
}

TEST(ImageProcUndo, OneLevelOfUndoWithItsSizeRules) {
  TBitmap bitmap = NoiseBitmap(9, 7, 11);
  const TBitmap original = bitmap;
  TImageProc proc;
  proc.AttachedBitmap(&bitmap);
  proc.Resample(4, 4, rfBell);
  proc.Undo();
  EXPECT_EQ(FirstDifference(bitmap, original), "");

  proc.AutoUndo = false;
  proc.Resample(3, 3, rfBell);
  proc.Undo();  // still the copy taken before the first resample
  EXPECT_EQ(FirstDifference(bitmap, original), "");

  TBitmap empty;
  proc.AttachedBitmap(&empty);
  proc.SaveUndo();
  EXPECT_EQ(proc.UndoBitmap().Width(), 1);
  EXPECT_EQ(proc.UndoBitmap().Height(), 1);
  proc.Undo();  // a 1 x 1 copy is not restored
  EXPECT_TRUE(empty.Empty());
  proc.Resample(5, -1, rfBell);  // nothing to scale
  EXPECT_TRUE(empty.Empty());
}

// A view as the later views will be: the processor reads its raster and
// asks it to refresh.
class FakeView : public TImageProcView {
 public:
  TBitmap* ProcBitmap() override { return &bitmap; }
  void ProcRefresh() override { ++refreshes; }
  TColor ProcBackground() const override { return background; }
  void SetProcBackground(TColor colour) override { background = colour; }
  TBitmap bitmap = NoiseBitmap(10, 10, 2);
  int refreshes = 0;
  TColor background = 0;
};

TEST(ImageProcView, WorksOnTheViewsRasterAndPassesTheBackgroundThrough) {
  FakeView view;
  TImageProc proc;
  proc.Background(0x00FF8040);
  proc.AttachedImageView(&view);
  EXPECT_EQ(view.background, 0x00FF8040u);
  proc.Background(0x123456);
  EXPECT_EQ(view.background, 0x123456u);
  view.background = 7;
  EXPECT_EQ(proc.Background(), 7u);
  proc.Resample(5, 5, rfHermite);
  EXPECT_EQ(view.bitmap.Width(), 5);
  EXPECT_EQ(view.refreshes, 1);
  proc.AttachedImageView(nullptr);
  proc.Resample(3, 3, rfHermite);
  EXPECT_EQ(view.bitmap.Width(), 5);
}

}  // namespace
}  // namespace skyloom
