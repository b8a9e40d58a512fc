// The GIF files of the public suites against their reference decodes
// (MANIFEST.tsv: SHA-256 of the first image as 8-bit RGB, top row first,
// alpha composited over black), and the files the writer makes read back
// by an independent decoder (ImageMagick's convert, native build only).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/image_io.h"
#include "tests/image/sha256.h"
#include "tests/image/test_files.h"

namespace skyloom {
namespace {

using testing_util::TBytes;
using testing_util::TManifestRow;

using TDecoded = testing_util::TDecodedFile;
using testing_util::DecodeFile;

// ImageMagick's decode of a file's first image as raw 8-bit samples; false
// where the tool cannot be run.
bool PeerDecode(const std::string& path, const std::string& options, TBytes& out) {
  return testing_util::ImageMagickDecode(path + "[0]", options, out);
}

std::string Hash(const TBytes& rgb) { return testing_util::Sha256Hex(rgb); }

// Files the peers decode that the reader refuses, each by a rule of the
// codec.
const std::map<std::string, std::string> kRefusedByRule = {
    {"gif-pygif-suite/max-codes.gif", "minimum code size 11 (2..9 accepted)"},
    {"image-gif/samples/set_hsts.gif", "minimum code size 1 (2..9 accepted)"},
    {"pillow/issue_2811.gif", "minimum code size 11 (2..9 accepted)"},
};

bool BlackThenWhite(const TIOParamsVals& p) {
  return p.ColorMapCount() == 2 && p.ColorMap[0] == TIERGB{0, 0, 0} && p.ColorMap[1] == TIERGB{255, 255, 255};
}

// Why a decoded file may differ from its reference; "" when no rule applies.
std::string RuleFor(const TDecoded& d, const TManifestRow& row) {
  const bool placed = d.params.GIF_XPos != 0 || d.params.GIF_YPos != 0;
  if (placed || d.raster.Width() != row.width || d.raster.Height() != row.height)
    return "the image's own rectangle, not the logical screen it is placed on";
  if (d.params.GIF_FlagTranspColor) return "transparency not composited: transparent pixels keep their colour";
  if (d.raster.PixelFormat() == TPixelFormat::pf1bit && BlackThenWhite(d.params))
    return "1-bit raster: every index but 0 of a black-then-white image is white";
  return "";
}

TEST(GifCorpus, FilesMatchTheirReferenceOrDifferByAStatedRule) {
  int matched = 0, explained = 0, refused = 0;
  for (const TManifestRow& row : testing_util::ReadManifest()) {
    if (row.format != "GIF") continue;
    const std::string path = testing_util::TestDataPath(row.path);
    const TDecoded d = DecodeFile(path);
    const auto byRule = kRefusedByRule.find(row.path);
    if (row.peerOk != "yes" || byRule != kRefusedByRule.end()) {  // broken, or outside the codec's rules
      EXPECT_TRUE(d.aborting) << row.path;
      if (byRule != kRefusedByRule.end()) std::printf("  refused: %s: %s\n", row.path.c_str(), byRule->second.c_str());
      ++refused;
      continue;
    }
    ASSERT_FALSE(d.aborting) << row.path;
    const TBytes rgb = testing_util::RgbTopDown(d.raster);
    if (Hash(rgb) == row.sha) {
      ++matched;
      continue;
    }
    const std::string rule = RuleFor(d, row);
    // The peer's own pixels of the image, before placing and compositing.
    TBytes peer;
    const bool peerRan = PeerDecode(path, "-depth 8 rgb:-", peer);
    const bool oneBit = rule.rfind("1-bit", 0) == 0;
    std::printf("  expected difference: %s: %s%s\n", row.path.c_str(), rule.c_str(),
                peerRan || oneBit ? "" : " (not confirmed: no peer decoder here)");
    EXPECT_FALSE(rule.empty()) << row.path << " differs from its reference";
    if (peerRan && !oneBit) {
      EXPECT_TRUE(peer == rgb) << row.path << " differs from the peer's own pixels";
    }
    ++explained;
  }
  std::printf("GIF corpus: %d matched, %d differ by a stated rule, %d refused\n", matched, explained, refused);
  EXPECT_GE(matched, 120);
  EXPECT_EQ(refused, 20);
}

// A full code table need not be followed by a clear code: these files
// code on with 12-bit codes and no new entries.
TEST(GifCorpus, FilesCodingOnAfterAFullTableMatchTheirReference) {
  const std::map<std::string, TManifestRow> rows = [] {
    std::map<std::string, TManifestRow> byPath;
    for (const TManifestRow& row : testing_util::ReadManifest()) byPath[row.path] = row;
    return byPath;
  }();
  for (const char* file : {"gif-pygif-suite/4095-codes.gif", "pillow/iss634.gif"}) {
    const TDecoded d = DecodeFile(testing_util::TestDataPath(file));
    ASSERT_FALSE(d.aborting) << file;
    EXPECT_EQ(Hash(testing_util::RgbTopDown(d.raster)), rows.at(file).sha) << file;
  }
}

// ---- written files read back by the peer -----------------------------------

TEST(GifPeer, WrittenFilesDecodeToTheSamePixelsInImageMagick) {
  TBytes probe;
  if (!PeerDecode(testing_util::TestDataPath("gif-pygif-suite/four-colors.gif"), "-depth 8 rgb:-", probe))
    GTEST_SKIP() << "ImageMagick's convert is not available here";
  const TBitmap picture = testing_util::MakeRaster(301, 23, [](int x, int y) {
    if (x < 100) return 0x2060A0u + static_cast<std::uint32_t>(y % 3) * 0x10;  // flat stretches
    return static_cast<std::uint32_t>((x * 7) << 16 | (y * 11) << 8 | ((x + y) & 0xFF));  // a ramp
  });
  const struct {
    int bits;
    bool interlaced;
  } cases[] = {{1, false}, {2, false}, {4, true}, {8, false}, {8, true}};
  for (const auto& c : cases) {
    const std::string label = std::to_string(c.bits) + " bits" + (c.interlaced ? " interlaced" : "");
    TBitmap raster = picture;
    TImageIO io;
    io.AttachedBitmap(&raster);
    io.Params.BitsPerSample = c.bits;
    io.Params.GIF_Interlaced = c.interlaced;
    const std::string path = testing_util::ScratchPath("peer.gif");
    io.SaveToFile(path);
    ASSERT_FALSE(io.Aborting) << label;
    const TDecoded ours = DecodeFile(path);
    ASSERT_FALSE(ours.aborting) << label;
    TBytes peer;
    ASSERT_TRUE(PeerDecode(path, "-depth 8 rgb:-", peer)) << label;
    EXPECT_TRUE(peer == testing_util::RgbTopDown(ours.raster)) << label;
  }
}

}  // namespace
}  // namespace skyloom
