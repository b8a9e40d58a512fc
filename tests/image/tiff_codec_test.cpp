// The TIFF codec on hand-made files: byte orders, pages, strips, the
// photometric conversions, refused and damaged input, and write -> read
// round trips at every depth and compression.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/ccitt_fax.h"
#include "image/codecs/tiff_lzw.h"
#include "image/codecs/tiff_reader.h"
#include "image/codecs/tiff_writer.h"
#include "image/image_io.h"
#include "image/lzw_hooks.h"
#include "tests/image/test_files.h"
#include "tests/image/tiff_files.h"

namespace skyloom {
namespace {

using testing_util::kStripData;
using testing_util::MakeRaster;
using testing_util::MakeTiff;
using testing_util::PixelAt;
using testing_util::TBytes;
using testing_util::TiffPage;
using testing_util::TTiffPageSpec;
using testing_util::TTiffTag;

int lastCount = 0;
void ReadTiff(TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
  lastCount = ReadTiffStream(s, r, p, pr, only);
}

TIOParamsVals WithLzw() {
  TIOParamsVals p;
  TLzwHooks hooks;
  InstallTiffLzwHooks(hooks);
  p.TIFF_LZWDecompFunc = hooks.TiffDecoder;
  p.TIFF_LZWCompFunc = hooks.TiffEncoder;
  return p;
}

TIOParamsVals WithoutLzw() {
  TIOParamsVals p;
  p.TIFF_LZWDecompFunc = nullptr;
  p.TIFF_LZWCompFunc = nullptr;
  return p;
}

// Empties the global TIFF slots for one test and puts them back after.
struct TNoGlobalLzw {
  TLzwHooks saved = GlobalLzwHooks();
  TNoGlobalLzw() { GlobalLzwHooks().TiffDecoder = nullptr, GlobalLzwHooks().TiffEncoder = nullptr; }
  ~TNoGlobalLzw() { GlobalLzwHooks() = saved; }
};

void SetTag(TTiffPageSpec& page, TTiffTag tag) {
  for (auto& t : page.tags)
    if (t.tag == tag.tag) {
      t = tag;
      return;
    }
  page.tags.push_back(tag);
}

const TBytes kRgb2x2{255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};

TEST(TiffReader, ByteOrdersPagesAndStrips) {
  // "MM" reads as "II", also for 16-bit words.
  for (bool big : {false, true}) {
    const auto rgb = testing_util::ReadWithCodec(ReadTiff, MakeTiff({TiffPage(2, 2, 8, 3, 2, kRgb2x2)}, big));
    ASSERT_FALSE(rgb.aborting) << big;
    EXPECT_EQ(PixelAt(rgb.raster, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(rgb.raster, 1, 1), 0x0A141Eu);
    const TBytes word = big ? TBytes{0x12, 0x34} : TBytes{0x34, 0x12};
    const auto grey = testing_util::ReadWithCodec(ReadTiff, MakeTiff({TiffPage(1, 1, 16, 1, 1, word)}, big));
    EXPECT_EQ(PixelAt(grey.raster, 0, 0), 0x121212u) << big;  // 0x1234 >> 8
  }
  // Three pages: index 2 reads the third, and all three are counted.
  std::vector<TTiffPageSpec> pages;
  for (std::uint8_t v : {10, 20, 30}) pages.push_back(TiffPage(1, 1, 8, 1, 1, {v}));
  TIOParamsVals third;
  third.TIFF_ImageIndex = 2;
  const auto page = testing_util::ReadWithCodec(ReadTiff, MakeTiff(pages), third);
  EXPECT_EQ(lastCount, 3);
  EXPECT_EQ(PixelAt(page.raster, 0, 0), 0x1E1E1Eu);
  TIOParamsVals none;
  none.TIFF_ImageIndex = 3;  // no such page: nothing happens
  const auto missing = testing_util::ReadWithCodec(ReadTiff, MakeTiff(pages), none);
  EXPECT_EQ(lastCount, 3);
  EXPECT_FALSE(missing.aborting);
  EXPECT_TRUE(missing.raster.Empty());
  // Two strips of one row; the second has no byte count and runs to the end.
  auto strips = TiffPage(2, 2, 8, 1, 1, {1, 2});
  strips.strips.push_back({3, 4, 0xEE, 0xEE});
  SetTag(strips, {273, 4, {kStripData, kStripData + 1}, {}});
  SetTag(strips, {278, 4, {1}, {}});
  SetTag(strips, {279, 4, {2}, {}});
  const auto split = testing_util::ReadWithCodec(ReadTiff, MakeTiff({strips}));
  EXPECT_FALSE(split.aborting);
  EXPECT_EQ(PixelAt(split.raster, 1, 1), 0x040404u);
  EXPECT_EQ(split.reports, (std::vector<int>{50, 100}));
}

TEST(TiffReader, PhotometricConversions) {
  auto pixel = [](TTiffPageSpec page, TIOParamsVals params = {}) {
    const auto read = testing_util::ReadWithCodec(ReadTiff, MakeTiff({page}), params);
    EXPECT_FALSE(read.aborting);
    return read.raster.Empty() ? 0xDEADu : PixelAt(read.raster, 0, 0);
  };
  // CMYK (integer division), Lab (values worked out from the formula by hand).
  EXPECT_EQ(pixel(TiffPage(1, 1, 8, 4, 5, {0, 128, 255, 51})), 0xCC6500u);
  EXPECT_EQ(pixel(TiffPage(1, 1, 8, 3, 8, {255, 0, 0})), 0xFEFFFFu);
  EXPECT_EQ(pixel(TiffPage(1, 1, 8, 3, 8, {128, 40, 0xD8})), 0x885AA6u);
  EXPECT_EQ(pixel(TiffPage(1, 1, 8, 3, 8, {10, 0x80, 0x80})), 0x500000u);  // -128 taken as +128, below L* 8
  // 5-5-5 words, 4-bit grey inverted for white-is-zero, a 4-bit palette.
  EXPECT_EQ(pixel(TiffPage(1, 1, 16, 1, 2, {0x43, 0x7C})), 0xF81018u);  // 0x7C43
  EXPECT_EQ(pixel(TiffPage(1, 1, 4, 1, 0, {0x30})), 0xCCCCCCu);
  auto palette = TiffPage(2, 1, 4, 1, 3, {0x01});
  std::vector<std::uint32_t> map(48, 0);
  map[1] = 0x1200, map[16 + 1] = 0x3400, map[32 + 1] = 0x5600;
  palette.tags.push_back({320, 3, map, {}});
  EXPECT_EQ(pixel(palette), 0u);
  const auto two = testing_util::ReadWithCodec(ReadTiff, MakeTiff({palette}));
  EXPECT_EQ(PixelAt(two.raster, 1, 0), 0x123456u);
  ASSERT_EQ(two.params.ColorMap.size(), 16u);
  // 16-bit grey: shift 4 for Look@Molli files, else 8.
  auto molli = TiffPage(1, 1, 16, 1, 1, {0xF0, 0x0F});  // 0x0FF0
  EXPECT_EQ(pixel(molli), 0x0F0F0Fu);
  molli.tags.push_back({305, 2, {}, "Look@Molli v1.1 beta"});
  EXPECT_EQ(pixel(molli), 0xFFFFFFu);
}

TEST(TiffReader, BilevelPolarityAndCompressedRows) {
  // Stored 1 = black with photometric 0: the raster keeps 1 = white.
  const auto white0 = testing_util::ReadWithCodec(ReadTiff, MakeTiff({TiffPage(8, 1, 1, 1, 0, {0x0F})}));
  EXPECT_EQ(white0.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(white0.raster.ScanLine(0)[0], 0xF0);
  const auto black0 = testing_util::ReadWithCodec(ReadTiff, MakeTiff({TiffPage(8, 1, 1, 1, 1, {0x0F})}));
  EXPECT_EQ(black0.raster.ScanLine(0)[0], 0x0F);
  // Two-entry palettes (red, green, blue per index): white then black
  // inverts, black then white copies, the bits past 10 pixels stay clear;
  // any other pair keeps its colours at 24 bits.
  const std::pair<std::vector<std::uint32_t>, TBytes> maps[] = {
      {{0xFFFF, 0, 0xFFFF, 0, 0xFFFF, 0}, {0xF0, 0x00}},
      {{0, 0xFFFF, 0, 0xFFFF, 0, 0xFFFF}, {0x0F, 0xC0}},
  };
  for (const auto& [map, want] : maps) {
    auto page = TiffPage(10, 1, 1, 1, 3, {0x0F, 0xFF});
    page.tags.push_back({320, 3, map, {}});
    const auto read = testing_util::ReadWithCodec(ReadTiff, MakeTiff({page}));
    ASSERT_EQ(read.raster.PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(TBytes(read.raster.ScanLine(0), read.raster.ScanLine(0) + 2), want) << map[0];
  }
  auto coloured = TiffPage(10, 1, 1, 1, 3, {0x0F, 0xFF});
  coloured.tags.push_back({320, 3, {0, 0xFFFF, 0, 0, 0xFFFF, 0}, {}});  // red, blue
  const auto keptColours = testing_util::ReadWithCodec(ReadTiff, MakeTiff({coloured}));
  ASSERT_EQ(keptColours.raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(PixelAt(keptColours.raster, 0, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(keptColours.raster, 4, 0), 0xFF0000u);
  // PackBits: a repeat run reaching into the next row and a -128 no-op.
  const auto packed = testing_util::ReadWithCodec(
      ReadTiff, MakeTiff({TiffPage(3, 2, 8, 1, 1, {0xFC, 7, 0x80, 0x00, 9}, 32773)}));
  EXPECT_FALSE(packed.aborting);
  EXPECT_EQ(PixelAt(packed.raster, 0, 1), 0x070707u);
  EXPECT_EQ(PixelAt(packed.raster, 2, 1), 0x090909u);
  // LZW with the predictor: each sample adds its left neighbour's.
  TMemoryStream code;
  TTiffLzwState* state = nullptr;
  const TBytes diffs{10, 20, 30, 1, 2, 3};
  EncodeTiffLzwRow(diffs.data(), 6, code, state);
  EncodeTiffLzwRow(nullptr, 0, code, state);
  auto lzw = TiffPage(2, 1, 8, 3, 2, code.Bytes(), 5);
  lzw.tags.push_back({317, 3, {2}, {}});
  const auto predicted = testing_util::ReadWithCodec(ReadTiff, MakeTiff({lzw}), WithLzw());
  EXPECT_FALSE(predicted.aborting);
  EXPECT_EQ(PixelAt(predicted.raster, 1, 0), 0x0B1621u);
}

TEST(TiffReader, RefusedAndDamagedInput) {
  struct TCase {
    const char* what;
    TBytes file;
    bool sized;  // the raster was sized before the failure showed
  };
  const TTiffPageSpec good = TiffPage(2, 2, 8, 3, 2, kRgb2x2);
  auto with = [&](TTiffTag tag) {
    auto page = good;
    SetTag(page, tag);
    return MakeTiff({page});
  };
  TBytes badOrder = MakeTiff({good});
  badOrder[0] = badOrder[1] = 'X';
  std::vector<std::uint32_t> dirs;
  TBytes cycle = MakeTiff({good, good}, false, &dirs);
  cycle[dirs[1] + 2 + good.tags.size() * 12] = static_cast<std::uint8_t>(dirs[0]);  // second links back to first
  TBytes valueOutside = with({258, 3, {8, 8, 8}, {}});
  const TBytes lzwBeyond = {0x80, 0x10, 0x65, 0x80};  // 9-bit codes 256, 65, 300
  auto palette = TiffPage(1, 1, 8, 1, 3, {5});
  palette.tags.push_back({320, 3, std::vector<std::uint32_t>(12, 0), {}});  // 4 entries, index 5
  const TCase cases[] = {
      {"byte order", badOrder, false},
      {"unequal bits", with({258, 3, {8, 8, 4}, {}}), false},
      {"zero width", with({256, 4, {0}, {}}), false},
      {"tiles", with({322, 3, {16}, {}}), false},
      {"beyond the size limit", with({256, 4, {70000}, {}}), false},
      {"strip outside the file", with({273, 4, {5000}, {}}), true},
      {"strip count overflowing", with({279, 4, {0xFFFFFFF0u}, {}}), true},
      {"colour index beyond the map", MakeTiff({palette}), true},
      {"LZW code beyond the table", MakeTiff({TiffPage(2, 2, 8, 3, 2, lzwBeyond, 5)}), true},
      {"deflate", MakeTiff({TiffPage(2, 2, 8, 3, 2, kRgb2x2, 8)}), true},
  };
  for (const TCase& c : cases) {
    const auto read = testing_util::ReadWithCodec(ReadTiff, c.file, WithLzw());
    EXPECT_TRUE(read.aborting) << c.what;
    EXPECT_EQ(read.raster.Empty(), !c.sized) << c.what;
  }
  // A tag value whose offset points past the end of the file.
  for (std::size_t i = 8; i + 12 < valueOutside.size(); i += 2)
    if (valueOutside[i] == 2 && valueOutside[i + 1] == 1) {  // tag 258
      valueOutside[i + 8] = 0xFF, valueOutside[i + 9] = 0xFF;
      break;
    }
  EXPECT_TRUE(testing_util::ReadWithCodec(ReadTiff, valueOutside).aborting);
  // A cycle of two directories ends the chain: two pages met, page 0 read.
  const auto looped = testing_util::ReadWithCodec(ReadTiff, cycle);
  EXPECT_FALSE(looped.aborting);
  EXPECT_EQ(lastCount, 2);
  // The second of three directories links outside the file: the chain ends
  // there, two pages met; the first still reads, the third is a broken link.
  std::vector<std::uint32_t> threeAt;
  TBytes broken = MakeTiff({good, good, good}, false, &threeAt);
  broken[threeAt[1] + 2 + good.tags.size() * 12 + 3] = 0x7F;
  const auto first = testing_util::ReadWithCodec(ReadTiff, broken);
  EXPECT_FALSE(first.aborting);
  EXPECT_EQ(lastCount, 2);
  TIOParamsVals third;
  third.TIFF_ImageIndex = 2;
  EXPECT_TRUE(testing_util::ReadWithCodec(ReadTiff, broken, third).aborting);
  EXPECT_EQ(lastCount, 2);
  // LZW without any decoder: refused before sizing.
  TNoGlobalLzw noGlobal;
  const auto noDecoder = testing_util::ReadWithCodec(ReadTiff, MakeTiff({TiffPage(2, 2, 8, 3, 2, lzwBeyond, 5)}),
                                                     WithoutLzw());
  EXPECT_TRUE(noDecoder.aborting);
  EXPECT_TRUE(noDecoder.raster.Empty());
}

TEST(TiffReader, FaxCodingAtAnyDepthButOneBitIsRefused) {
  // Two rows of 8 pixels, T.6 coded: good data, but the page says CMYK.
  const TBytes rows{0xF0, 0x0F};
  const TBytes fax = EncodeFaxRows(TFaxParams{TFaxScheme::T6, 0, 8}, rows.data(), 1, 2);
  ASSERT_FALSE(testing_util::ReadWithCodec(ReadTiff, MakeTiff({TiffPage(8, 2, 1, 1, 0, fax, 4)})).aborting);
  // 65535 x 5000 CMYK with 1,000 bytes of fax data: scratch sized by the
  // claimed depth took over 1.2 GB.
  const TTiffPageSpec cmyk[] = {TiffPage(8, 2, 8, 4, 5, fax, 4), TiffPage(65535, 5000, 8, 4, 5, TBytes(1000, 0), 4),
                                TiffPage(8, 2, 4, 1, 1, fax, 3)};
  for (const TTiffPageSpec& page : cmyk) {
    const auto read = testing_util::ReadWithCodec(ReadTiff, MakeTiff({page}));
    EXPECT_TRUE(read.aborting) << page.tags[0].values[0];
    EXPECT_TRUE(read.raster.Empty()) << page.tags[0].values[0];
  }
}

// Counts the bytes the reader takes from the file.
class TCountingStream final : public TMemoryStream {
 public:
  using TMemoryStream::TMemoryStream;
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = TMemoryStream::Read(buffer, count);
    read_ += n;
    return n;
  }
  std::size_t BytesRead() const { return read_; }

 private:
  std::size_t read_ = 0;
};

TEST(TiffReader, StripsAreReadOnlyAsFarAsTheirRowsGo) {
  // 64 one-row strips of 4 grey bytes, each claiming the whole file from
  // offset 0 (and the first a PackBits page's too): reading them in full
  // would take the file 64 times.
  for (const int compression : {1, 32773}) {
    auto page = TiffPage(4, 64, 8, 1, 1, TBytes(4, 0), compression);
    SetTag(page, {273, 4, std::vector<std::uint32_t>(64, 0), {}});
    SetTag(page, {278, 4, {1}, {}});
    SetTag(page, {279, 4, std::vector<std::uint32_t>(64, 0), {}});
    const auto size = static_cast<std::uint32_t>(MakeTiff({page}).size());
    SetTag(page, {279, 4, std::vector<std::uint32_t>(64, size), {}});
    TCountingStream stream(MakeTiff({page}));
    TBitmap raster;
    TIOParamsVals params;
    bool aborting = false;
    TProgressRec progress{nullptr, nullptr, 0.0, &aborting};
    ReadTiffStream(stream, raster, params, progress, false);
    EXPECT_EQ(raster.Height(), 64) << compression;
    // The directory and its values once, then a row's worth (PackBits: at
    // most twice that) per strip.
    EXPECT_LT(stream.BytesRead(), 2 * std::size_t{size} + 64 * 8) << compression;
  }
}

// ---- writer ----------------------------------------------------------------

TBitmap Colourful(int width, int height) {
  return MakeRaster(width, height, [](int x, int y) {
    return x < 5 ? 0x204060u : static_cast<std::uint32_t>((x * 37) << 16 | (y * 11) << 8 | ((x ^ y) & 0xFF));
  });
}

TBitmap Bilevel(int width, int height) {
  TBitmap raster(width, height, TPixelFormat::pf1bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if ((x / 3 + y / 2) % 3 == 0 || x == y) raster.ScanLine(y)[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  return raster;
}

struct TRoundTrip {
  bool aborting = false;
  TBitmap raster;
  TIOParamsVals params;
  TBytes file;
};

TRoundTrip WriteAndRead(const TBitmap& raster, TIOParamsVals params) {
  TMemoryStream out;
  bool aborting = false;
  TProgressRec progress{nullptr, nullptr, 0.0, &aborting};
  WriteTiffStream(out, raster, params, progress);
  TRoundTrip rt;
  rt.file = out.Bytes();
  const auto read = testing_util::ReadWithCodec(ReadTiff, rt.file, WithLzw());
  rt.aborting = aborting || read.aborting;
  rt.raster = read.raster;
  rt.params = read.params;
  return rt;
}

TEST(TiffWriter, RoundTripsAtEveryDepthAndCompression) {
  const TBitmap colour = Colourful(61, 9);
  const TBitmap mono = Bilevel(45, 13);
  // Params compression code -> the code read back.
  const std::pair<int, int> colourCodes[] = {{0, 0}, {5, 5}, {8, 8}, {1, 0}};  // CCITT falls back to none
  for (const auto& [code, back] : colourCodes) {
    for (const int photometric : {2, 5}) {
      TIOParamsVals params = WithLzw();
      params.TIFF_Compression = code;
      params.TIFF_PhotometInterpret = photometric;
      const auto rt = WriteAndRead(colour, params);
      ASSERT_FALSE(rt.aborting) << code;
      EXPECT_EQ(rt.params.TIFF_Compression, back) << code;
      const TBytes want = testing_util::RgbTopDown(colour), got = testing_util::RgbTopDown(rt.raster);
      ASSERT_EQ(got.size(), want.size());
      // CMYK goes through two integer divisions; RGB is exact.
      EXPECT_LE(testing_util::MaxDifference(got, want), photometric == 5 ? 2 : 0)
          << "code " << code << " photometric " << photometric;
    }
  }
  for (const int code : {0, 1, 2, 3, 4, 5, 8}) {
    for (const int photometric : {0, 1, 2}) {
      TIOParamsVals params = WithLzw();
      params.BitsPerSample = params.SamplesPerPixel = 1;
      params.TIFF_Compression = code;
      params.TIFF_PhotometInterpret = photometric;
      const auto rt = WriteAndRead(mono, params);
      ASSERT_FALSE(rt.aborting) << code;
      EXPECT_EQ(rt.params.TIFF_Compression, code) << code;
      EXPECT_EQ(rt.raster.PixelFormat(), TPixelFormat::pf1bit);
      EXPECT_TRUE(testing_util::RgbTopDown(rt.raster) == testing_util::RgbTopDown(mono))
          << "code " << code << " photometric " << photometric;
    }
  }
}

TEST(TiffWriter, EightBitRasterGoesOutThroughItsPalette) {
  TBitmap raster(5, 3, TPixelFormat::pf8bit);
  raster.Palette() = {0, 0, 0, 0, 255, 255, 255, 0, 30, 20, 10, 0};  // blue, green, red, reserved
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) raster.ScanLine(y)[x] = static_cast<std::uint8_t>((x + y) % 3);
  const std::uint32_t colours[] = {0x000000u, 0xFFFFFFu, 0x0A141Eu};
  const auto rgb = WriteAndRead(raster, WithLzw());
  ASSERT_FALSE(rgb.aborting);
  ASSERT_EQ(rgb.raster.PixelFormat(), TPixelFormat::pf24bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(rgb.raster, x, y), colours[(x + y) % 3]) << x << "," << y;
  TIOParamsVals mono;
  mono.BitsPerSample = mono.SamplesPerPixel = 1;
  const auto bits = WriteAndRead(raster, mono);
  ASSERT_FALSE(bits.aborting);
  ASSERT_EQ(bits.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(bits.raster, 0, 0), 0u);  // black entry
  EXPECT_EQ(PixelAt(bits.raster, 1, 0), 0xFFFFFFu);  // white entry
}

TEST(TiffWriter, ParamsDecideTagsAndFallbacks) {
  TIOParamsVals params = WithoutLzw();
  TNoGlobalLzw noGlobal;
  params.TIFF_Compression = 5;  // no encoder: stored uncompressed
  params.DpiX = params.DpiY = 300;
  params.TIFF_ImageDescription = "sky";
  params.TIFF_PageNumber = 2, params.TIFF_PagesCount = 5;
  params.TIFF_XPos = 3;
  const auto rt = WriteAndRead(Colourful(7, 3), params);
  EXPECT_FALSE(rt.aborting);
  EXPECT_EQ(rt.params.TIFF_Compression, 0);
  EXPECT_EQ(rt.params.DpiX, 300);
  EXPECT_EQ(rt.params.TIFF_ImageDescription, "sky");
  EXPECT_EQ(rt.params.TIFF_PageNumber, 2);
  EXPECT_EQ(rt.params.TIFF_PagesCount, 5);
  EXPECT_EQ(rt.params.TIFF_XPos, 3);
  // A two-colour 24-bit raster written at 1 bit keeps its shapes: the darker colour black.
  TIOParamsVals mono;
  mono.BitsPerSample = mono.SamplesPerPixel = 1;
  const TBitmap two = MakeRaster(9, 2, [](int x, int) { return x % 2 ? 0xFFFF00u : 0x000080u; });
  const auto bits = WriteAndRead(two, mono);
  EXPECT_EQ(bits.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(bits.raster, 0, 0), 0u);
  EXPECT_EQ(PixelAt(bits.raster, 1, 0), 0xFFFFFFu);
  // A stop before the first row leaves no directory.
  TMemoryStream out;
  bool aborting = true;
  TProgressRec stopped{nullptr, nullptr, 0.0, &aborting};
  WriteTiffStream(out, two, mono, stopped);
  EXPECT_EQ(testing_util::Get32(out.Bytes(), 4), 0u);
}

}  // namespace
}  // namespace skyloom
