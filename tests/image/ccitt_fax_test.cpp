// The fax coders: encode -> decode round trips of every scheme and option
// set on odd widths, damaged and hand-made strips, and strips exchanged with
// tiffcp in both directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "image/codecs/ccitt_fax.h"
#include "tests/image/sha256.h"
#include "tests/image/test_files.h"

namespace skyloom {
namespace {

using testing_util::Get16;
using testing_util::Get32;
using testing_util::Put16;
using testing_util::Put32;
using testing_util::TBytes;

struct TPicture {
  int width = 0, height = 0;
  std::size_t stride = 0;
  TBytes bits;
  bool Pixel(int x, int y) const { return bits[y * stride + x / 8] >> (7 - x % 8) & 1; }
  void Flip(int x, int y) { bits[y * stride + x / 8] ^= static_cast<std::uint8_t>(0x80 >> (x % 8)); }
};

// Rows of random runs, short ones mostly and now and then one of up to
// 2700 pixels (past the largest make-up code); most rows repeat the row
// above with a few spans inverted, as scanned pages do. The bits past the
// width are set, which no coder may take for pixels.
TPicture RandomPicture(int width, int height, std::size_t extraStride, std::mt19937& rng) {
  TPicture p{width, height, (static_cast<std::size_t>(width) + 7) / 8 + extraStride, {}};
  p.bits.assign(p.stride * height, 0xFF);
  for (int y = 0; y < height; ++y) {
    const bool fresh = y == 0 || rng() % 4 == 0;
    bool black = rng() % 2;
    for (int x = 0; x < width;) {
      const int run = rng() % 8 == 0 ? 1 + rng() % 2700 : 1 + rng() % 12;
      for (int end = std::min(width, x + run); x < end; ++x)
        if ((fresh ? black : p.Pixel(x, y - 1)) != p.Pixel(x, y)) p.Flip(x, y);
      black = !black;
    }
    if (fresh) continue;
    for (int k = 0; k < 3; ++k)
      for (int x = rng() % width, end = std::min(width, x + 1 + static_cast<int>(rng() % 9)); x < end; ++x) p.Flip(x, y);
  }
  return p;
}

// Rows that differ from the picture, or -1.
int FirstDifference(const TPicture& p, const TBytes& decoded, std::size_t stride, int rows) {
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < p.width; ++x)
      if ((decoded[y * stride + x / 8] >> (7 - x % 8) & 1) != p.Pixel(x, y)) return y;
  return -1;
}

struct TScheme {
  TFaxScheme scheme;
  std::uint32_t options;
  const char* name;
};
constexpr TScheme kSchemes[] = {
    {TFaxScheme::ModifiedHuffman, 0, "MH"}, {TFaxScheme::T4, 0, "T4 1-D"}, {TFaxScheme::T4, 4, "T4 1-D fill"},
    {TFaxScheme::T4, 1, "T4 2-D"},          {TFaxScheme::T4, 5, "T4 2-D fill"}, {TFaxScheme::T6, 0, "T6"},
};

TEST(CcittFax, RoundTripsEverySchemeOnOddWidths) {
  std::mt19937 rng(1728);
  for (const int width : {1, 7, 9, 63, 64, 1727, 1728, 2000, 2623, 2624, 5200}) {
    const TPicture picture = RandomPicture(width, 11, width % 3, rng);
    for (const TScheme& s : kSchemes) {
      const TFaxParams params{s.scheme, s.options, width};
      const auto encoded = EncodeFaxRows(params, picture.bits.data(), picture.stride, picture.height);
      // One row more than coded: the strip's end stops the decoder there.
      const std::size_t stride = picture.stride + 2;
      TBytes decoded(stride * (picture.height + 1), 0xA5);
      ASSERT_EQ(DecodeFaxRows(params, encoded.data(), encoded.size(), picture.height + 1, decoded.data(), stride),
                picture.height)
          << s.name << " width " << width;
      EXPECT_EQ(FirstDifference(picture, decoded, stride, picture.height), -1) << s.name << " width " << width;
      EXPECT_EQ(decoded[stride - 1], 0xA5) << "wrote past the row: " << s.name;
      if (s.options & 4) {
        // Every EOL (rows and RTC) ends on a byte: 0000 | 00000001.
        int aligned = 0;
        for (std::size_t i = 0; i + 1 < encoded.size(); ++i) aligned += (encoded[i] & 0x0F) == 0 && encoded[i + 1] == 1;
        EXPECT_GE(aligned, picture.height + 6) << s.name << " width " << width;
      }
    }
  }
}

TEST(CcittFax, DamagedStripsKeepTheRowsBeforeTheDamage) {
  std::mt19937 rng(7);
  TPicture picture = RandomPicture(97, 9, 0, rng);
  if (picture.Pixel(96, 0) != picture.Pixel(95, 0)) picture.Flip(96, 0);  // row 0 ends in a run of 2 or more
  for (const TScheme& s : kSchemes) {
    const TFaxParams params{s.scheme, s.options, picture.width};
    const auto encoded = EncodeFaxRows(params, picture.bits.data(), picture.stride, picture.height);
    TBytes decoded(picture.stride * picture.height);
    int previous = 0;
    for (std::size_t cut = 0; cut <= encoded.size(); ++cut) {
      // A copy of exactly `cut` bytes, so the sanitizers see any read past it.
      const TBytes part(encoded.begin(), encoded.begin() + static_cast<std::ptrdiff_t>(cut));
      const int rows = DecodeFaxRows(params, part.data(), part.size(), picture.height, decoded.data(), picture.stride);
      EXPECT_GE(rows, previous) << s.name << " cut " << cut;
      EXPECT_EQ(FirstDifference(picture, decoded, picture.stride, rows), -1) << s.name << " cut " << cut;
      previous = rows;
    }
    EXPECT_EQ(previous, picture.height) << s.name;
    // Coded one-dimensionally, row 0 passes a narrower width, and (T.4) the
    // next EOL comes inside a wider row.
    if (s.scheme == TFaxScheme::T6) continue;
    TBytes wide(picture.stride + 1);
    EXPECT_EQ(DecodeFaxRows({s.scheme, s.options, picture.width - 1}, encoded.data(), encoded.size(), 1,
                            decoded.data(), picture.stride),
              0)
        << s.name;
    if (s.scheme == TFaxScheme::T4) {
      EXPECT_EQ(DecodeFaxRows({s.scheme, s.options, picture.width + 1}, encoded.data(), encoded.size(), 1,
                              wide.data(), wide.size()),
                0)
          << s.name;
    }
  }
}

// Bytes from a text of 0 and 1, zero-padded to a byte.
TBytes Bits(const std::string& text) {
  TBytes out((text.size() + 7) / 8, 0);
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '1') out[i / 8] |= static_cast<std::uint8_t>(0x80 >> (i % 8));
  return out;
}

TEST(CcittFax, HandMadeStripsFromTheCodeTables) {
  // Width 16. 1-D rows: white 3 "1000", black 10 "0000100", white 3 "1000";
  // white 16 "101010"; white 0 "00110101", black 16 "0000010111".
  const std::string eol = "000000000001", mixed = std::string("1000") + "0000100" + "1000", white = "101010",
                    black = std::string("00110101") + "0000010111";
  TBytes out(2 * 3);
  const auto decode = [&](TFaxScheme scheme, std::uint32_t options, const std::string& bits) {
    out.assign(out.size(), 0x5A);
    const TBytes data = Bits(bits);
    return DecodeFaxRows({scheme, options, 16}, data.data(), data.size(), 3, out.data(), 2);
  };
  // No leading EOL, an EOL without fill, one with more fill than needed,
  // and no RTC.
  EXPECT_EQ(decode(TFaxScheme::T4, 0, mixed + eol + white + "0000000" + eol + black), 3);
  EXPECT_EQ(out, (TBytes{0x1F, 0xF8, 0, 0, 0xFF, 0xFF}));
  // Modified Huffman: rows start on a byte.
  EXPECT_EQ(decode(TFaxScheme::ModifiedHuffman, 0, mixed + "0" + white + "00" + black + "000000"), 3);
  EXPECT_EQ(out, (TBytes{0x1F, 0xF8, 0, 0, 0xFF, 0xFF}));
  // 2-D rows after tag 0 under black 3..13: V0 V0 V0 repeats it; VR1 VL1
  // V0 makes black 4..11.
  EXPECT_EQ(decode(TFaxScheme::T4, 1, eol + "1" + mixed + eol + "0" + "111" + eol + "0" + "0110101"), 3);
  EXPECT_EQ(out, (TBytes{0x1F, 0xF8, 0x1F, 0xF8, 0x0F, 0xF0}));
  // T.6: a pass over an all white reference (b2 = width) is a white row.
  EXPECT_EQ(decode(TFaxScheme::T6, 0, "0001" + eol + eol), 1);
  // Uncompressed mode is not decoded: the strip ends before it, 1-D and 2-D.
  EXPECT_EQ(decode(TFaxScheme::T4, 0, eol + white + eol + "000000001111" + "1"), 1);
  EXPECT_EQ(decode(TFaxScheme::T4, 1, eol + "1" + white + eol + "0" + "0000001111" + "1"), 1);
  EXPECT_EQ(decode(TFaxScheme::T6, 0, "1" + std::string("0000001111") + "1"), 1);
  // Make-up codes adding up far past the width stop the row, not the run sum.
  std::string huge = eol;
  for (int i = 0; i < 2000; ++i) huge += "000000011111";  // white make-up 2560
  EXPECT_EQ(decode(TFaxScheme::T4, 0, huge + "00110101"), 0);
}

// ---- Strips exchanged with tiffcp ----

// A one-strip, little-endian, min-is-white bilevel TIFF.
TBytes MinimalTiff(int width, int height, int compression, std::uint32_t t4Options, const TBytes& strip) {
  std::vector<std::pair<int, std::uint32_t>> tags = {
      {256, width}, {257, height}, {258, 1}, {259, compression}, {262, 0}, {273, 0}, {277, 1}, {278, height},
      {279, static_cast<std::uint32_t>(strip.size())}};
  if (compression == 3) tags.push_back({292, t4Options});
  TBytes file = {'I', 'I', 42, 0, 8, 0, 0, 0};
  const std::uint32_t dataAt = 8 + 2 + 12 * static_cast<std::uint32_t>(tags.size()) + 4;
  Put16(file, static_cast<std::uint32_t>(tags.size()));
  for (auto [tag, value] : tags) {
    Put16(file, tag);
    Put16(file, 4);  // LONG
    Put32(file, 1);
    Put32(file, tag == 273 ? dataAt : value);
  }
  Put32(file, 0);
  file.insert(file.end(), strip.begin(), strip.end());
  return file;
}

// The first directory's SHORT and LONG tags of a TIFF, values expanded.
std::map<int, std::vector<std::uint32_t>> TiffTags(const TBytes& file) {
  const bool big = file[0] == 'M';
  const auto get16 = [&](std::uint32_t at) -> std::uint32_t {
    return big ? file[at] << 8 | file[at + 1] : Get16(file, at);
  };
  const auto get32 = [&](std::uint32_t at) { return big ? get16(at) << 16 | get16(at + 2) : Get32(file, at); };
  std::map<int, std::vector<std::uint32_t>> tags;
  const std::uint32_t ifd = get32(4);
  for (std::uint32_t i = 0, n = get16(ifd); i < n; ++i) {
    const std::uint32_t at = ifd + 2 + 12 * i, type = get16(at + 2), count = get32(at + 4);
    const std::uint32_t size = type == 3 ? 2 : 4;
    const std::uint32_t values = count * size <= 4 ? at + 8 : get32(at + 8);
    for (std::uint32_t k = 0; k < count && (type == 3 || type == 4); ++k)
      tags[get16(at)].push_back(type == 3 ? get16(values + 2 * k) : get32(values + 4 * k));
  }
  return tags;
}

TBytes StripsOf(const TBytes& file) {
  auto tags = TiffTags(file);
  TBytes data;
  for (std::size_t i = 0; i < tags[273].size(); ++i)
    data.insert(data.end(), file.begin() + tags[273][i], file.begin() + tags[273][i] + tags[279][i]);
  return data;
}

// tiffcp with the given options from one scratch file to another; false
// where it cannot run.
bool Tiffcp(const std::string& options, const TBytes& in, TBytes& out) {
#ifdef _WIN32
  (void)options, (void)in, (void)out;
  return false;
#else
  const std::string from = testing_util::ScratchPath("fax_in.tif"), to = testing_util::ScratchPath("fax_out.tif");
  testing_util::WriteBytes(from, in);
  if (std::system(("tiffcp " + options + " '" + from + "' '" + to + "' 2>/dev/null").c_str()) != 0) return false;
  out = testing_util::ReadBytes(to);
  return out.size() > 8;
#endif
}

TEST(CcittFaxPeer, TiffcpStripsDecodeHereAndOursDecodeInTiffcp) {
  std::mt19937 rng(2200);
  const struct {
    const char* codec;
    TFaxScheme scheme;
    int compression;
  } peers[] = {{"g3:1d", TFaxScheme::T4, 3},     {"g3:1d:fill", TFaxScheme::T4, 3}, {"g3:2d", TFaxScheme::T4, 3},
               {"g3:2d:fill", TFaxScheme::T4, 3}, {"g4", TFaxScheme::T6, 4}};
  for (const int width : {9, 1727, 1728, 2600}) {
    const TPicture picture = RandomPicture(width, 24, 0, rng);
    const TBytes raw = MinimalTiff(width, picture.height, 1, 0, picture.bits);
    for (const auto& peer : peers) {
      TBytes coded;
      if (!Tiffcp("-c " + std::string(peer.codec) + " -r " + std::to_string(picture.height), raw, coded))
        GTEST_SKIP() << "tiffcp is not available here";
      auto tags = TiffTags(coded);
      ASSERT_EQ(tags[259], std::vector<std::uint32_t>{static_cast<std::uint32_t>(peer.compression)});
      const TFaxParams params{peer.scheme, tags[292].empty() ? 0 : tags[292][0], width};
      const TBytes strip = StripsOf(coded);
      TBytes decoded(picture.stride * picture.height);
      EXPECT_EQ(DecodeFaxRows(params, strip.data(), strip.size(), picture.height, decoded.data(), picture.stride),
                picture.height)
          << peer.codec << " width " << width;
      EXPECT_EQ(FirstDifference(picture, decoded, picture.stride, picture.height), -1) << peer.codec << " " << width;
    }
    for (const TScheme& s : kSchemes) {
      const TFaxParams params{s.scheme, s.options, width};
      const int compression = s.scheme == TFaxScheme::ModifiedHuffman ? 2 : s.scheme == TFaxScheme::T4 ? 3 : 4;
      const auto ours = EncodeFaxRows(params, picture.bits.data(), picture.stride, picture.height);
      TBytes plain;
      ASSERT_TRUE(Tiffcp("-c none -r " + std::to_string(picture.height),
                         MinimalTiff(width, picture.height, compression, s.options, ours), plain))
          << s.name << " width " << width;
      EXPECT_EQ(FirstDifference(picture, StripsOf(plain), picture.stride, picture.height), -1)
          << s.name << " width " << width;
    }
  }
}

}  // namespace
}  // namespace skyloom

namespace skyloom {
namespace {

// Fax pages of the public suites against their reference decodes
// (MANIFEST.tsv: SHA-256 of 8-bit RGB, top row first): strips decoded one by
// one, fill order 2 reversed first. Among them: a G4 page whose coder leaves
// runs of length 0 in rows and ends rows with a1 = a0, a 1-D G3 page without
// EOLs in many strips (checked for a complete decode only), 2-D G3 with fill
// bits, and modified Huffman.
TEST(CcittFaxCorpus, FaxPagesMatchTheirReferenceDecodes) {
  std::map<std::string, std::string> reference;
  for (const auto& row : testing_util::ReadManifest()) reference[row.path] = row.sha;
  for (const std::string path : {"libtiff-test-images/testfax4.tiff", "libtiff-test-images/testfax3_bug54_1dnoEOL.tif",
                                 "libtiffpic/fax2d.tif", "libtiffpic/g3test.tif", "zigimg-test-suite/tiff/ccitt_rle.tiff"}) {
    const TBytes file = testing_util::ReadBytes(testing_util::TestDataPath(path));
    ASSERT_GT(file.size(), 8u) << path;
    auto tags = TiffTags(file);
    const int width = static_cast<int>(tags[256][0]), height = static_cast<int>(tags[257][0]);
    const int perStrip = tags[278].empty() ? height : static_cast<int>(std::min<std::uint32_t>(tags[278][0], height));
    const std::uint32_t compression = tags[259][0];
    const TFaxParams params{compression == 2   ? TFaxScheme::ModifiedHuffman
                            : compression == 3 ? TFaxScheme::T4
                                               : TFaxScheme::T6,
                            tags[292].empty() ? 0 : tags[292][0], width};
    const std::size_t stride = (static_cast<std::size_t>(width) + 7) / 8;
    TBytes rows(stride * height);
    for (std::size_t i = 0, y = 0; i < tags[273].size() && y < static_cast<std::size_t>(height); ++i, y += perStrip) {
      TBytes strip(file.begin() + tags[273][i], file.begin() + tags[273][i] + tags[279][i]);
      if (!tags[266].empty() && tags[266][0] == 2)
        for (auto& b : strip) b = static_cast<std::uint8_t>(((b * 0x0202020202ull) & 0x010884422010ull) % 1023);
      const int want = std::min(perStrip, height - static_cast<int>(y));
      ASSERT_EQ(DecodeFaxRows(params, strip.data(), strip.size(), want, rows.data() + y * stride, stride), want)
          << path << " strip " << i;
    }
    // The reference decoder fails on every strip of the page without EOLs
    // (a premature EOL at its first row), so its hash is not a decode.
    if (path.ends_with("1dnoEOL.tif")) continue;
    const std::uint8_t one = tags[262][0] == 0 ? 0 : 255;
    TBytes rgb(static_cast<std::size_t>(width) * height * 3, static_cast<std::uint8_t>(255 - one));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (rows[y * stride + x / 8] >> (7 - x % 8) & 1) std::fill_n(&rgb[(static_cast<std::size_t>(y) * width + x) * 3], 3, one);
    EXPECT_EQ(testing_util::Sha256Hex(rgb), reference[path]) << path;
  }
}

}  // namespace
}  // namespace skyloom
