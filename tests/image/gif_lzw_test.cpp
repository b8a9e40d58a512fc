// The GIF LZW decoder against hand-packed code streams, and the encoder's
// output read back by the decoder (files it writes are also read by
// ImageMagick in the GIF corpus test).
#include <gtest/gtest.h>

#include <vector>

#include "image/codecs/gif_lzw_decoder.h"
#include "image/codecs/gif_lzw_encoder.h"
#include "tests/image/gif_test_util.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::ImageData;
using testing_util::TBytes;
using testing_util::TCodePacker;
using testing_util::TLiteralCoder;

constexpr std::size_t kLead = 3;  // bytes before the image data, so a restored position is not 0

struct TDecodeResult {
  bool ok = false;
  std::vector<std::uint8_t> pixels;
  std::int64_t position = 0;
};

// Decodes data placed after kLead bytes, into a buffer with a guard byte.
TDecodeResult Decode(const TBytes& data, int width, int height, bool interlaced = false) {
  TBytes bytes(kLead, 0xEE);
  bytes.insert(bytes.end(), data.begin(), data.end());
  TMemoryStream stream(bytes);
  stream.SetPosition(kLead);
  TDecodeResult r;
  r.pixels.assign(static_cast<std::size_t>(width * height) + 1, 0xAA);
  r.ok = DecodeGifLzw(stream, height, width, r.pixels.data(), interlaced);
  EXPECT_EQ(r.pixels.back(), 0xAA) << "wrote past the image";
  r.pixels.pop_back();
  r.position = stream.Position() - static_cast<std::int64_t>(kLead);
  return r;
}

TBytes Packed(int minCodeSize, const std::vector<std::pair<unsigned, unsigned>>& codes) {
  TCodePacker packer;
  for (const auto& [code, size] : codes) packer.Put(code, size);
  return ImageData(minCodeSize, packer.Bytes());
}

TEST(GifLzwDecoder, GrowsCodesAndBuildsStringsAsTheFormatDefines) {
  // m = 2: clear 4, end 5. "1", then 6 before it exists ("1" + "1"), 6
  // again, which adds 7 and makes next = 8 = 2^3: codes widen to 4 bits.
  // Then "2", and 8 = "11" + "2".
  const TBytes data = Packed(2, {{4, 3}, {1, 3}, {6, 3}, {6, 3}, {2, 4}, {8, 4}, {5, 4}});
  const TDecodeResult r = Decode(data, 3, 3);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (std::vector<std::uint8_t>{1, 1, 1, 1, 1, 2, 1, 1, 2}));
  EXPECT_EQ(r.position, static_cast<std::int64_t>(data.size())) << "stream left after the terminator";

  // The first code after a clear that is no entry yet stands for index 0.
  EXPECT_EQ(Decode(Packed(2, {{4, 3}, {7, 3}, {3, 3}, {5, 3}}), 2, 1).pixels, (std::vector<std::uint8_t>{0, 3}));
  // No clear at the start: the table starts fresh all the same.
  EXPECT_EQ(Decode(Packed(2, {{2, 3}, {6, 3}, {5, 3}}), 3, 1).pixels, (std::vector<std::uint8_t>{2, 2, 2}));
}

TEST(GifLzwDecoder, PutsInterlacedRowsInPictureOrder) {
  std::vector<std::uint8_t> stored(10);
  for (std::size_t k = 0; k < stored.size(); ++k) stored[k] = static_cast<std::uint8_t>(k);
  const TDecodeResult r = Decode(testing_util::LiteralImageData(4, stored), 1, 10, true);
  ASSERT_TRUE(r.ok);
  // Stored rows: 0 and 8 (every 8th), 4, then 2 and 6, then the odd rows.
  EXPECT_EQ(r.pixels, (std::vector<std::uint8_t>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
}

TEST(GifLzwDecoder, KeepsWhatDataThatEndEarlyOrRunLongGive) {
  // Data that stop without the end code (and without the zero-length
  // block): the pixels decoded so far stand, the rest stays.
  TLiteralCoder coder(2);
  coder.Literals({1, 2, 3});
  TBytes data = ImageData(2, coder.Bytes());
  data.pop_back();
  TDecodeResult r = Decode(data, 5, 1);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (std::vector<std::uint8_t>{1, 2, 3, 0xAA, 0xAA}));
  EXPECT_EQ(r.position, static_cast<std::int64_t>(data.size()));
  // An end code right after a short string copied from far back: the
  // pixels after it stay as well.
  TLiteralCoder early(2);
  for (const unsigned p : {1, 2, 3, 0, 1, 2, 3, 0, 1}) early.Code(p);
  early.Code(6);  // "12", the first entry
  early.End();
  r = Decode(ImageData(2, early.Bytes()), 20, 1);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (std::vector<std::uint8_t>{1, 2, 3, 0, 1, 2, 3, 0, 1, 1, 2, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA,
                                                 0xAA, 0xAA, 0xAA}));
  // More pixels than the image holds: the surplus is dropped.
  r = Decode(testing_util::LiteralImageData(2, {3, 2, 1, 0, 1, 2, 3}), 2, 2);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (std::vector<std::uint8_t>{3, 2, 1, 0}));
  // Strings far longer than the image (each one longer than the last).
  TCodePacker runs;
  runs.Put(4, 3);
  runs.Put(1, 3);
  unsigned size = 3;
  for (unsigned code = 6; code < 4096; ++code) {
    runs.Put(code, size);
    if (code + 1 == 1u << size && size < 12) ++size;
  }
  r = Decode(ImageData(2, runs.Bytes()), 7, 3);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, std::vector<std::uint8_t>(21, 1));
  // No data at all.
  EXPECT_TRUE(Decode(TBytes{2, 0}, 2, 2).ok);
}

TEST(GifLzwDecoder, RefusesCorruptStreamsAndRestoresThePosition) {
  TLiteralCoder full(2);  // every entry up to 4095 made
  while (full.NextFree() < 4096) full.Code(1);
  TLiteralCoder fullThenClear = full;
  fullThenClear.Clear();
  fullThenClear.Code(2);
  TLiteralCoder fullThenEnd = fullThenClear;
  while (fullThenEnd.NextFree() < 4096) fullThenEnd.Code(3);
  fullThenEnd.End();

  const struct {
    const char* what;
    TBytes data;
  } corrupt[] = {
      {"minimum code size 1", Packed(1, {{2, 2}, {1, 2}, {3, 2}})},
      {"minimum code size 10", Packed(10, {{1024, 11}, {1, 11}, {1025, 11}})},
      {"no code size byte", {}},
      {"code beyond the next free one", Packed(2, {{4, 3}, {1, 3}, {7, 3}})},
      {"clear code then end code", Packed(2, {{4, 3}, {1, 3}, {4, 3}, {5, 3}})},
  };
  for (const auto& c : corrupt) {
    const TDecodeResult r = Decode(c.data, 4, 4);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.position, 0) << c.what;
  }
  EXPECT_TRUE(Decode(ImageData(2, fullThenClear.Bytes()), 4, 4).ok) << "a clear empties a full table";
  EXPECT_TRUE(Decode(ImageData(2, fullThenEnd.Bytes()), 4, 4).ok) << "the end code may follow a full table";
}

TEST(GifLzwDecoder, GoesOnAfterAFullTableUntilAClearComes) {
  // 4091 pixels of 1 fill the table (entries 6..4095). Coding goes on at 12
  // bits without a clear ("deferred clear"): 2, entry 6 ("11"), then 2
  // again, which must not have been replaced by a new entry.
  TLiteralCoder coder(2);
  while (coder.NextFree() < 4096) coder.Code(1);
  for (const unsigned code : {2u, 6u, 2u}) coder.Code(code);
  coder.Clear();
  coder.Code(3);
  coder.End();
  const TDecodeResult r = Decode(ImageData(2, coder.Bytes()), 4100, 1);
  ASSERT_TRUE(r.ok);
  std::vector<std::uint8_t> expected(4091, 1);
  expected.insert(expected.end(), {2, 1, 1, 2, 3, 0xAA, 0xAA, 0xAA, 0xAA});
  EXPECT_EQ(r.pixels, expected);
}

// ---- encoder ----------------------------------------------------------------

struct TBlocks {
  std::vector<std::size_t> sizes;
  TBytes codes;
};

TBlocks SplitBlocks(const TBytes& data) {
  TBlocks b;
  for (std::size_t at = 1; at < data.size() && data[at] != 0; at += data[at] + 1u) {
    b.sizes.push_back(data[at]);
    b.codes.insert(b.codes.end(), data.begin() + static_cast<std::ptrdiff_t>(at + 1),
                   data.begin() + static_cast<std::ptrdiff_t>(at + 1 + data[at]));
  }
  return b;
}

TEST(GifLzwEncoder, WritesBlocksOf254BytesThatDecodeToThePixels) {
  const int width = 320, height = 200;  // enough codes to fill the table many times
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height));
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<std::uint8_t>((i % 320) / 3 + (i * 2654435761u >> 28) + (i / 320) * 7 / 5);
  for (const bool interlaced : {false, true}) {
    TMemoryStream out;
    EncodeGifLzw(out, height, width, 8, pixels.data(), interlaced);
    const TBytes data = out.Bytes();
    ASSERT_GT(data.size(), 2u);
    EXPECT_EQ(data[0], 8);
    EXPECT_EQ(data.back(), 0);
    const TBlocks blocks = SplitBlocks(data);
    for (std::size_t i = 0; i + 1 < blocks.sizes.size(); ++i) ASSERT_EQ(blocks.sizes[i], 254u) << i;
    EXPECT_EQ(blocks.codes[0] | (blocks.codes[1] & 1) << 8, 256) << "the clear code comes first";
    const TDecodeResult r = Decode(data, width, height, interlaced);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.position, static_cast<std::int64_t>(data.size()));
    EXPECT_TRUE(r.pixels == pixels) << "interlaced " << interlaced;
  }
}

TEST(GifLzwEncoder, UsesCodeSizeTwoForOneBitPixels) {
  const std::vector<std::uint8_t> pixels{0, 1, 1, 0, 1, 1, 1, 1, 0};
  TMemoryStream out;
  EncodeGifLzw(out, 3, 3, 1, pixels.data(), false);
  ASSERT_FALSE(out.Bytes().empty());
  EXPECT_EQ(out.Bytes()[0], 2);
  EXPECT_EQ(Decode(out.Bytes(), 3, 3).pixels, pixels);
}

}  // namespace
}  // namespace skyloom
