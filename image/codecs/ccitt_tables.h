#pragma once
// The code tables of fax coding: terminating and make-up codes of white and
// black runs, the two-dimensional mode codes and end-of-line, both as codes
// to write and as lookup tables to read several bits at a time.
#include <cstdint>
#include <vector>

namespace skyloom::fax {

struct TFaxCode {
  std::uint16_t bits = 0;   // right-aligned
  std::uint8_t length = 0;  // 0: no such code
};

enum class TCodeKind : std::uint8_t {
  Invalid,     // no code starts with these bits
  Terminating, // value: run of 0..63
  MakeUp,      // value: run, a multiple of 64
  Eol,         // 000000000001
  Pass,
  Horizontal,
  Vertical,    // value: a1 - b1, -3..3
  Extension,   // value: the three extension bits (uncompressed mode is 7)
  Link,        // inside the tables only: value is the second-level table
};

struct TCodeEntry {
  std::int16_t value = 0;
  std::uint8_t length = 0;
  TCodeKind kind = TCodeKind::Invalid;
};

// Every code is at most 13 bits long. Lookup takes the next 13 bits of the
// stream, most significant first; the answer says how many of them the code
// used.
constexpr int kLookupBits = 13;

class TCodeTable {
 public:
  void Add(TFaxCode code, TCodeKind kind, int value);
  TCodeEntry Lookup(std::uint32_t next13) const {
    const TCodeEntry& first = entries_[next13 >> kSecondBits];
    if (first.kind != TCodeKind::Link) return first;
    return entries_[static_cast<std::size_t>(first.value) + (next13 & ((1u << kSecondBits) - 1))];
  }

 private:
  // Codes up to 8 bits resolve in the first level; longer ones take a 5-bit
  // second level below their first 8 bits.
  static constexpr int kFirstBits = 8;
  static constexpr int kSecondBits = kLookupBits - kFirstBits;
  std::vector<TCodeEntry> entries_ = std::vector<TCodeEntry>(1u << kFirstBits);
};

enum TColour { kWhite = 0, kBlack = 1 };

inline TColour Other(TColour colour) { return colour == kWhite ? kBlack : kWhite; }

// Runs of one colour (terminating, make-up, extended make-up and EOL).
const TCodeTable& RunTable(TColour colour);
// Two-dimensional mode codes, extensions and EOL.
const TCodeTable& ModeTable();

// Codes for writing: terminating code of a run 0..63, make-up code of a run
// 64..2560 (a multiple of 64).
TFaxCode TerminatingCode(TColour colour, int run);
TFaxCode MakeUpCode(TColour colour, int run);

constexpr TFaxCode kEolCode{0x001, 12};
constexpr TFaxCode kPassCode{0x1, 4};
constexpr TFaxCode kHorizontalCode{0x1, 3};
// Vertical mode codes for a1 - b1 = -3..3.
constexpr TFaxCode kVerticalCodes[7] = {{0x02, 7}, {0x02, 6}, {0x2, 3}, {0x1, 1}, {0x3, 3}, {0x03, 6}, {0x03, 7}};

constexpr int kMaxMakeUp = 2560;

}  // namespace skyloom::fax
