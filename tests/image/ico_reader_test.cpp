// Icon and cursor reading: directories, depths, masks and background.
#include <gtest/gtest.h>

#include "image/bitmap.h"
#include "image/codecs/ico_reader.h"
#include "image/image_io.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::PixelAt;
using testing_util::Put16;
using testing_util::Put32;
using testing_util::TBytes;

struct TIconImageFields {
  int entryWidth = 4, entryHeight = 2;  // as the directory states them
  int width = 4, height = 2;            // as the info header states them
  int bitCount = 4;
  int entryBitCount = 4;  // a cursor's entry holds the hot spot here
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  TBytes colourRows;                   // bottom row first
  TBytes maskRows;
  bool png = false;
};

TBytes MakeIcon(std::uint16_t type, const std::vector<TIconImageFields>& images) {
  TBytes dir;
  Put16(dir, 0);
  Put16(dir, type);
  Put16(dir, static_cast<std::uint32_t>(images.size()));
  std::vector<TBytes> blobs;
  for (const auto& im : images) {
    TBytes blob;
    if (im.png) {
      blob = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
      blob.resize(60, 0);
    } else {
      Put32(blob, 40);
      Put32(blob, static_cast<std::uint32_t>(im.width));
      Put32(blob, static_cast<std::uint32_t>(im.height * 2));
      Put16(blob, 1);
      Put16(blob, static_cast<std::uint32_t>(im.bitCount));
      blob.resize(40, 0);
      auto palette = im.palette;
      if (im.bitCount >= 1 && im.bitCount <= 8) palette.resize(std::size_t{1} << im.bitCount, 0);
      for (auto c : palette) blob.insert(blob.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16), 0});
      blob.insert(blob.end(), im.colourRows.begin(), im.colourRows.end());
      blob.insert(blob.end(), im.maskRows.begin(), im.maskRows.end());
    }
    blobs.push_back(blob);
  }
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto& im = images[i];
    dir.insert(dir.end(), {static_cast<std::uint8_t>(im.entryWidth), static_cast<std::uint8_t>(im.entryHeight),
                           static_cast<std::uint8_t>(im.palette.size()), 0});
    Put16(dir, 1);
    Put16(dir, static_cast<std::uint32_t>(im.entryBitCount));
    Put32(dir, static_cast<std::uint32_t>(blobs[i].size()));
    Put32(dir, offset);
    offset += static_cast<std::uint32_t>(blobs[i].size());
  }
  for (const auto& blob : blobs) dir.insert(dir.end(), blob.begin(), blob.end());
  return dir;
}

// 4 x 2 at 4 bits: bottom row 1 2 1 2, top row 3 3 3 3; mask on the top
// row's last pixel.
TIconImageFields FourBitImage() {
  TIconImageFields im;
  im.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  im.colourRows = {0x12, 0x12, 0, 0, 0x33, 0x33, 0, 0};
  im.maskRows = {0, 0, 0, 0, 0x10, 0, 0, 0};
  return im;
}

struct TLoaded {
  TBitmap raster;
  TIOParamsVals params;
  bool aborting = false;
};

TLoaded Load(const TBytes& bytes, bool cursor, int index = 0, TIERGB background = {255, 255, 255}) {
  TLoaded out;
  TImageIO io;
  io.AttachedBitmap(&out.raster);
  io.Params.ICO_ImageIndex = index;
  io.Params.ICO_Background = background;
  TMemoryStream stream(bytes);
  if (cursor)
    io.LoadFromStreamCUR(stream);
  else
    io.LoadFromStreamICO(stream);
  out.params = io.Params;
  out.aborting = io.Aborting;
  return out;
}

TEST(IconReader, ChosenEntryWithMaskAndBackground) {
  TIconImageFields small = FourBitImage();
  small.entryWidth = small.width = 2;
  small.colourRows = {0x11, 0, 0, 0, 0x11, 0, 0, 0};
  small.maskRows = {0, 0, 0, 0, 0, 0, 0, 0};
  const TBytes icon = MakeIcon(1, {small, FourBitImage()});
  TMemoryStream stream(icon);
  EXPECT_TRUE(IsIcoStream(stream));
  EXPECT_FALSE(IsCurStream(stream));

  const TLoaded loaded = Load(icon, false, 1, TIERGB{0x30, 0x20, 0x10});
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(loaded.raster.Width(), 4);
  EXPECT_EQ(loaded.raster.Height(), 2);
  EXPECT_EQ(loaded.params.BitsPerSample, 4);
  EXPECT_EQ(loaded.params.SamplesPerPixel, 1);
  EXPECT_EQ(loaded.params.ColorMapCount(), 16);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 1), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 1), 0x00FF00u);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(loaded.raster, 3, 0), 0x102030u);  // masked: the background

  EXPECT_EQ(Load(icon, false, 0).raster.Width(), 2);
}

TEST(IconReader, IndexOutsideTheDirectoryReadsNothing) {
  const TBytes icon = MakeIcon(1, {FourBitImage()});
  for (int index : {-1, 1, 7}) {
    const TLoaded loaded = Load(icon, false, index);
    EXPECT_TRUE(loaded.aborting);
    EXPECT_EQ(loaded.raster.Width(), 0);
  }
}

TEST(IconReader, OneBitIconIsOneBitOnlyInBlackAndWhite) {
  TIconImageFields im;
  im.bitCount = im.entryBitCount = 1;
  im.palette = {0x000000, 0xFFFFFF};
  im.colourRows = {0x90, 0, 0, 0, 0x60, 0, 0, 0};
  im.maskRows = {0x01 << 4, 0, 0, 0, 0, 0, 0, 0};  // bottom row, x = 3
  const TLoaded white = Load(MakeIcon(1, {im}), false);
  EXPECT_EQ(white.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(white.raster, 0, 1), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(white.raster, 1, 1), 0u);
  EXPECT_EQ(PixelAt(white.raster, 3, 1), 0xFFFFFFu);  // masked, white background
  EXPECT_EQ(PixelAt(white.raster, 1, 0), 0xFFFFFFu);
  const TLoaded black = Load(MakeIcon(1, {im}), false, 0, TIERGB{0, 0, 0});
  EXPECT_EQ(PixelAt(black.raster, 3, 1), 0u);

  // Colours other than black and white, in the palette or the background,
  // are kept at 24 bits.
  const TLoaded tinted = Load(MakeIcon(1, {im}), false, 0, TIERGB{0x30, 0x20, 0x10});
  EXPECT_EQ(tinted.raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(PixelAt(tinted.raster, 3, 1), 0x102030u);
  EXPECT_EQ(PixelAt(tinted.raster, 0, 1), 0xFFFFFFu);
  im.palette = {0x0000FF, 0xFF0000};
  const TLoaded coloured = Load(MakeIcon(1, {im}), false);
  EXPECT_EQ(coloured.raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(PixelAt(coloured.raster, 0, 1), 0xFF0000u);
  EXPECT_EQ(PixelAt(coloured.raster, 1, 1), 0x0000FFu);
}

TEST(IconReader, SizesAndDepthFromTheHeaderWhenTheEntryDisagrees) {
  TIconImageFields im = FourBitImage();
  im.entryWidth = 0;      // 0 in the entry: the header's width
  im.entryHeight = 9;     // disagrees with a plausible header
  im.entryBitCount = 0;
  const TLoaded loaded = Load(MakeIcon(1, {im}), false);
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(loaded.raster.Width(), 4);
  EXPECT_EQ(loaded.raster.Height(), 2);
}

TEST(IconReader, CursorEntriesHoldHotSpotsNotDepths) {
  TIconImageFields im = FourBitImage();
  im.entryBitCount = 17;  // hot spot y
  const TBytes cursor = MakeIcon(2, {im});
  TMemoryStream stream(cursor);
  EXPECT_TRUE(IsCurStream(stream));
  EXPECT_FALSE(IsIcoStream(stream));
  const TLoaded loaded = Load(cursor, true);
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(PixelAt(loaded.raster, 2, 1), 0xFF0000u);
}

TEST(IconReader, UndecodableEntriesAbort) {
  TIconImageFields png;
  png.png = true;
  EXPECT_TRUE(Load(MakeIcon(1, {png}), false).aborting);

  TIconImageFields noDepth = FourBitImage();
  noDepth.bitCount = 0;
  noDepth.entryBitCount = 0;
  noDepth.palette.clear();
  EXPECT_TRUE(Load(MakeIcon(1, {noDepth}), false).aborting);

  TIconImageFields shortData = FourBitImage();
  shortData.colourRows.resize(3);
  shortData.maskRows.clear();
  const TLoaded cut = Load(MakeIcon(1, {shortData}), false);
  EXPECT_TRUE(cut.aborting);
  EXPECT_EQ(PixelAt(cut.raster, 1, 1), 0x00FF00u);  // the partial row is kept

  TIconImageFields noMask = FourBitImage();
  noMask.maskRows.clear();  // a missing mask hides nothing
  const TLoaded opaque = Load(MakeIcon(1, {noMask}), false);
  EXPECT_FALSE(opaque.aborting);
  EXPECT_EQ(PixelAt(opaque.raster, 3, 0), 0x0000FFu);
}

TEST(IconReader, BitmapStreamIsReadAsABitmap) {
  testing_util::TBmpFields fields;
  fields.width = 1;
  fields.height = 1;
  fields.pixels = {9, 8, 7, 0};
  const TLoaded loaded = Load(testing_util::MakeBmp(fields), false);
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x070809u);
}

}  // namespace
}  // namespace skyloom
