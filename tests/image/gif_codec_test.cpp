// The GIF reader on hand-made files (literal-coded image data) and the
// writer's files read back, through the GIF LZW hooks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/gif_lzw_install.h"
#include "image/codecs/gif_reader.h"
#include "image/codecs/gif_writer.h"
#include "image/image_io.h"
#include "image/io_params.h"
#include "image/lzw_hooks.h"
#include "tests/image/gif_test_util.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::AppendControl;
using testing_util::AppendImage;
using testing_util::GifHeader;
using testing_util::PixelAt;
using testing_util::RgbTopDown;
using testing_util::TBytes;
using testing_util::TGifImage;

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

struct TRead {
  int images = 0;
  bool aborting = false;
  TBitmap raster{2, 1, TPixelFormat::pf24bit};  // a raster a failed read must leave alone
  TIOParamsVals params;
  std::vector<int> reports;
};

TRead Read(const TBytes& bytes, int index = 0, bool paramsOnly = false, TIOParamsVals params = {}) {
  TRead r;
  r.raster.ScanLine(0)[0] = 77;
  r.params = std::move(params);
  r.params.GIF_ImageIndex = index;
  TMemoryStream stream(bytes);
  TProgressEvent onProgress = [&](void*, int percent) { r.reports.push_back(percent); };
  TProgressRec progress{&onProgress, nullptr, 0.0, &r.aborting};
  r.images = ReadGifStream(stream, r.raster, r.params, progress, paramsOnly);
  return r;
}

bool Untouched(const TRead& r) { return r.raster.Width() == 2 && r.raster.ScanLine(0)[0] == 77; }

TBytes OneImage(const std::vector<std::uint32_t>& table, const TGifImage& image) {
  TBytes file = GifHeader(image.width, image.height, table);
  AppendImage(file, image);
  file.push_back(';');
  return file;
}

TBytes TwoPixels(const std::vector<std::uint32_t>& table) {
  TGifImage image;
  image.width = 2;
  image.pixels = {0, 1};
  return OneImage(table, image);
}

// Empties the engine's GIF slots (filled at start-up) and restores them
// when the test ends.
class TNoGlobalGifHooks {
 public:
  TNoGlobalGifHooks() : saved_(GlobalLzwHooks()) {
    GlobalLzwHooks().GifDecoder = nullptr;
    GlobalLzwHooks().GifEncoder = nullptr;
  }
  ~TNoGlobalGifHooks() {
    GlobalLzwHooks().GifDecoder = saved_.GifDecoder;
    GlobalLzwHooks().GifEncoder = saved_.GifEncoder;
  }

 private:
  TLzwHooks saved_;
};

TEST(GifReader, RefusesWhatItCannotDecodeAndLeavesTheRaster) {
  const TBytes good = TwoPixels({kBlack, kWhite});
  TBytes notGif = good;
  notGif[2] = 'X';
  EXPECT_TRUE(Read(notGif).aborting);
  EXPECT_TRUE(Untouched(Read(notGif)));
  TBytes corrupt = good;  // the first code after the clear is the end code
  corrupt[corrupt.size() - 4] = 0x2C;
  const TRead bad = Read(corrupt);
  EXPECT_TRUE(bad.aborting);
  EXPECT_TRUE(Untouched(bad));
  EXPECT_TRUE(Read(TBytes(good.begin(), good.begin() + 13 + 6)).aborting) << "nothing after the table";

  // No decoder while the slots are empty; once they are filled again the
  // same component reads the file.
  const TNoGlobalGifHooks noHooks;
  const std::string path = testing_util::ScratchPath("hooks.gif");
  testing_util::WriteBytes(path, good);
  TBitmap raster(2, 1, TPixelFormat::pf24bit);
  raster.ScanLine(0)[0] = 77;
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.Params.GIF_LZWDecompFunc = nullptr;
  io.LoadFromFile(path);
  EXPECT_TRUE(io.Aborting);
  EXPECT_EQ(raster.ScanLine(0)[0], 77);
  InstallGifLzwHooks(GlobalLzwHooks());
  io.LoadFromFile(path);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(raster.PixelFormat(), TPixelFormat::pf1bit);
}

TEST(GifReader, MakesOneBitRastersOnlyForBlackThenWhite) {
  const TRead mono = Read(TwoPixels({kBlack, kWhite}));
  ASSERT_FALSE(mono.aborting);
  EXPECT_EQ(mono.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(mono.params.BitsPerSample, 1);
  EXPECT_EQ(RgbTopDown(mono.raster), (TBytes{0, 0, 0, 255, 255, 255}));
  const TRead swapped = Read(TwoPixels({kWhite, kBlack}));
  EXPECT_EQ(swapped.raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(RgbTopDown(swapped.raster), (TBytes{255, 255, 255, 0, 0, 0}));
  // Any non-zero index of a black-then-white image is a set bit.
  TGifImage image;
  image.width = 3;
  image.pixels = {0, 2, 3};
  EXPECT_EQ(RgbTopDown(Read(OneImage({kBlack, kWhite}, image)).raster), (TBytes{0, 0, 0, 255, 255, 255, 255, 255, 255}));
}

// Two images: the first plain, the second interlaced with its own table,
// a position and a control extension (transparent index 2, delay 7).
TBytes TwoImages() {
  TBytes file = GifHeader(20, 10, {0x102030, 0x405060, 0x708090, 0xA0B0C0}, 3, 49);
  TGifImage first;
  first.width = 2;
  first.pixels = {1, 2};
  AppendImage(file, first);
  file.insert(file.end(), {'!', 0xFE, 3, 'h', 'i', '!', 0});  // a comment, skipped
  AppendControl(file, true, 7, 2);
  TGifImage second;
  second.left = 3;
  second.top = 4;
  second.width = 1;
  second.height = 5;
  second.interlaced = true;
  second.localTable = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  second.pixels = {0, 1, 2, 3, 0};  // stored rows 0, 4, 2, 1, 3
  AppendImage(file, second);
  file.push_back(';');
  return file;
}

TEST(GifReader, ReadsTheChosenImageWithItsOwnTableAndControl) {
  const TRead second = Read(TwoImages(), 1);
  ASSERT_FALSE(second.aborting);
  EXPECT_EQ(second.images, 2);
  ASSERT_EQ(second.raster.Width(), 1);
  ASSERT_EQ(second.raster.Height(), 5);
  const std::uint32_t rows[] = {0xFF0000, 0xFFFFFF, 0x0000FF, 0xFF0000, 0x00FF00};
  for (int y = 0; y < 5; ++y) EXPECT_EQ(PixelAt(second.raster, 0, y), rows[y]) << y;
  const TIOParamsVals& p = second.params;
  EXPECT_EQ(p.GIF_Version, "GIF89a");
  EXPECT_EQ(p.GIF_WinWidth, 20);
  EXPECT_EQ(p.GIF_WinHeight, 10);
  EXPECT_EQ(p.GIF_Ratio, 49);
  EXPECT_EQ(p.GIF_Background, (TIERGB{0xC0, 0xB0, 0xA0}));
  EXPECT_EQ(p.GIF_XPos, 3);
  EXPECT_EQ(p.GIF_YPos, 4);
  EXPECT_EQ(p.Width, 1);
  EXPECT_EQ(p.Height, 5);
  EXPECT_TRUE(p.GIF_Interlaced);
  EXPECT_TRUE(p.GIF_FlagTranspColor);
  EXPECT_EQ(p.GIF_DelayTime, 7);
  EXPECT_EQ(p.GIF_TranspColor, (TIERGB{0xFF, 0, 0}));
  EXPECT_EQ(p.BitsPerSample, 2);
  EXPECT_EQ(p.SamplesPerPixel, 1);
  ASSERT_EQ(p.ColorMapCount(), 4);
  EXPECT_EQ(p.ColorMap[1], (TIERGB{0, 0xFF, 0}));

  const TRead first = Read(TwoImages(), 0);
  EXPECT_EQ(first.images, 2);
  EXPECT_EQ(RgbTopDown(first.raster), (TBytes{0x40, 0x50, 0x60, 0x70, 0x80, 0x90}));
  EXPECT_FALSE(first.params.GIF_FlagTranspColor) << "the second image's control is not the first's";
  const TRead none = Read(TwoImages(), 2);
  EXPECT_EQ(none.images, 2);
  EXPECT_TRUE(none.aborting) << "no third image";
  EXPECT_TRUE(Untouched(none));
  const TRead header = Read(TwoImages(), 1, true);
  EXPECT_TRUE(Untouched(header));
  EXPECT_EQ(header.params.Height, 5);
  EXPECT_EQ(header.images, 2);
}

TEST(GifReader, ShowsIndicesOutsideTheTableAsTheirGrey) {
  TGifImage image;  // a four-entry table, indices up to 7
  image.width = 3;
  image.minCodeSize = 3;
  image.pixels = {1, 5, 7};
  TBytes file = GifHeader(3, 1, {0x112233, 0x445566, 0x778899, 0xAABBCC}, 200);
  AppendImage(file, image);
  TRead r = Read(file);
  ASSERT_FALSE(r.aborting);
  EXPECT_EQ(RgbTopDown(r.raster), (TBytes{0x44, 0x55, 0x66, 5, 5, 5, 7, 7, 7}));
  EXPECT_EQ(r.params.GIF_Background, (TIERGB{200, 200, 200}));
  // No table at all: every index is its grey, and the colour map says so.
  file = GifHeader(3, 1, {});
  AppendImage(file, image);
  r = Read(file);
  EXPECT_EQ(RgbTopDown(r.raster), (TBytes{1, 1, 1, 5, 5, 5, 7, 7, 7}));
  EXPECT_EQ(r.params.BitsPerSample, 8);
  ASSERT_EQ(r.params.ColorMapCount(), 256);
  EXPECT_EQ(r.params.ColorMap[9], (TIERGB{9, 9, 9}));
}

// ---- writer -------------------------------------------------------------------

struct TWritten {
  TBytes bytes;
  bool aborting = false;
  std::vector<int> reports;
};

TWritten Write(const TBitmap& raster, TIOParamsVals params) {
  TWritten w;
  TMemoryStream out;
  TProgressEvent onProgress = [&](void*, int percent) { w.reports.push_back(percent); };
  TProgressRec progress{&onProgress, nullptr, 0.0, &w.aborting};
  WriteGifStream(out, raster, params, progress);
  w.bytes = out.Bytes();
  return w;
}

TEST(GifWriter, WritesHeaderControlAndDescriptorFromTheParams) {
  const TBitmap raster = testing_util::MakeRaster(3, 2, [](int x, int y) { return x + y == 0 ? 0xF80000u : 0x0000F8u; });
  TIOParamsVals params;
  params.BitsPerSample = 2;
  params.GIF_Background = TIERGB{0xF8, 0, 0};  // blue
  params.GIF_TranspColor = TIERGB{0, 0, 0xF8};  // red
  params.GIF_FlagTranspColor = true;
  params.GIF_DelayTime = 300;
  params.GIF_XPos = 5;
  params.GIF_YPos = 258;
  params.GIF_Interlaced = true;
  const TWritten w = Write(raster, params);
  ASSERT_FALSE(w.aborting);
  EXPECT_EQ(w.reports, (std::vector<int>{0, 30, 70, 100}));
  const TBytes& b = w.bytes;
  ASSERT_GT(b.size(), 13u + 12 + 8 + 10);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
  EXPECT_EQ(b[6] | b[7] << 8, 3);
  EXPECT_EQ(b[8] | b[9] << 8, 2);
  EXPECT_EQ(b[10], 0x80 | 0x10 | 0x01);
  const int red = b[11] == 0 ? 1 : 0;  // the blue entry is the background
  const std::size_t table = 13;
  EXPECT_EQ((TBytes{b[table + 3 * b[11]], b[table + 3 * b[11] + 1], b[table + 3 * b[11] + 2]}), (TBytes{0, 0, 0xF8}));
  EXPECT_EQ((TBytes{b[table + 3 * red], b[table + 3 * red + 1], b[table + 3 * red + 2]}), (TBytes{0xF8, 0, 0}));
  const std::size_t control = table + 12;
  EXPECT_EQ(TBytes(b.begin() + static_cast<std::ptrdiff_t>(control), b.begin() + static_cast<std::ptrdiff_t>(control + 8)),
            (TBytes{0x21, 0xF9, 4, 9, 44, 1, static_cast<std::uint8_t>(red), 0}));
  const std::size_t descriptor = control + 8;
  EXPECT_EQ(TBytes(b.begin() + static_cast<std::ptrdiff_t>(descriptor), b.begin() + static_cast<std::ptrdiff_t>(descriptor + 10)),
            (TBytes{',', 5, 0, 2, 1, 3, 0, 2, 0, 0x40}));
  EXPECT_EQ(b[descriptor + 10], 2) << "minimum code size";
  EXPECT_EQ(b.back(), ';');

  params.GIF_LZWCompFunc = nullptr;
  const TNoGlobalGifHooks noHooks;
  const TWritten headersOnly = Write(raster, params);
  EXPECT_TRUE(headersOnly.aborting);
  EXPECT_EQ(headersOnly.bytes.size(), descriptor + 10);
}

TEST(GifWriter, FilesReadBackToTheSamePixels) {
  const TBitmap mono = [] {
    TBitmap r(19, 3, TPixelFormat::pf1bit);
    for (int y = 0; y < 3; ++y) r.ScanLine(y)[1] = static_cast<std::uint8_t>(0xA5 >> y);
    return r;
  }();
  const auto palette = testing_util::MakeRaster(37, 11, [](int x, int y) {
    return static_cast<std::uint32_t>(((x / 3) % 4) * 0x400000 + (y % 4) * 0x4000 + 0x38);  // 16 colours
  });
  const auto rich = testing_util::MakeRaster(40, 30, [](int x, int y) {
    return static_cast<std::uint32_t>((x % 10) * 0x180000 + (y % 10) * 0x1000 + ((x + y) % 2) * 0xF8);  // 200 colours
  });
  const struct {
    const char* what;
    const TBitmap& raster;
    int bits;
    bool interlaced;
  } cases[] = {{"1-bit", mono, 1, false}, {"16 colours", palette, 4, false}, {"200 colours", rich, 8, false},
               {"200 colours interlaced", rich, 8, true}};
  for (const auto& c : cases) {
    TIOParamsVals params;
    params.BitsPerSample = c.bits;
    params.GIF_Interlaced = c.interlaced;
    const TWritten w = Write(c.raster, params);
    ASSERT_FALSE(w.aborting) << c.what;
    const TRead r = Read(w.bytes);
    ASSERT_FALSE(r.aborting) << c.what;
    EXPECT_EQ(r.raster.PixelFormat(), c.raster.PixelFormat()) << c.what;
    EXPECT_TRUE(RgbTopDown(r.raster) == RgbTopDown(c.raster)) << c.what;
    EXPECT_EQ(r.reports, (std::vector<int>{0, 30, 70, 100})) << c.what;
  }
  // Two colours written at one bit: the darker becomes black, the other white.
  const auto twoColours = testing_util::MakeRaster(5, 2, [](int x, int) { return x % 2 ? 0x203040u : 0xC0D0E0u; });
  TIOParamsVals params;
  params.BitsPerSample = 1;
  const TRead r = Read(Write(twoColours, params).bytes);
  EXPECT_EQ(r.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(r.raster, 0, 0), kWhite);
  EXPECT_EQ(PixelAt(r.raster, 1, 1), kBlack);
}

}  // namespace
}  // namespace skyloom
