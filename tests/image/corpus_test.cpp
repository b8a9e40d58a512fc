// The public BMP, ICO and CUR suites against their reference decodes
// (MANIFEST.tsv: SHA-256 of 8-bit RGB, top row first, first image only,
// alpha composited over black). Every file either matches, or differs for a
// reason listed below (checked where the reason allows it), or is one that
// no peer decodes and must at least load safely.
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

using testing_util::ReadManifest;
using testing_util::TManifestRow;

bool InScope(const TManifestRow& row) {
  return row.format == "BMP" || row.format == "DIB" || row.format == "ICO" || row.format == "CUR";
}

struct TDecoded {
  bool aborting = false;
  std::string error;
  TBitmap raster;
  TIOParamsVals params;
};

TDecoded Decode(const std::string& relative, TIERGB iconBackground = {255, 255, 255}) {
  TDecoded out;
  TImageIO io;
  io.AttachedBitmap(&out.raster);
  io.Params.ICO_Background = iconBackground;
  try {
    io.LoadFromFile(testing_util::TestDataPath(relative));
  } catch (const std::exception& e) {
    out.error = e.what();
  }
  out.aborting = io.Aborting;
  out.params = io.Params;
  return out;
}

std::string Hash(const TBytes& rgb) { return testing_util::Sha256Hex(rgb); }

// How a listed difference is confirmed.
enum class TCheck {
  kAborts,           // the engine refuses the file with Aborting
  kFullRange,        // channels of w bits are kept as value << (8 - w); scaled to 0..255 they match
  kBlackBackground,  // masked icon pixels take the background; with black it matches
  kDecodes,          // decodes (no Aborting) to the reference size; pixels differ as stated
};

struct TExpected {
  TCheck check;
  const char* reason;
  int widths[3] = {0, 0, 0};  // kFullRange: bits of red, green, blue
};

const char* const kSteps = "16-bit channels are shifted to 8 bits (5 bits: 0..248 in steps of 8), not scaled to 255";
const char* const kAlpha = "the raster has no alpha: colour bytes are kept as stored, not composited over black";
const char* const kMask = "masked icon pixels take the icon background colour (white by default)";
const char* const kPngIcon = "PNG-compressed icon entries: the icon reader reads bitmap entries only";
const char* const kUndefined =
    "pixels skipped by run-length deltas or an early end are undefined; the raster keeps them black";
const char* const kCutRuns = "run-length runs past the row end are cut off there; the peer wraps them";
const char* const kShifted = "channels wider or narrower than 8 bits are scaled by shifting, not by rounding";

const std::map<std::string, TExpected>& ExpectedDifferences() {
  static const std::map<std::string, TExpected> table = {
      {"bmpsuite/b/badrle.bmp", {TCheck::kDecodes, kCutRuns}},
      {"bmpsuite/b/badrle4.bmp", {TCheck::kDecodes, kCutRuns}},
      {"bmpsuite/b/badrle4bis.bmp", {TCheck::kDecodes, kCutRuns}},
      {"bmpsuite/b/badrle4ter.bmp", {TCheck::kDecodes, kCutRuns}},
      {"bmpsuite/b/badrlebis.bmp", {TCheck::kDecodes, kCutRuns}},
      {"bmpsuite/b/badrleter.bmp", {TCheck::kDecodes, kCutRuns}},
      {"bmpsuite/b/pal8badindex.bmp", {TCheck::kDecodes, "indices beyond the colour table read black"}},
      {"bmpsuite/g/rgb16-565.bmp", {TCheck::kFullRange, kSteps, {5, 6, 5}}},
      {"bmpsuite/g/rgb16-565pal.bmp", {TCheck::kFullRange, kSteps, {5, 6, 5}}},
      {"bmpsuite/g/rgb16.bmp", {TCheck::kFullRange, kSteps, {5, 5, 5}}},
      {"bmpsuite/g/rgb16bfdef.bmp", {TCheck::kFullRange, kSteps, {5, 5, 5}}},
      {"bmpsuite/q/rgb16faketrns.bmp", {TCheck::kFullRange, kSteps, {5, 5, 5}}},
      {"image-rs/bmp/images/Info_X1_R5_G5_B5.bmp", {TCheck::kFullRange, kSteps, {5, 5, 5}}},
      {"image-rs/bmp/images/Info_X1_R5_G5_B5_Top_Down.bmp", {TCheck::kFullRange, kSteps, {5, 5, 5}}},
      {"image-rs/bmp/images/V3_R5_G6_B5.bmp", {TCheck::kFullRange, kSteps, {5, 6, 5}}},
      {"image-rs/bmp/images/V3_R5_G6_B5_Top_Down.bmp", {TCheck::kFullRange, kSteps, {5, 6, 5}}},
      {"image-rs/bmp/images/V4_R5_G6_B5.bmp", {TCheck::kFullRange, kSteps, {5, 6, 5}}},
      {"bmpsuite/q/pal4rlecut.bmp", {TCheck::kDecodes, kUndefined}},
      {"bmpsuite/q/pal4rletrns.bmp", {TCheck::kDecodes, kUndefined}},
      {"bmpsuite/q/pal8rlecut.bmp", {TCheck::kDecodes, kUndefined}},
      {"bmpsuite/q/pal8rletrns.bmp", {TCheck::kDecodes, kUndefined}},
      {"bmpsuite/q/rgb16-3103.bmp", {TCheck::kDecodes, kShifted}},
      {"bmpsuite/q/rgb32-111110.bmp", {TCheck::kDecodes, kShifted}},
      {"bmpsuite/q/rgb32-7187.bmp", {TCheck::kDecodes, kShifted}},
      {"bmpsuite/q/rgba16-1924.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba16-4444.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba16-5551.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba32-1.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba32-1010102.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba32-2.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba32-61754.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba32-81284.bmp", {TCheck::kDecodes, kAlpha}},
      {"bmpsuite/q/rgba32h56.bmp", {TCheck::kDecodes, kAlpha}},
      {"image-rs/bmp/images/V3_A1_R5_G5_B5.bmp", {TCheck::kDecodes, kAlpha}},
      {"image-rs/bmp/images/V3_A1_R5_G5_B5_Top_Down.bmp", {TCheck::kDecodes, kAlpha}},
      {"image-rs/bmp/images/V3_A4_R4_G4_B4.bmp", {TCheck::kDecodes, kAlpha}},
      {"image-rs/bmp/images/V3_A4_R4_G4_B4_Top_Down.bmp", {TCheck::kDecodes, kAlpha}},
      {"image-rs/bmp/images/V5_A1_R5_G5_B5.bmp", {TCheck::kDecodes, kAlpha}},
      {"image-rs/bmp/images/rgba16-1924.bmp", {TCheck::kDecodes, kAlpha}},
      {"pillow/rgb32bf-abgr.bmp", {TCheck::kDecodes, kAlpha}},
      {"pillow/rgb32bf-rgba.bmp", {TCheck::kDecodes, kAlpha}},
      {"pillow/clipboard.dib",
       {TCheck::kAborts, "a clipboard DIB has no 14-byte file header; the reader needs \"BM\""}},
      {"pillow/mmap_error.bmp",
       {TCheck::kDecodes, "its pixel offset points into the colour table and is honoured as stored"}},
      {"image-rs/ico/images/bmp-24bpp-mask.ico", {TCheck::kBlackBackground, kMask}},
      {"image-rs/ico/images/bmp-32bpp-alpha.ico", {TCheck::kDecodes, kAlpha}},
      {"image-rs/ico/images/bmp-32bpp-conflicting-and-mask.ico", {TCheck::kDecodes, kAlpha}},
      {"image-rs/ico/images/bmp_v5_with_icc.ico", {TCheck::kDecodes, kAlpha}},
      {"image-rs/ico/images/multiple_entries_with_different_bit_depth.ico", {TCheck::kBlackBackground, kMask}},
      {"image-rs/ico/images/smile.ico", {TCheck::kBlackBackground, kMask}},
      {"image-rs/ico/images/lenient-bpp.ico", {TCheck::kAborts, kPngIcon}},
      {"image-rs/ico/images/png-32bpp-alpha.ico", {TCheck::kAborts, kPngIcon}},
      {"image-rs/ico/images/png_l8.ico", {TCheck::kAborts, kPngIcon}},
      {"image-rs/ico/images/png_rgb8.ico", {TCheck::kAborts, kPngIcon}},
      {"pillow/hopper_draw.ico", {TCheck::kAborts, kPngIcon}},
      {"pillow/pillow.ico", {TCheck::kAborts, kPngIcon}},
      {"pillow/deerstalker.cur", {TCheck::kDecodes, kAlpha}},
      {"pillow/hopper_mask.ico", {TCheck::kBlackBackground, kMask}},
      {"pillow/mask_1.cur", {TCheck::kBlackBackground, kMask}},
      {"pillow/mask_L.cur", {TCheck::kBlackBackground, kMask}},
      {"pillow/python.ico", {TCheck::kDecodes, kAlpha}},
  };
  return table;
}

// Channel values kept as v << (8 - w), scaled to the full range by bit
// replication.
TBytes FullRange(TBytes rgb, const int (&widths)[3]) {
  for (std::size_t i = 0; i < rgb.size(); ++i) {
    const int w = widths[i % 3];
    const int v = rgb[i] >> (8 - w);
    int out = 0;
    for (int shift = 8 - w; shift > -w; shift -= w) out |= shift >= 0 ? v << shift : v >> -shift;
    rgb[i] = static_cast<std::uint8_t>(out);
  }
  return rgb;
}

enum class TOutcome { kMatched, kExpected, kFailed };

TOutcome Judge(const TManifestRow& row, std::string& note) {
  const TDecoded d = Decode(row.path);
  if (!d.error.empty()) {
    note = "raised: " + d.error;
    return TOutcome::kFailed;
  }
  const bool decoded = !d.aborting;
  const bool sized = d.raster.Width() == row.width && d.raster.Height() == row.height;
  if (decoded && row.peerOk == "yes" && Hash(testing_util::RgbTopDown(d.raster)) == row.sha) return TOutcome::kMatched;

  const auto& table = ExpectedDifferences();
  const auto it = table.find(row.path);
  if (it == table.end()) {
    if (row.peerOk != "yes") {
      note = "no peer decodes it; loaded safely";
      return TOutcome::kExpected;
    }
    note = decoded ? "pixels differ from the reference" : "set Aborting";
    return TOutcome::kFailed;
  }
  const TExpected& e = it->second;
  note = e.reason;
  bool ok = false;
  switch (e.check) {
    case TCheck::kAborts: ok = d.aborting; break;
    case TCheck::kFullRange: ok = decoded && Hash(FullRange(testing_util::RgbTopDown(d.raster), e.widths)) == row.sha; break;
    case TCheck::kBlackBackground: {
      const TDecoded black = Decode(row.path, TIERGB{0, 0, 0});
      ok = !black.aborting && Hash(testing_util::RgbTopDown(black.raster)) == row.sha;
      break;
    }
    case TCheck::kDecodes: ok = decoded && sized; break;
  }
  if (!ok) note += " (but the stated difference does not account for the result)";
  return ok ? TOutcome::kExpected : TOutcome::kFailed;
}

TEST(Corpus, BmpIcoCurSuitesMatchOrDifferForAStatedReason) {
  const auto rows = ReadManifest();
  ASSERT_FALSE(rows.empty()) << "MANIFEST.tsv not found under " << SKYLOOM_TESTDATA_DIR;
  int counts[3] = {0, 0, 0};
  for (const auto& row : rows) {
    if (!InScope(row)) continue;
    std::string note;
    const TOutcome outcome = Judge(row, note);
    ++counts[static_cast<int>(outcome)];
    if (outcome == TOutcome::kExpected) std::printf("  expected difference: %s: %s\n", row.path.c_str(), note.c_str());
    EXPECT_NE(outcome, TOutcome::kFailed) << row.path << ": " << note;
  }
  std::printf("corpus: %d matched, %d expected difference, %d failed\n", counts[0], counts[1], counts[2]);
  EXPECT_GT(counts[0], 80);
}

}  // namespace
}  // namespace skyloom
