#include "image/codecs/tiff_writer.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/packbits.h"
#include "image/codecs/tiff_directory.h"
#include "image/codecs/tiff_rows.h"
#include "image/codecs/tiff_strips.h"
#include "image/io_params.h"
#include "toolkit/stream.h"

namespace skyloom {

using namespace tiff;

namespace {

// The output file from the position where it starts; offsets are relative.
class TTiffOut {
 public:
  explicit TTiffOut(TStream& stream) : stream_(stream), start_(stream.Position()) {}
  std::uint32_t Here() { return static_cast<std::uint32_t>(stream_.Position() - start_); }
  void Write(const void* data, std::size_t n) { stream_.WriteBuffer(data, n); }
  void Align() {
    if (Here() % 2 == 0) return;
    const std::uint8_t pad = 0;
    Write(&pad, 1);
  }
  void PatchU32(std::uint32_t at, std::uint32_t value) {
    const std::int64_t back = stream_.Position();
    std::uint8_t b[4];
    PutU32(b, value);
    stream_.SetPosition(start_ + at);
    Write(b, 4);
    stream_.SetPosition(back);
  }

  void Add(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    TTiffEntry e{tag, type, count, {}};
    if (type == kShort && count == 1)
      PutU16(e.field, value);
    else
      PutU32(e.field, value);
    entries_.push_back(e);
  }
  // A value of more than 4 bytes is written now, at an even offset.
  void AddBlock(std::uint16_t tag, std::uint16_t type, std::uint32_t count, const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() <= 4) {
      TTiffEntry e{tag, type, count, {}};
      std::copy(bytes.begin(), bytes.end(), e.field);
      entries_.push_back(e);
      return;
    }
    Align();
    const std::uint32_t at = Here();
    Write(bytes.data(), bytes.size());
    Add(tag, type, count, at);
  }
  void AddText(std::uint16_t tag, const std::string& text) {
    if (text.empty()) return;
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    AddBlock(tag, kAscii, static_cast<std::uint32_t>(bytes.size()), bytes);
  }
  void AddRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) {
    std::vector<std::uint8_t> bytes(8);
    PutU32(bytes.data(), numerator);
    PutU32(bytes.data() + 4, denominator);
    AddBlock(tag, kRational, 1, bytes);
  }

  // The directory at an even offset, entries in ascending tag order, linked
  // from the header.
  void FinishDirectory() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const TTiffEntry& a, const TTiffEntry& b) { return a.tag < b.tag; });
    Align();
    const std::uint32_t at = Here();
    std::vector<std::uint8_t> dir(2 + entries_.size() * 12 + 4, 0);
    PutU16(dir.data(), static_cast<std::uint32_t>(entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      std::uint8_t* p = dir.data() + 2 + i * 12;
      PutU16(p, entries_[i].tag);
      PutU16(p + 2, entries_[i].type);
      PutU32(p + 4, entries_[i].count);
      std::copy(entries_[i].field, entries_[i].field + 4, p + 8);
    }
    Write(dir.data(), dir.size());
    PatchU32(4, at);
  }

 private:
  TStream& stream_;
  std::int64_t start_;
  std::vector<TTiffEntry> entries_;
};

// What the params ask for, settled against the raster.
struct TTiffOutput {
  bool oneBit = false;
  bool cmyk = false;
  bool ccitt = false;
  std::uint32_t compression = kUncompressed;
  const TTiffLzwEncoder* lzw = nullptr;  // set when the rows go out LZW-coded
  std::uint32_t t4Options = 0;
  std::uint32_t photometric = 2;
  bool predictor = false;
  bool invert = false;  // 1-bit rows stored with 1 = black
  std::uint32_t samples = 3;
  std::size_t rowBytes = 0;
};

const TTiffLzwEncoder* LzwEncoderOf(const TIOParamsVals& params) {
  if (params.TIFF_LZWCompFunc) return &params.TIFF_LZWCompFunc;
  const TTiffLzwEncoder& global = GlobalLzwHooks().TiffEncoder;
  return global ? &global : nullptr;
}

TTiffOutput ChooseOutput(const TIOParamsVals& params, int width) {
  TTiffOutput o;
  o.oneBit = params.BitsPerSample == 1 && params.SamplesPerPixel == 1;
  o.cmyk = !o.oneBit && params.TIFF_PhotometInterpret == 5;
  switch (params.TIFF_Compression) {
    case 1: o.compression = kCcittRle; break;
    case 2: o.compression = kCcittT4; break;
    case 3: o.compression = kCcittT4, o.t4Options = 1; break;
    case 4: o.compression = kCcittT6; break;
    case 5:
      o.lzw = LzwEncoderOf(params);
      o.compression = o.lzw ? kLzw : kUncompressed;
      break;
    case 8: o.compression = kPackBits; break;
    default: o.compression = kUncompressed;
  }
  o.ccitt = IsCcitt(o.compression);
  if (o.ccitt && !o.oneBit) o.compression = kUncompressed, o.t4Options = 0, o.ccitt = false;
  o.samples = o.oneBit ? 1 : o.cmyk ? 4 : 3;
  o.predictor = o.compression == kLzw && !o.oneBit && o.samples == 3;
  if (o.oneBit) {
    const int asked = params.TIFF_PhotometInterpret;
    // Fax pages are white-is-zero by custom; the rows then go out inverted.
    o.photometric = asked == 0 || asked == 1 ? static_cast<std::uint32_t>(asked) : o.ccitt ? 0 : 1;
    o.invert = o.photometric == 0;
  } else {
    o.photometric = o.cmyk ? 5 : 2;
  }
  const auto w = static_cast<std::size_t>(width);
  o.rowBytes = o.oneBit ? (w + 7) / 8 : w * o.samples;
  return o;
}

// Row y of the source as stored in the file.
void FileRow(const TBitmap& source, const TTiffOutput& o, int y, std::uint8_t* out) {
  const std::uint8_t* p = source.ScanLine(y);
  if (o.oneBit) {
    CopyBilevelRow(p, source.Width(), o.invert, out);
    return;
  }
  const int width = source.Width();
  if (!o.cmyk) {
    for (int x = 0; x < width; ++x, p += 3, out += 3) out[0] = p[2], out[1] = p[1], out[2] = p[0];
    return;
  }
  for (int x = 0; x < width; ++x, p += 3, out += 4) {
    const unsigned r = p[2], g = p[1], b = p[0];
    const unsigned m = std::max({r, g, b, 1u});
    out[0] = static_cast<std::uint8_t>(255 - r * 255 / m);
    out[1] = static_cast<std::uint8_t>(255 - g * 255 / m);
    out[2] = static_cast<std::uint8_t>(255 - b * 255 / m);
    out[3] = static_cast<std::uint8_t>(255 - std::max({r, g, b}));
  }
}

void Predict(std::uint8_t* row, std::size_t bytes, std::size_t samples) {
  for (std::size_t i = bytes; i-- > samples;) row[i] = static_cast<std::uint8_t>(row[i] - row[i - samples]);
}

// Releases the encoder's state, writing the end of its stream, on every path.
class TLzwSink {
 public:
  TLzwSink(const TTiffLzwEncoder& encoder, TStream& stream) : encoder_(encoder), stream_(stream) {}
  ~TLzwSink() {
    if (!state_) return;
    try {
      encoder_(nullptr, 0, stream_, state_);
    } catch (...) {  // already failing: the state is released all the same
    }
  }
  TLzwSink(const TLzwSink&) = delete;
  TLzwSink& operator=(const TLzwSink&) = delete;
  void Row(const std::uint8_t* row, std::size_t n) { encoder_(row, static_cast<int>(n), stream_, state_); }
  void Finish() { encoder_(nullptr, 0, stream_, state_); }

 private:
  const TTiffLzwEncoder& encoder_;
  TStream& stream_;
  TTiffLzwState* state_ = nullptr;
};

// Writes the strip; answers false when stopped through Aborting.
bool WriteStrip(TStream& stream, const TBitmap& source, const TTiffOutput& o, TProgressRec& progress) {
  const int height = source.Height();
  progress.units = height;
  if (o.ccitt) {
    std::vector<std::uint8_t> rows(o.rowBytes * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      if (progress.Report(y)) return false;
      FileRow(source, o, y, rows.data() + o.rowBytes * static_cast<std::size_t>(y));
    }
    const auto coded = EncodeFaxRows(FaxParamsOf(o.compression, o.t4Options, source.Width()), rows.data(), o.rowBytes,
                                     height);
    stream.WriteBuffer(coded.data(), coded.size());
    return true;
  }
  std::vector<std::uint8_t> row(o.rowBytes);
  std::optional<TLzwSink> lzw;
  if (o.lzw) lzw.emplace(*o.lzw, stream);
  std::vector<std::uint8_t> packed;
  for (int y = 0; y < height; ++y) {
    if (progress.Report(y)) return false;
    FileRow(source, o, y, row.data());
    if (lzw) {
      if (o.predictor) Predict(row.data(), row.size(), o.samples);
      lzw->Row(row.data(), row.size());
    } else if (o.compression == kPackBits) {
      packed.clear();
      EncodePackBitsRow(row.data(), row.size(), packed);
      stream.WriteBuffer(packed.data(), packed.size());
    } else {
      stream.WriteBuffer(row.data(), row.size());
    }
  }
  if (lzw) lzw->Finish();
  return true;
}

// The raster in the output's form: itself, or a 1-bit or 24-bit copy. The
// rows are read at 1 or 24 bits, so any other depth (an 8-bit raster from a
// direct caller) is converted too; monochrome reduction takes 24 bits.
const TBitmap& SourceFor(const TBitmap& raster, const TTiffOutput& o, std::optional<TBitmap>& converted) {
  const TPixelFormat format = raster.PixelFormat();
  if (o.oneBit && format == TPixelFormat::pf24bit) {
    std::vector<TIERGB> map;
    converted = ToMonochrome(raster, map);
  } else if (o.oneBit && format != TPixelFormat::pf1bit) {
    std::vector<TIERGB> map;
    converted = ToMonochrome(Copy24Bit(raster), map);
  } else if (!o.oneBit && format != TPixelFormat::pf24bit) {
    converted = Copy24Bit(raster);
  }
  return converted ? *converted : raster;
}

std::vector<std::uint8_t> Longs(std::uint32_t value, std::uint32_t count) {
  std::vector<std::uint8_t> bytes(4 * count);
  for (std::uint32_t i = 0; i < count; ++i) PutU32(bytes.data() + 4 * i, value);
  return bytes;
}

std::uint32_t Scaled(std::int32_t position) { return static_cast<std::uint32_t>(static_cast<std::int64_t>(position) * 10000); }

}  // namespace

void WriteTiffStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress) {
  const TTiffOutput o = ChooseOutput(params, raster.Width());
  std::optional<TBitmap> converted;
  const TBitmap& source = SourceFor(raster, o, converted);
  TTiffOut out(stream);
  const std::uint8_t header[8] = {'I', 'I', 42, 0, 0, 0, 0, 0};
  out.Write(header, sizeof header);

  out.Add(kWidth, kLong, 1, static_cast<std::uint32_t>(source.Width()));
  out.Add(kLength, kLong, 1, static_cast<std::uint32_t>(source.Height()));
  if (o.oneBit)
    out.Add(kBitsPerSample, kShort, 1, 1);
  else
    out.AddBlock(kBitsPerSample, kLong, o.samples, Longs(8, o.samples));
  out.Add(kCompression, kShort, 1, o.compression);
  out.Add(kPhotometric, kShort, 1, o.photometric);
  out.AddText(kDocumentName, params.TIFF_DocumentName);
  out.AddText(kDescription, params.TIFF_ImageDescription);
  out.Align();
  const std::uint32_t stripAt = out.Here();
  out.Add(kStripOffsets, kLong, 1, stripAt);
  if (!WriteStrip(stream, source, o, progress)) return;
  const std::uint32_t stripBytes = out.Here() - stripAt;
  out.Add(kSamples, kShort, 1, o.samples);
  out.Add(kRowsPerStrip, kLong, 1, static_cast<std::uint32_t>(source.Height()));
  out.Add(kStripByteCounts, kLong, 1, stripBytes);
  out.AddRational(kXResolution, static_cast<std::uint32_t>(params.DpiX), 1);
  out.AddRational(kYResolution, static_cast<std::uint32_t>(params.DpiY), 1);
  out.AddText(kPageName, params.TIFF_PageName);
  out.AddRational(kXPosition, Scaled(params.TIFF_XPos), 10000);
  out.AddRational(kYPosition, Scaled(params.TIFF_YPos), 10000);
  if (o.compression == kCcittT4) out.Add(kT4Options, kLong, 1, o.t4Options);
  out.Add(kResolutionUnit, kShort, 1, 2);  // inch
  if (params.TIFF_PageNumber != 0 || params.TIFF_PagesCount != 0) {
    std::vector<std::uint8_t> pages(4);
    PutU16(pages.data(), static_cast<std::uint32_t>(params.TIFF_PageNumber));
    PutU16(pages.data() + 2, static_cast<std::uint32_t>(params.TIFF_PagesCount));
    out.AddBlock(kPageNumber, kShort, 2, pages);
  }
  if (o.predictor) out.Add(kPredictor, kShort, 1, 2);
  out.FinishDirectory();
}

}  // namespace skyloom
