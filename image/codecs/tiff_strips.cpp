#include "image/codecs/tiff_strips.h"

#include <algorithm>

#include "image/codecs/packbits.h"
#include "image/codecs/tiff_directory.h"

namespace skyloom {

using namespace tiff;
namespace {

class TRawRows final : public TTiffRowSource {
 public:
  TRawRows(std::vector<std::uint8_t>& data, std::size_t rowBytes) : data_(data), rowBytes_(rowBytes) {}
  std::uint8_t* Next() override {
    if (rowBytes_ > data_.size() - position_) return nullptr;
    std::uint8_t* row = data_.data() + position_;
    position_ += rowBytes_;
    return row;
  }

 private:
  std::vector<std::uint8_t>& data_;
  std::size_t rowBytes_;
  std::size_t position_ = 0;
};

class TPackBitsRows final : public TTiffRowSource {
 public:
  TPackBitsRows(const std::vector<std::uint8_t>& data, std::size_t rowBytes)
      : reader_(data.data(), data.size()), row_(rowBytes) {}
  std::uint8_t* Next() override { return reader_.Read(row_.data(), row_.size()) ? row_.data() : nullptr; }

 private:
  TPackBitsReader reader_;
  std::vector<std::uint8_t> row_;
};

class TLzwRows final : public TTiffRowSource {
 public:
  TLzwRows(const TTiffLzwDecoder& decoder, const std::vector<std::uint8_t>& data, std::size_t rowBytes)
      : decoder_(decoder), data_(data), rowBytes_(static_cast<int>(rowBytes)) {}
  ~TLzwRows() override {
    if (state_) decoder_(nullptr, 0, 0, row_, state_);
  }
  TLzwRows(const TLzwRows&) = delete;
  TLzwRows& operator=(const TLzwRows&) = delete;

  std::uint8_t* Next() override {
    // An empty strip has no data pointer, which the hook takes as "release".
    if (failed_ || data_.empty() || !decoder_(data_.data(), data_.size(), rowBytes_, row_, state_) ||
        row_.size() != static_cast<std::size_t>(rowBytes_)) {
      failed_ = true;
      return nullptr;
    }
    return row_.data();
  }

 private:
  const TTiffLzwDecoder& decoder_;
  const std::vector<std::uint8_t>& data_;
  int rowBytes_;
  std::vector<std::uint8_t> row_;
  TTiffLzwState* state_ = nullptr;
  bool failed_ = false;
};

// The whole strip is decoded on the first call: fax rows are small and the
// coder works a strip at a time.
class TFaxRows final : public TTiffRowSource {
 public:
  // Fax rows are 1 bit a pixel whatever else the page claims.
  TFaxRows(const TTiffStripCoding& coding, const std::vector<std::uint8_t>& data, int rows)
      : params_(FaxParamsOf(static_cast<std::uint32_t>(coding.compression), coding.t4Options, coding.width)),
        data_(data),
        rows_(rows),
        rowBytes_((static_cast<std::size_t>(coding.width) + 7) / 8) {}
  std::uint8_t* Next() override {
    if (!decoded_) {
      decoded_ = true;
      // No coding spends less than a bit on a row, so a short strip cannot
      // hold more rows than this: a forged row count costs no memory.
      const std::size_t most = std::min(static_cast<std::size_t>(rows_), 8 * data_.size() + 8);
      out_.assign(rowBytes_ * most, 0);
      good_ = DecodeFaxRows(params_, data_.data(), data_.size(), static_cast<int>(most), out_.data(), rowBytes_);
    }
    if (next_ >= good_) return nullptr;
    return out_.data() + rowBytes_ * static_cast<std::size_t>(next_++);
  }

 private:
  TFaxParams params_;
  const std::vector<std::uint8_t>& data_;
  int rows_;
  std::size_t rowBytes_;
  std::vector<std::uint8_t> out_;
  bool decoded_ = false;
  int good_ = 0;
  int next_ = 0;
};

}  // namespace

TFaxParams FaxParamsOf(std::uint32_t compression, std::uint32_t t4Options, int width) {
  TFaxParams fax;
  fax.scheme = compression == kCcittRle ? TFaxScheme::ModifiedHuffman
               : compression == kCcittT4 ? TFaxScheme::T4
                                         : TFaxScheme::T6;
  fax.t4Options = t4Options;
  fax.width = width;
  return fax;
}

bool TiffCompressionSupported(int compression) {
  const auto c = static_cast<std::uint32_t>(compression);
  return c == kUncompressed || IsCcitt(c) || c == kLzw || c == kPackBits;
}

std::uint64_t MostTiffStripBytes(const TTiffStripCoding& coding, std::uint64_t rows) {
  const std::uint64_t row = coding.rowBytes;
  switch (static_cast<std::uint32_t>(coding.compression)) {
    case kUncompressed: return rows * row;
    // Two bytes for one at worst: a run of one byte coded as a literal.
    case kPackBits: return 2 * rows * row;
    // Every code (at most 12 bits) gives a byte or more; with a clear code
    // (9 bits) before each, 2.25 bytes for one.
    case kLzw: return 3 * rows * row + 16;
    // No fax code spends more than 8 bits on a pixel; end-of-line codes with
    // fill before each row, and RTC or EOFB at the end.
    case kCcittRle:
    case kCcittT4:
    case kCcittT6: return rows * (static_cast<std::uint64_t>(coding.width) + 8) + 16;
    default: return rows * row;
  }
}

std::unique_ptr<TTiffRowSource> MakeTiffRowSource(const TTiffStripCoding& coding, std::vector<std::uint8_t>& data,
                                                  int rows) {
  switch (static_cast<std::uint32_t>(coding.compression)) {
    case kUncompressed: return std::make_unique<TRawRows>(data, coding.rowBytes);
    case kCcittRle:
    case kCcittT4:
    case kCcittT6: return std::make_unique<TFaxRows>(coding, data, rows);
    case kLzw:
      if (!coding.lzw || !*coding.lzw) return nullptr;
      return std::make_unique<TLzwRows>(*coding.lzw, data, coding.rowBytes);
    case kPackBits: return std::make_unique<TPackBitsRows>(data, coding.rowBytes);
    default: return nullptr;
  }
}

}  // namespace skyloom
