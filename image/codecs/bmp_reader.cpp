#include "image/codecs/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/bmp_pixels.h"
#include "image/codecs/bmp_rle.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/raster_limits.h"
#include "image/io_params.h"
#include "image/screen_dpi.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::uint16_t kBmpType = 0x4D42;  // "BM"
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitFields = 3;
constexpr std::size_t kMaxColours = 256;

struct TBmpHeader {
  std::int64_t start = 0;
  std::uint32_t fileSize = 0;
  std::uint32_t pixelOffset = 0;
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t imageSize = 0;
  std::uint32_t coloursUsed = 0;
  TPixelLayout layout;
};

// Reads count colour-table entries of entrySize bytes (blue, green, red
// first); only the first 256 are kept, the rest skipped.
std::vector<TIERGB> ReadColourTable(TStream& stream, std::uint32_t count, int entrySize) {
  const std::size_t kept = std::min<std::size_t>(count, kMaxColours);
  std::vector<std::uint8_t> raw(kept * static_cast<std::size_t>(entrySize));
  if (!ReadFully(stream, raw.data(), raw.size())) return {};
  std::vector<TIERGB> map(kept);
  for (std::size_t i = 0; i < kept; ++i) {
    const std::uint8_t* e = raw.data() + i * static_cast<std::size_t>(entrySize);
    map[i] = TIERGB{e[0], e[1], e[2]};
  }
  if (count > kept) stream.Seek(static_cast<std::int64_t>(count - kept) * entrySize, TSeekOrigin::soCurrent);
  return map;
}

void ReadCoreHeader(TStream& stream, TBmpHeader& h, TIOParamsVals& params) {
  std::uint8_t core[kCoreHeaderSize] = {};
  ReadFully(stream, core, sizeof core);
  params.BMP_Version = 2;
  h.width = GetU16(core + 4);
  h.height = GetU16(core + 6);
  h.bitCount = GetU16(core + 10);
  h.compression = kBiRgb;
  params.DpiX = params.DpiY = ScreenDpi();
  if (h.bitCount <= 8) params.ColorMap = ReadColourTable(stream, 1u << h.bitCount, 3);
}

// Bit-field masks: inside headers of 52 bytes and more (the 64-byte header
// of the other bitmap family excepted), else in 12 bytes after the header.
// They come before the colour table.
void ReadMasks(TStream& stream, const std::uint8_t* info, TBmpHeader& h) {
  std::uint8_t masks[12] = {};
  if (h.headerSize >= 52 && h.headerSize != 64)
    std::memcpy(masks, info + 40, sizeof masks);
  else
    ReadFully(stream, masks, sizeof masks);
  h.layout = TPixelLayout::WithMasks(h.bitCount, GetU32(masks), GetU32(masks + 4), GetU32(masks + 8));
}

void ReadInfoHeader(TStream& stream, TBmpHeader& h, TIOParamsVals& params) {
  std::uint8_t info[64] = {};
  const std::size_t taken = std::clamp<std::size_t>(h.headerSize, 4, sizeof info);
  ReadFully(stream, info, taken);
  if (h.headerSize > sizeof info) stream.Seek(h.headerSize - sizeof info, TSeekOrigin::soCurrent);
  params.BMP_Version = h.headerSize == 64 ? 3 : h.headerSize == 40 ? 1 : 0;
  const std::int32_t height = GetI32(info + 8);
  h.width = GetI32(info + 4);
  h.topDown = height < 0;
  h.height = height < 0 ? -static_cast<std::int64_t>(height) : height;
  h.bitCount = GetU16(info + 14);
  h.compression = GetU32(info + 16);
  h.imageSize = GetU32(info + 20);
  params.DpiX = DpiFromPixelsPerMetre(GetI32(info + 24));
  params.DpiY = DpiFromPixelsPerMetre(GetI32(info + 28));
  h.coloursUsed = GetU32(info + 32);
  if (h.coloursUsed == 0 && h.bitCount <= 8) h.coloursUsed = 1u << h.bitCount;
  if (h.compression == kBiBitFields && (h.bitCount == 16 || h.bitCount == 32)) ReadMasks(stream, info, h);
  if (h.coloursUsed != 0) params.ColorMap = ReadColourTable(stream, h.coloursUsed, 4);
}

void SetSampleFormat(int bitCount, TIOParamsVals& params) {
  switch (bitCount) {
    case 16: params.BitsPerSample = 5; params.SamplesPerPixel = 3; return;
    case 24:
    case 32: params.BitsPerSample = 8; params.SamplesPerPixel = 3; return;
    default:  // 1, 4, 8 (and unknown depths up to 8) are palette images
      if (bitCount <= 8) {
        params.BitsPerSample = bitCount;
        params.SamplesPerPixel = 1;
      } else {
        params.BitsPerSample = 8;
        params.SamplesPerPixel = 3;
      }
  }
}

bool IsRle(const TBmpHeader& h) {
  return (h.bitCount == 8 && h.compression == kBiRle8) || (h.bitCount == 4 && h.compression == kBiRle4);
}

// Direct-colour rows are decoded whatever the compression field says (16
// bits use masks with bit fields only, 5-5-5 otherwise); palette rows only
// when uncompressed.
bool IsRowByRow(const TBmpHeader& h) {
  if (h.bitCount == 16 || h.bitCount == 24 || h.bitCount == 32) return true;
  return h.compression == kBiRgb && DecodableBitCount(h.bitCount);
}

std::uint8_t* RasterRow(TBitmap& raster, const TBmpHeader& h, int fileRow) {
  return raster.ScanLine(h.topDown ? fileRow : raster.Height() - 1 - fileRow);
}

// Inverting row by row keeps the rows decoded before a stop (a progress
// handler's or short data's) as right as the others, and the rest unwritten.
void CopyMonochromeRow(const std::uint8_t* src, std::size_t bytes, bool invert, std::uint8_t* dst) {
  for (std::size_t i = 0; i < bytes; ++i) dst[i] = static_cast<std::uint8_t>(invert ? ~src[i] : src[i]);
}

void DecodeUncompressed(TStream& stream, const TBmpHeader& h, const TIOParamsVals& params, TBitmap& raster,
                        TProgressRec& progress) {
  const int width = raster.Width();
  const std::size_t fileRow = DibRowSize(width, h.bitCount);
  const TPaletteLut palette(params.ColorMap);
  const bool mono = raster.PixelFormat() == TPixelFormat::pf1bit;
  const bool invert = mono && palette[0] == TIERGB{255, 255, 255};
  std::vector<std::uint8_t> row(fileRow);
  for (int r = 0; r < raster.Height(); ++r) {
    if (progress.Report(r)) return;
    std::fill(row.begin(), row.end(), 0);
    const std::size_t got = ReadAvailable(stream, row.data(), fileRow);
    if (got == 0) return SetAborting(progress);  // the data ended before this row
    std::uint8_t* dst = RasterRow(raster, h, r);
    if (mono)
      CopyMonochromeRow(row.data(), std::min(fileRow, raster.RowSize()), invert, dst);
    else
      DecodeRow24(row.data(), width, h.layout, palette, dst);
    if (got < fileRow) return SetAborting(progress);  // a partial row: keep what came
  }
}

void DecodeRunLength(TStream& stream, const TBmpHeader& h, std::int64_t dataLength, const TIOParamsVals& params,
                     TBitmap& raster, TProgressRec& progress) {
  const auto length = static_cast<std::size_t>(std::clamp<std::int64_t>(dataLength, 0, BytesLeft(stream)));
  std::vector<std::uint8_t> data(length);
  data.resize(stream.Read(data.data(), length));
  DecodeRle(data.data(), data.size(), h.bitCount == 4, TPaletteLut(params.ColorMap), raster, h.topDown, progress);
}

}  // namespace

void ReadBmpStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, std::int64_t sizeHint, bool paramsOnly,
                   TProgressRec& progress) {
  TBmpHeader h;
  h.start = stream.Position();
  std::uint8_t file[14];
  if (!ReadFully(stream, file, sizeof file) || GetU16(file) != kBmpType) {
    SetAborting(progress);
    return;
  }
  h.fileSize = GetU32(file + 2);
  h.pixelOffset = GetU32(file + 10);
  if (sizeHint < 1 && h.fileSize != 0) sizeHint = h.fileSize;

  std::uint8_t size[4] = {};
  ReadFully(stream, size, sizeof size);
  stream.Seek(-4, TSeekOrigin::soCurrent);
  h.headerSize = GetU32(size);
  params.FreeColorMap();
  if (h.headerSize == kCoreHeaderSize)
    ReadCoreHeader(stream, h, params);
  else
    ReadInfoHeader(stream, h, params);
  if (!h.layout.bitFields) h.layout.bitCount = h.bitCount;
  params.BMP_Compression = (h.compression == kBiRle8 || h.compression == kBiRle4) ? 1 : 0;
  params.Width = static_cast<std::int32_t>(std::clamp<std::int64_t>(h.width, INT32_MIN, INT32_MAX));
  params.Height = static_cast<std::int32_t>(std::min<std::int64_t>(h.height, INT32_MAX));
  SetSampleFormat(h.bitCount, params);

  if (h.pixelOffset != 0) stream.SetPosition(h.start + h.pixelOffset);
  const std::int64_t dataLength = sizeHint > 0 ? sizeHint + h.start - stream.Position() : h.imageSize;

  // A 1-bit file stays 1-bit when its first two colours are black and white
  // (inverted for white then black, so that 1 stays white); any other pair is
  // read through the palette into a 24-bit raster, keeping its colours.
  const TPaletteLut palette(params.ColorMap);
  const bool mono = h.bitCount == 1 && BlackAndWhitePair(palette[0], palette[1]);
  if (h.bitCount == 1 && !mono) params.DescribeTrueColour();
  const TPixelFormat format = mono ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  if (!RasterSizeAcceptable(h.width, h.height, format)) {  // refused before allocating
    SetAborting(progress);
    return;
  }
  if (paramsOnly) return;

  raster.Allocate(static_cast<int>(h.width), static_cast<int>(h.height), format);
  progress.units = h.height;
  if (IsRowByRow(h))
    DecodeUncompressed(stream, h, params, raster, progress);
  else if (IsRle(h))
    DecodeRunLength(stream, h, dataLength, params, raster, progress);
  else  // depth or compression not understood: the sized raster stays blank
    SetAborting(progress);
}

}  // namespace skyloom
