#include "image/codecs/tiff_directory.h"

#include <algorithm>
#include <unordered_set>

#include "image/codecs/byte_order.h"
#include "toolkit/stream.h"

namespace skyloom {

using namespace tiff;

namespace {

constexpr std::size_t kEntrySize = 12;
constexpr int kMaxDirectories = 1 << 16;  // bounds the walk of a forged chain

std::size_t TypeSize(std::uint16_t type) {
  switch (type) {
    case kByte: case kAscii: case kSByte: case kUndefined: return 1;
    case kShort: case kSShort: return 2;
    case kLong: case kSLong: case kFloat: case kIfd: return 4;
    case kRational: case kSRational: case kDouble: return 8;
    default: return 0;
  }
}

// Loads the n entries at `at` as the chain's wanted directory; false (the
// link marked broken) when they cannot be read.
bool ReadEntries(TTiffSource& source, std::uint64_t at, std::size_t n, TTiffChain& chain) {
  std::vector<std::uint8_t> block(n * kEntrySize);
  if (!source.ReadAt(at, block.data(), block.size())) {
    chain.brokenLink = true;
    return false;
  }
  std::vector<TTiffEntry> entries(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = block.data() + i * kEntrySize;
    entries[i].tag = source.U16(p);
    entries[i].type = source.U16(p + 2);
    entries[i].count = source.U32(p + 4);
    std::copy(p + 8, p + 12, entries[i].field);
  }
  chain.wanted.emplace(source, std::move(entries));
  return true;
}

}  // namespace

TTiffSource::TTiffSource(TStream& stream) : stream_(stream), start_(stream.Position()) {
  size_ = static_cast<std::uint64_t>(BytesLeft(stream));
}

bool TTiffSource::ReadHeader(std::uint32_t& firstDirectory) {
  std::uint8_t h[8];
  if (!ReadAt(0, h, sizeof h)) return false;
  if (h[0] == 'I' && h[1] == 'I') {
    bigEndian_ = false;
  } else if (h[0] == 'M' && h[1] == 'M') {
    bigEndian_ = true;
  } else {
    return false;
  }
  firstDirectory = U32(h + 4);
  return true;
}

bool TTiffSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (!Contains(offset, count)) return false;
  stream_.SetPosition(start_ + static_cast<std::int64_t>(offset));
  return ReadFully(stream_, buffer, count);
}

std::uint16_t TTiffSource::U16(const std::uint8_t* p) const {
  return bigEndian_ ? static_cast<std::uint16_t>(p[0] << 8 | p[1]) : GetU16(p);
}

std::uint32_t TTiffSource::U32(const std::uint8_t* p) const {
  if (!bigEndian_) return GetU32(p);
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

const TTiffEntry* TTiffDirectory::Find(std::uint16_t tag) const {
  for (const auto& e : entries_)
    if (e.tag == tag) return &e;
  return nullptr;
}

std::optional<std::vector<std::uint8_t>> TTiffDirectory::Raw(const TTiffEntry& entry) {
  const std::size_t unit = TypeSize(entry.type);
  if (unit == 0) return std::nullopt;
  const std::uint64_t bytes = std::uint64_t{unit} * entry.count;
  if (bytes <= 4) return std::vector<std::uint8_t>(entry.field, entry.field + bytes);
  const std::uint32_t offset = source_->U32(entry.field);
  if (!source_->Contains(offset, bytes)) {  // checked before anything is allocated
    damaged_ = true;
    return std::nullopt;
  }
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(bytes));
  if (!source_->ReadAt(offset, raw.data(), raw.size())) {
    damaged_ = true;
    return std::nullopt;
  }
  return raw;
}

std::vector<std::uint32_t> TTiffDirectory::Numbers(std::uint16_t tag) {
  const TTiffEntry* e = Find(tag);
  std::vector<std::uint32_t> values;
  if (!e) return values;
  const std::size_t unit = TypeSize(e->type);
  const bool integer = e->type == kByte || e->type == kShort || e->type == kLong || e->type == kSByte ||
                       e->type == kSShort || e->type == kSLong || e->type == kUndefined;
  if (!integer) return values;
  const auto raw = Raw(*e);
  if (!raw) return values;
  values.reserve(e->count);
  for (std::size_t i = 0; i < raw->size(); i += unit) {
    const std::uint8_t* p = raw->data() + i;
    values.push_back(unit == 1 ? p[0] : unit == 2 ? source_->U16(p) : source_->U32(p));
  }
  return values;
}

std::uint32_t TTiffDirectory::Number(std::uint16_t tag, std::uint32_t missing) {
  const auto values = Numbers(tag);
  return values.empty() ? missing : values.front();
}

double TTiffDirectory::Rational(std::uint16_t tag, double missing) {
  const TTiffEntry* e = Find(tag);
  if (!e || e->count == 0) return missing;
  if (e->type != kRational && e->type != kSRational) {
    const auto values = Numbers(tag);
    return values.empty() ? missing : values.front();
  }
  TTiffEntry first = *e;
  first.count = 1;
  const auto raw = Raw(first);
  if (!raw) return missing;
  const std::uint32_t num = source_->U32(raw->data()), den = source_->U32(raw->data() + 4);
  if (den == 0) return missing;
  if (e->type == kSRational)
    return static_cast<double>(static_cast<std::int32_t>(num)) / static_cast<std::int32_t>(den);
  return static_cast<double>(num) / den;
}

std::string TTiffDirectory::Text(std::uint16_t tag) {
  const TTiffEntry* e = Find(tag);
  if (!e || (e->type != kAscii && e->type != kByte && e->type != kUndefined)) return {};
  const auto raw = Raw(*e);
  if (!raw) return {};
  return std::string(raw->begin(), std::find(raw->begin(), raw->end(), 0));
}

TTiffChain WalkTiffChain(TTiffSource& source, std::uint32_t firstDirectory, int index) {
  TTiffChain chain;
  std::unordered_set<std::uint32_t> seen;
  std::uint32_t offset = firstDirectory;
  while (offset != 0 && chain.count < kMaxDirectories && seen.insert(offset).second) {
    std::uint8_t countBytes[2];
    if (!source.ReadAt(offset, countBytes, 2)) {
      chain.brokenLink = true;
      break;
    }
    const std::size_t n = source.U16(countBytes);
    const std::uint64_t entriesAt = std::uint64_t{offset} + 2, linkAt = entriesAt + n * kEntrySize;
    if (!source.Contains(entriesAt, n * kEntrySize + 4)) {  // before anything is allocated
      chain.brokenLink = true;
      break;
    }
    // Of the directories other than the wanted one only the link is read.
    std::uint8_t link[4];
    if (!source.ReadAt(linkAt, link, sizeof link)) {
      chain.brokenLink = true;
      break;
    }
    if (chain.count == index && !ReadEntries(source, entriesAt, n, chain)) break;
    ++chain.count;
    offset = source.U32(link);
  }
  return chain;
}

}  // namespace skyloom
