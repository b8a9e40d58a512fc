// The JPEG files of the public suites against their reference decodes
// (MANIFEST.tsv: SHA-256 of 8-bit RGB, top row first). Every file matches,
// or differs for a reason listed here and checked, or is one that no peer
// decodes and must at least load safely.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/image_io.h"
#include "tests/image/sha256.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::TBytes;

using TRow = testing_util::TManifestRow;

std::vector<TRow> JpegRows() {
  std::vector<TRow> rows;
  for (auto& row : testing_util::ReadManifest())
    if (row.format == "JPEG" || row.path.ends_with(".jpg")) rows.push_back(row);
  return rows;
}

struct TDecoded {
  bool aborting = false;
  std::string error;
  TBitmap raster;
};

TDecoded LoadFile(const std::string& relative) {
  TDecoded out;
  TImageIO io;
  io.AttachedBitmap(&out.raster);
  try {
    io.LoadFromFile(testing_util::TestDataPath(relative));
  } catch (const std::exception& e) {
    out.error = e.what();
  }
  out.aborting = io.Aborting;
  return out;
}

std::string HashOf(const TBitmap& raster) { return testing_util::Sha256Hex(testing_util::RgbTopDown(raster)); }

enum class TCheck {
  kTruncated,   // Aborting (what was decoded stays: see the codec tests)
  kByContent,   // not JPEG data: refused by extension, matches when read by content
  kUndecodable, // the library cannot decode it: Aborting
};

struct TExpected {
  TCheck check;
  const char* reason;
};

const std::map<std::string, TExpected>& ExpectedDifferences() {
  static const char* const kTruncated =
      "the file ends before its last scan: the reader stops with Aborting instead of filling grey";
  static const std::map<std::string, TExpected> table = {
      {"pillow/truncated_jpeg.jpg", {TCheck::kTruncated, kTruncated}},
      {"pillow/ultrahdr.jpg", {TCheck::kTruncated, kTruncated}},
      {"jpeg-decoder-reftest/mozilla/jpg-size-6x6.jpg",
       {TCheck::kByContent, "PNG data under a .jpg name: LoadFromFile goes by the extension"}},
      {"libjpeg-turbo-testimages/monkey12.jpg",
       {TCheck::kUndecodable, "12-bit samples: the 8-bit library refuses them"}},
  };
  return table;
}

bool Confirm(const TRow& row, const TExpected& e, const TDecoded& d) {
  switch (e.check) {
    case TCheck::kTruncated:
    case TCheck::kUndecodable: return d.aborting;
    case TCheck::kByContent: {
      if (!d.aborting) return false;
      TMemoryStream stream(testing_util::ReadBytes(testing_util::TestDataPath(row.path)));
      TBitmap raster;
      TImageIO io;
      io.AttachedBitmap(&raster);
      io.LoadFromStream(stream);
      return !io.Aborting && HashOf(raster) == row.sha;
    }
  }
  return false;
}

TEST(JpegCorpus, EveryFileMatchesItsReferenceOrDiffersForAStatedReason) {
  const auto rows = JpegRows();
  ASSERT_GT(rows.size(), 100u) << "MANIFEST.tsv not found under " << SKYLOOM_TESTDATA_DIR;
  int matched = 0, expected = 0;
  for (const auto& row : rows) {
    const TDecoded d = LoadFile(row.path);
    ASSERT_TRUE(d.error.empty()) << row.path << " raised " << d.error;
    if (!d.aborting && row.peerOk == "yes" && HashOf(d.raster) == row.sha) {
      ++matched;
      continue;
    }
    const auto it = ExpectedDifferences().find(row.path);
    if (it == ExpectedDifferences().end()) {
      ADD_FAILURE() << row.path << (d.aborting ? ": set Aborting" : ": pixels differ from the reference");
      continue;
    }
    EXPECT_TRUE(Confirm(row, it->second, d)) << row.path << ": " << it->second.reason
                                             << " (but that does not account for the result)";
    std::printf("  expected difference: %s: %s\n", row.path.c_str(), it->second.reason);
    ++expected;
  }
  std::printf("JPEG corpus: %d matched, %d differ for a stated reason\n", matched, expected);
  EXPECT_GE(matched, 100);
}

}  // namespace
}  // namespace skyloom
