#pragma once
// The container side of TIFF: the 8-byte header, the chain of image file
// directories and the values of their tags, every read checked against the
// file's end. Offsets count from the stream position where the file starts.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace skyloom {

class TStream;

namespace tiff {

// Tag numbers the reader and the writer use.
enum Tag : std::uint16_t {
  kWidth = 256, kLength = 257, kBitsPerSample = 258, kCompression = 259, kPhotometric = 262,
  kDocumentName = 269, kDescription = 270, kStripOffsets = 273, kSamples = 277, kRowsPerStrip = 278,
  kStripByteCounts = 279, kXResolution = 282, kYResolution = 283, kPlanar = 284, kPageName = 285,
  kXPosition = 286, kYPosition = 287, kT4Options = 292, kResolutionUnit = 296, kPageNumber = 297,
  kSoftware = 305, kPredictor = 317, kColourMap = 320, kTileWidth = 322, kTileLength = 323,
  kTileOffsets = 324, kTileByteCounts = 325,
};

// Field types of a directory entry.
enum FieldType : std::uint16_t {
  kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kSByte = 6, kUndefined = 7, kSShort = 8,
  kSLong = 9, kSRational = 10, kFloat = 11, kDouble = 12, kIfd = 13,
};

// Compression tag values.
constexpr std::uint32_t kUncompressed = 1;
constexpr std::uint32_t kCcittRle = 2;  // modified Huffman, rows start on a byte
constexpr std::uint32_t kCcittT4 = 3;
constexpr std::uint32_t kCcittT6 = 4;
constexpr std::uint32_t kLzw = 5;
constexpr std::uint32_t kPackBits = 32773;

constexpr bool IsCcitt(std::uint32_t compression) { return compression >= kCcittRle && compression <= kCcittT6; }

}  // namespace tiff

// Bounded, byte-order aware reads of the file.
class TTiffSource {
 public:
  explicit TTiffSource(TStream& stream);
  // Reads the header; answers false for a byte order other than "II" or
  // "MM" (or a file too short to hold one).
  bool ReadHeader(std::uint32_t& firstDirectory);
  // Answers false, reading nothing, when the bytes lie outside the file.
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
  bool Contains(std::uint64_t offset, std::uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
  std::uint64_t Size() const { return size_; }
  bool BigEndian() const { return bigEndian_; }
  std::uint16_t U16(const std::uint8_t* p) const;
  std::uint32_t U32(const std::uint8_t* p) const;

 private:
  TStream& stream_;
  std::int64_t start_;
  std::uint64_t size_;
  bool bigEndian_ = false;
};

struct TTiffEntry {
  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint8_t field[4] = {};  // the value itself when it fits, else its offset
};

// One directory's entries and typed access to their values. A value whose
// data lie outside the file marks the directory damaged; the caller decides
// what that costs.
class TTiffDirectory {
 public:
  TTiffDirectory(TTiffSource& source, std::vector<TTiffEntry> entries)
      : source_(&source), entries_(std::move(entries)) {}

  bool Has(std::uint16_t tag) const { return Find(tag) != nullptr; }
  // Integer values (BYTE, SHORT, LONG and their signed forms); empty when
  // the tag is missing or of another type.
  std::vector<std::uint32_t> Numbers(std::uint16_t tag);
  std::uint32_t Number(std::uint16_t tag, std::uint32_t missing);
  // The first RATIONAL (or integer) value; missing when absent or x/0.
  double Rational(std::uint16_t tag, double missing);
  // ASCII text up to the first zero byte.
  std::string Text(std::uint16_t tag);
  bool Damaged() const { return damaged_; }

 private:
  const TTiffEntry* Find(std::uint16_t tag) const;
  // The raw value bytes of an entry (count x type size), or none.
  std::optional<std::vector<std::uint8_t>> Raw(const TTiffEntry& entry);

  TTiffSource* source_;
  std::vector<TTiffEntry> entries_;
  bool damaged_ = false;
};

// The walk of the directory chain from the header's first offset.
struct TTiffChain {
  int count = 0;                          // directories met
  std::optional<TTiffDirectory> wanted;   // the one at the wanted position
  bool brokenLink = false;                // a link pointed outside the file
};

// Follows the chain, counting directories, and loads the entries of the
// one at position index. The chain ends at a zero link, at a link outside
// the file, or at a directory met before (a cycle of any length).
TTiffChain WalkTiffChain(TTiffSource& source, std::uint32_t firstDirectory, int index);

}  // namespace skyloom
