// The TIFF files of the public suites against their reference decodes
// (MANIFEST.tsv: SHA-256 of 8-bit RGB, top row first, first page, alpha
// composited over black). Every file matches, or differs for a rule of the
// codec listed below (confirmed against ImageMagick where the rule allows),
// or is one that no peer decodes and must at least load safely.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/tiff_directory.h"
#include "image/codecs/tiff_lzw.h"
#include "image/codecs/tiff_rows.h"
#include "image/image_io.h"
#include "tests/image/sha256.h"
#include "tests/image/test_files.h"

namespace skyloom {
namespace {

using testing_util::TBytes;
using testing_util::TManifestRow;

using TDecoded = testing_util::TDecodedFile;
using testing_util::DecodeFile;
using testing_util::MaxDifference;
using testing_util::RunCommand;

// ImageMagick's 8-bit RGB decode of the first page; false where it cannot run.
bool PeerDecode(const std::string& path, const std::string& options, TBytes& out) {
  return testing_util::ImageMagickDecode(path + "[0]", options, out);
}

// What the first directory says, for choosing the rule that explains a difference.
struct TFacts {
  bool bigTiff = false, tiled = false, oldLzw = false, stripBeyondEnd = false, equalBits = true;
  std::uint32_t width = 0, height = 0, bits = 1, samples = 1, compression = 1, photometric = 2, planar = 1;
  std::uint32_t fillOrder = 1, orientation = 1, predictor = 1;
};

TFacts FactsOf(const std::string& path) {
  TFacts f;
  TFileStream stream(path, TFileMode::fmOpenRead);
  TTiffSource source(stream);
  std::uint32_t first = 0;
  std::uint8_t head[4] = {};
  if (!source.ReadHeader(first) || !source.ReadAt(0, head, 4)) return f;
  f.bigTiff = source.U16(head + 2) == 43;
  auto chain = WalkTiffChain(source, first, 0);
  if (!chain.wanted) return f;
  TTiffDirectory& d = *chain.wanted;
  f.tiled = d.Has(322) || d.Has(324);
  f.width = d.Number(256, 0), f.height = d.Number(257, 0), f.bits = d.Number(258, 1);
  f.samples = d.Number(277, 1), f.compression = d.Number(259, 1), f.photometric = d.Number(262, 2);
  f.planar = d.Number(284, 1), f.fillOrder = d.Number(266, 1), f.orientation = d.Number(274, 1);
  f.predictor = d.Number(317, 1);
  const auto bits = d.Numbers(258);
  for (auto b : bits) f.equalBits &= b == f.bits;
  const auto offsets = d.Numbers(273), counts = d.Numbers(279);
  for (std::size_t i = 0; i < offsets.size() && i < counts.size(); ++i)
    f.stripBeyondEnd |= std::uint64_t{offsets[i]} + counts[i] > source.Size();
  std::uint8_t lead[2] = {};
  f.oldLzw = f.compression == 5 && !offsets.empty() && source.ReadAt(offsets[0], lead, 2) && lead[0] == 0 &&
             (lead[1] & 1);  // clear code packed least significant bit first
  return f;
}

// The raster as RgbTopDown gives it; 1-bit rows through a byte table, since
// the big fax pages would otherwise cost most of this test's time.
TBytes Rgb(const TBitmap& raster) {
  if (raster.PixelFormat() != TPixelFormat::pf1bit) return testing_util::RgbTopDown(raster);
  static const auto table = [] {
    std::vector<std::uint8_t> t(256 * 24);
    for (int v = 0; v < 256; ++v)
      for (int bit = 0; bit < 8; ++bit)
        for (int c = 0; c < 3; ++c) t[static_cast<std::size_t>(v * 24 + bit * 3 + c)] = (v >> (7 - bit)) & 1 ? 255 : 0;
    return t;
  }();
  const auto width = static_cast<std::size_t>(raster.Width());
  TBytes rgb(width * 3 * static_cast<std::size_t>(raster.Height()));
  std::vector<std::uint8_t> row((width + 7) / 8 * 24);
  for (int y = 0; y < raster.Height(); ++y) {
    const std::uint8_t* bits = raster.ScanLine(y);
    for (std::size_t i = 0; i < (width + 7) / 8; ++i) std::copy_n(&table[bits[i] * 24u], 24, &row[i * 24]);
    std::copy_n(row.data(), width * 3, &rgb[static_cast<std::size_t>(y) * width * 3]);
  }
  return rgb;
}

bool AllZero(const TBytes& rgb) {
  for (auto v : rgb)
    if (v) return false;
  return true;
}

// The rules, in the order they are tried.
enum class TRule {
  kNone, kBigTiff, kTiles, kTooLarge, kUnequalBits, kCompression, kOldLzw, kStripBeyondEnd, kFillOrder, kOrientation,
  kNoConversion, kAlpha, kSixteenBits, kPredictorNotLzw8, kLab, kPeersDisagree,
};

TRule RuleFor(const TFacts& f, const TManifestRow& row) {
  if (f.bigTiff) return TRule::kBigTiff;
  if (f.tiled) return TRule::kTiles;
  if (f.width > 65535 || f.height > 65535) return TRule::kTooLarge;
  if (!f.equalBits) return TRule::kUnequalBits;
  const bool known = (f.compression >= 1 && f.compression <= 5) || f.compression == 32773;
  if (!known) return TRule::kCompression;
  if (f.oldLzw) return TRule::kOldLzw;
  if (f.stripBeyondEnd) return TRule::kStripBeyondEnd;
  if (f.fillOrder == 2) return TRule::kFillOrder;
  if (f.orientation != 1) return TRule::kOrientation;
  const bool planar = f.planar == 2 && f.samples > 1;
  const TTiffRowKind kind = TiffRowKindOf(static_cast<int>(f.photometric), static_cast<int>(f.samples),
                                          static_cast<int>(f.bits), planar);
  if (kind == TTiffRowKind::kNone) return TRule::kNoConversion;
  if (f.predictor == 2 && (f.compression != 5 || f.bits != 8)) return TRule::kPredictorNotLzw8;
  if (row.xcheck == "failed") return TRule::kPeersDisagree;
  if (kind == TTiffRowKind::kGrey16) return TRule::kSixteenBits;
  if (kind == TTiffRowKind::kRgb && f.samples == 4) return TRule::kAlpha;
  if (kind == TTiffRowKind::kLab) return TRule::kLab;
  if (row.xcheck != "match") return TRule::kPeersDisagree;
  return TRule::kNone;
}

const char* Describe(TRule rule) {
  switch (rule) {
    case TRule::kBigTiff: return "BigTIFF (version 43) has no classic directory: refused";
    case TRule::kTiles: return "tiled pages are refused";
    case TRule::kTooLarge: return "a side beyond 65535 pixels is refused";
    case TRule::kUnequalBits: return "unequal bits per sample are refused";
    case TRule::kCompression: return "compression without a decoder (JPEG, deflate, ...): refused";
    case TRule::kOldLzw: return "LZW with codes least significant bit first (pre-6.0 flavour): refused";
    case TRule::kStripBeyondEnd: return "a strip reaching past the end of the file: refused";
    case TRule::kFillOrder: return "fill order 2 does not change decoding";
    case TRule::kOrientation: return "orientation does not change decoding";
    case TRule::kNoConversion: return "no conversion for this photometric/samples/depth: raster left unwritten";
    case TRule::kAlpha: return "fourth sample ignored, colours kept as stored";
    case TRule::kSixteenBits: return "16-bit grey shifted right by 8 (peers round v / 257)";
    case TRule::kPredictorNotLzw8: return "predictor undone only for 8-bit LZW data";
    case TRule::kLab: return "CIE Lab by the codec's own formula";
    case TRule::kPeersDisagree: return "the peers disagree with each other: decoding is enough";
    case TRule::kNone: break;
  }
  return "none";
}

// Confirms the rule where it has an observable consequence; peerRan is
// false when the confirmation needs ImageMagick and it is not there.
bool Confirmed(TRule rule, const std::string& path, const TDecoded& d, const TBytes& rgb, const TManifestRow& row,
               bool& peerRan) {
  peerRan = true;
  switch (rule) {
    case TRule::kBigTiff:
    case TRule::kTiles:
    case TRule::kTooLarge:
    case TRule::kUnequalBits: return d.aborting && d.raster.Empty();
    case TRule::kCompression:
    case TRule::kOldLzw:
    case TRule::kStripBeyondEnd: return d.aborting;
    case TRule::kNoConversion: return !d.aborting && AllZero(rgb);
    case TRule::kAlpha: {
      TBytes alpha;
      peerRan = PeerDecode(path, "-alpha extract -depth 8 gray:-", alpha);
      if (!peerRan || alpha.size() * 3 != rgb.size()) return false;
      TBytes over = rgb;
      for (std::size_t i = 0; i < over.size(); ++i)
        over[i] = static_cast<std::uint8_t>((over[i] * alpha[i / 3] + 127) / 255);
      return testing_util::Sha256Hex(over) == row.sha;
    }
    case TRule::kSixteenBits: {
      TBytes peer;
      peerRan = PeerDecode(path, "-depth 8 rgb:-", peer);
      return peerRan && MaxDifference(peer, rgb) <= 1;
    }
    case TRule::kFillOrder:
    case TRule::kOrientation:
    case TRule::kPredictorNotLzw8:
    case TRule::kLab:
    case TRule::kPeersDisagree:
      return d.aborting || (d.raster.Width() == row.width && d.raster.Height() == row.height) ||
             rule == TRule::kPeersDisagree;
    case TRule::kNone: break;
  }
  return false;
}

TEST(TiffCorpus, FilesMatchTheirReferenceOrDifferByAStatedRule) {
  int matched = 0, explained = 0, unreadable = 0;
  for (const TManifestRow& row : testing_util::ReadManifest()) {
    if (row.format != "TIFF") continue;
    const std::string path = testing_util::TestDataPath(row.path);
    const TDecoded d = DecodeFile(path);  // must not crash, hang or read outside its buffers
    if (row.peerOk != "yes") {
      ++unreadable;
      continue;
    }
    // A refusal needs no hashing; the big fax pages are what costs time here.
    const TRule rule = RuleFor(FactsOf(path), row);
    const bool refused = d.aborting && rule != TRule::kNone && rule != TRule::kFillOrder;
    const TBytes rgb = refused ? TBytes{} : Rgb(d.raster);
    if (!refused && testing_util::Sha256Hex(rgb) == row.sha) {
      ++matched;
      continue;
    }
    bool peerRan = true;
    const bool confirmed = rule != TRule::kNone && Confirmed(rule, path, d, rgb, row, peerRan);
    EXPECT_TRUE(confirmed || !peerRan) << row.path << " differs; rule: " << Describe(rule)
                                       << (d.aborting ? " (aborted)" : "");
    if (!peerRan) std::printf("  not confirmed (no peer decoder here): %s\n", row.path.c_str());
    ++explained;
  }
  std::printf("TIFF corpus: %d matched, %d differ by a stated rule, %d unreadable to the peers\n", matched, explained,
              unreadable);
  EXPECT_GE(matched, 130);
}

// ---- written files read back by libtiff's tools and ImageMagick ------------

TEST(TiffPeer, WrittenFilesDecodeToTheSamePixelsInLibtiffAndImageMagick) {
  TBytes probe;
  if (!RunCommand("tiffcp -h; convert -version", probe))
    GTEST_SKIP() << "tiffcp or ImageMagick's convert is not available";
  struct TCase {
    int code, bits, photometric;
  };
  // Params compression codes: 0 none, 1 MH, 2 T.4, 3 T.4 2-D, 4 T.6, 5 LZW, 8 PackBits.
  const TCase cases[] = {{0, 24, 2}, {5, 24, 2}, {8, 24, 2}, {5, 24, 5}, {0, 1, 1}, {0, 1, 0}, {1, 1, 0},
                         {2, 1, 0},  {3, 1, 1},  {4, 1, 0},  {5, 1, 1},  {8, 1, 0}};
  const TBitmap colour = testing_util::MakeRaster(203, 37, [](int x, int y) {
    return x < 40 ? 0x3070B0u : static_cast<std::uint32_t>((x * 5) << 16 | (y * 7) << 8 | ((x * y) & 0xFF));
  });
  TBitmap mono(203, 37, TPixelFormat::pf1bit);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 203; ++x)
      if ((x / 9 + y / 4) % 2 || x == 2 * y) mono.ScanLine(y)[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  TLzwHooks hooks;
  InstallTiffLzwHooks(hooks);
  for (const TCase& c : cases) {
    const std::string label = "code " + std::to_string(c.code) + ", " + std::to_string(c.bits) + " bits, photometric " +
                              std::to_string(c.photometric);
    TBitmap raster = c.bits == 1 ? mono : colour;
    TImageIO io;
    io.AttachedBitmap(&raster);
    io.Params.TIFF_LZWCompFunc = hooks.TiffEncoder;
    io.Params.BitsPerSample = c.bits == 1 ? 1 : 8;
    io.Params.SamplesPerPixel = c.bits == 1 ? 1 : 3;
    io.Params.TIFF_Compression = c.code;
    io.Params.TIFF_PhotometInterpret = c.photometric;
    io.Params.DpiX = io.Params.DpiY = 300;
    const std::string path = testing_util::ScratchPath("peer.tif"), plain = testing_util::ScratchPath("plain.tif");
    io.SaveToFile(path);
    ASSERT_FALSE(io.Aborting) << label;
    TBytes peer, tags;
    // libtiff decodes every strip.
    ASSERT_TRUE(RunCommand("tiffcp -c none '" + path + "' '" + plain + "'", peer)) << label;
    ASSERT_TRUE(RunCommand("convert '" + plain + "' -depth 8 rgb:-", peer)) << label;
    const TBytes want = testing_util::RgbTopDown(raster);
    if (c.photometric == 5) {  // CMYK: two integer divisions on the way
      EXPECT_LE(MaxDifference(peer, want), 2) << label;
    } else {
      EXPECT_TRUE(peer == want) << label;
    }
    ASSERT_TRUE(RunCommand("tiffdump '" + path + "'", tags)) << label;
    const std::string dump(tags.begin(), tags.end());
    EXPECT_NE(dump.find("XResolution (282) RATIONAL (5) 1<300>"), std::string::npos) << label;
    EXPECT_NE(dump.find("ResolutionUnit (296) SHORT (3) 1<2>"), std::string::npos) << label;
  }
}

}  // namespace
}  // namespace skyloom
