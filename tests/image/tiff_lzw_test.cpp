// The TIFF LZW coder: round trips through table resets and width changes,
// rows that end inside a string, and damaged code streams. (Streams made
// by other encoders are decoded in the corpus test.)
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/codecs/tiff_lzw.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Encode(const TBytes& data, int rowLength) {
  TMemoryStream out;
  TTiffLzwState* state = nullptr;
  for (std::size_t at = 0; at < data.size(); at += static_cast<std::size_t>(rowLength))
    EncodeTiffLzwRow(data.data() + at, rowLength, out, state);
  EncodeTiffLzwRow(nullptr, 0, out, state);
  EXPECT_EQ(state, nullptr);
  return out.Bytes();
}

// Decodes rows of rowLength until `rows` are done or one fails; answers the rows.
std::vector<TBytes> Decode(const TBytes& code, int rowLength, int rows) {
  std::vector<TBytes> out;
  TTiffLzwState* state = nullptr;
  TBytes row;
  for (int r = 0; r < rows && DecodeTiffLzwRow(code.data(), code.size(), rowLength, row, state); ++r) out.push_back(row);
  DecodeTiffLzwRow(nullptr, 0, 0, row, state);
  EXPECT_EQ(state, nullptr);
  return out;
}

// Noise, long runs and repeats of earlier stretches: the table fills and
// is cleared many times, and strings grow past a row's length.
TBytes Mixed(std::size_t size) {
  std::mt19937 random(7);
  TBytes data;
  while (data.size() < size) {
    switch (random() % 3) {
      case 0:
        for (int i = 0; i < 300; ++i) data.push_back(static_cast<std::uint8_t>(random()));
        break;
      case 1: data.insert(data.end(), 2000 + random() % 3000, static_cast<std::uint8_t>(random())); break;
      default:
        if (data.size() > 500) {
          const std::size_t from = random() % (data.size() - 400);
          data.insert(data.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                      data.begin() + static_cast<std::ptrdiff_t>(from + 400));
        }
    }
  }
  data.resize(size);
  return data;
}

TEST(TiffLzw, RoundTripsThroughResetsWidthChangesAndRowEnds) {
  for (const int rowLength : {1, 7, 997}) {
    const TBytes data = Mixed(static_cast<std::size_t>(rowLength) * (rowLength == 997 ? 400 : 30000));
    const TBytes code = Encode(data, rowLength);
    const int rows = static_cast<int>(data.size()) / rowLength;
    const auto decoded = Decode(code, rowLength, rows);
    ASSERT_EQ(static_cast<int>(decoded.size()), rows) << "row length " << rowLength;
    TBytes joined;
    for (const auto& r : decoded) joined.insert(joined.end(), r.begin(), r.end());
    EXPECT_TRUE(joined == data) << "row length " << rowLength;
    EXPECT_LT(code.size(), data.size()) << "row length " << rowLength;
  }
}

TEST(TiffLzw, StreamStartsWithClearAndEndsWithEndCode) {
  // "A" alone: clear (256), 65, end (257) in 9-bit codes, MSB first, zero padded.
  // 100000000 001000001 100000001 -> 80 10 60 20 (27 bits, then 5 zero bits)
  const TBytes code = Encode(TBytes{'A'}, 1);
  EXPECT_EQ(code, (TBytes{0x80, 0x10, 0x60, 0x20}));
}

// 9-bit codes packed MSB first.
TBytes Pack9(const std::vector<int>& codes) {
  TBytes out;
  unsigned bits = 0;
  int count = 0;
  for (int c : codes) {
    bits = (bits << 9) | static_cast<unsigned>(c);
    count += 9;
    while (count >= 8) out.push_back(static_cast<std::uint8_t>(bits >> (count -= 8)));
  }
  if (count) out.push_back(static_cast<std::uint8_t>(bits << (8 - count)));
  return out;
}

TEST(TiffLzw, DamagedStreamsFailWithoutReadingPastTheData) {
  // 258 is the next free code after the first pair: 65 65 then "AA" (258) is
  // legal only once entry 258 exists; 300 never is.
  EXPECT_EQ(Decode(Pack9({256, 65, 258, 257}), 3, 1).size(), 1u);   // code == next free: "A" + "AA"
  EXPECT_TRUE(Decode(Pack9({256, 65, 300, 257}), 3, 1).empty());    // beyond the table
  EXPECT_TRUE(Decode(Pack9({256, 258, 257}), 1, 1).empty());        // a string right after a clear
  EXPECT_TRUE(Decode(Pack9({256, 65, 257}), 2, 1).empty());         // ends before the row is full
  EXPECT_TRUE(Decode(Pack9({256, 65, 66}), 4, 1).empty());          // data run out
  EXPECT_TRUE(Decode(TBytes{0x80}, 1, 1).empty());                  // cut inside the clear code
}

TEST(TiffLzw, InstallFillsOnlyTheTiffSlots) {
  TLzwHooks hooks;
  InstallTiffLzwHooks(hooks);
  EXPECT_TRUE(hooks.TiffDecoder && hooks.TiffEncoder);
  EXPECT_FALSE(hooks.GifDecoder || hooks.GifEncoder);
}

}  // namespace
}  // namespace skyloom
