#include "image/codecs/ico_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/bmp_pixels.h"
#include "image/codecs/bmp_reader.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/raster_limits.h"
#include "image/io_params.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr int kIconType = 1;
constexpr int kCursorType = 2;
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestInfoHeader = 256;
constexpr std::int32_t kTrustedHeaderSide = 2048;

bool IsDirectory(TStream& stream, int type) {
  TPositionGuard guard(stream);
  if (BytesLeft(stream) <= 22) return false;
  std::uint8_t dir[kDirectorySize];
  if (!ReadFully(stream, dir, sizeof dir)) return false;
  const int count = GetU16(dir + 4);
  if (GetU16(dir) != 0 || GetU16(dir + 2) != type || count == 0) return false;
  for (int i = 0; i < count; ++i) {
    std::uint8_t e[kEntrySize];
    if (!ReadFully(stream, e, sizeof e)) return false;
    const auto reached = static_cast<std::uint32_t>(kDirectorySize + kEntrySize * (i + 1));
    if (e[3] != 0 || GetU32(e + 8) == 0 || GetU32(e + 12) < reached) return false;
  }
  return true;
}

struct TIconImage {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  std::uint32_t coloursUsed = 0;
  TPixelLayout layout;
};

// Bit count when neither header nor entry states one: from the entry's
// colour count (0 there means 256 or more and tells nothing).
int BitCountFromColours(int colours) {
  if (colours == 0) return 0;
  if (colours <= 2) return 1;
  if (colours <= 16) return 4;
  return 8;
}

// The entry's side unless it is 0 or disagrees with a plausible header.
int ChooseSide(int entrySide, std::int64_t headerSide) {
  const bool headerPlausible = headerSide > 0 && headerSide < kTrustedHeaderSide;
  if (entrySide == 0 || (headerPlausible && headerSide != entrySide)) return static_cast<int>(headerSide);
  return entrySide;
}

bool IsPngSignature(const std::uint8_t* p) { return p[0] == 0x89 && p[1] == 'P' && p[2] == 'N' && p[3] == 'G'; }

// Reads the entry's info header (and bit-field masks) and fills the params.
// Answers false for an image the reader cannot decode.
bool ReadImageHeader(TStream& stream, const std::uint8_t* entry, bool cursor, TIconImage& image,
                     TIOParamsVals& params) {
  std::uint8_t info[kInfoHeaderSize];
  if (!ReadFully(stream, info, sizeof info) || IsPngSignature(info)) return false;
  const std::uint32_t headerSize = GetU32(info);
  if (headerSize < kInfoHeaderSize || headerSize > kLargestInfoHeader) return false;
  stream.Seek(headerSize - kInfoHeaderSize, TSeekOrigin::soCurrent);

  params.DpiX = DpiFromPixelsPerMetre(GetI32(info + 24));
  params.DpiY = DpiFromPixelsPerMetre(GetI32(info + 28));
  // The header's depth describes the data that follow; a cursor's entry
  // holds its hot spot where an icon's holds planes and depth.
  image.bitCount = GetU16(info + 14);
  if (image.bitCount == 0 && !cursor) image.bitCount = GetU16(entry + 6);
  if (image.bitCount == 0) image.bitCount = BitCountFromColours(entry[2]);
  if (!DecodableBitCount(image.bitCount)) return false;

  // The header counts colour bitmap and mask together: half its height.
  image.width = ChooseSide(entry[0], GetI32(info + 4));
  image.height = ChooseSide(entry[1], std::llabs(static_cast<std::int64_t>(GetI32(info + 8))) / 2);
  image.layout.bitCount = image.bitCount;
  const std::uint32_t compression = GetU32(info + 16);
  if (compression == 3 && (image.bitCount == 16 || image.bitCount == 32)) {
    std::uint8_t masks[12] = {};
    ReadFully(stream, masks, sizeof masks);
    image.layout = TPixelLayout::WithMasks(image.bitCount, GetU32(masks), GetU32(masks + 4), GetU32(masks + 8));
  } else if (compression != 0) {
    return false;
  }
  image.coloursUsed = GetU32(info + 32);
  if (image.coloursUsed == 0 && image.bitCount <= 8) image.coloursUsed = 1u << image.bitCount;
  return true;
}

std::vector<TIERGB> ReadIconColours(TStream& stream, std::uint32_t count) {
  const std::size_t kept = std::min<std::size_t>(count, 256);
  std::vector<std::uint8_t> raw(kept * 4);
  raw.resize(stream.Read(raw.data(), raw.size()));
  std::vector<TIERGB> map(raw.size() / 4);
  for (std::size_t i = 0; i < map.size(); ++i) map[i] = TIERGB{raw[4 * i], raw[4 * i + 1], raw[4 * i + 2]};
  if (count > kept) stream.Seek(static_cast<std::int64_t>(count - kept) * 4, TSeekOrigin::soCurrent);
  return map;
}

std::vector<std::uint8_t> ReadUpTo(TStream& stream, std::uint64_t wanted) {
  const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, static_cast<std::uint64_t>(BytesLeft(stream))));
  std::vector<std::uint8_t> data(length);
  data.resize(stream.Read(data.data(), length));
  return data;
}

bool MaskBit(const std::vector<std::uint8_t>& mask, std::size_t rowStart, int x) {
  const std::size_t at = rowStart + static_cast<std::size_t>(x / 8);
  return at < mask.size() && (mask[at] & (0x80 >> (x % 8))) != 0;
}

bool BlackOrWhite(const TIERGB& c) { return c == TIERGB{0, 0, 0} || c == TIERGB{255, 255, 255}; }

// A 1-bit icon is kept 1-bit only when its two colours and the background
// for masked pixels are black or white; any other colour needs 24 bits.
bool BlackAndWhite(const TIOParamsVals& params) {
  const TPaletteLut palette(params.ColorMap);
  return BlackAndWhitePair(palette[0], palette[1]) && BlackOrWhite(params.ICO_Background);
}

// Decodes colour bitmap and mask (both bottom-up) into the raster.
void DecodeIcon(TStream& stream, const TIconImage& image, const TIOParamsVals& params, TBitmap& raster,
                TProgressRec& progress) {
  const int width = image.width;
  const int height = image.height;
  const std::size_t colourRow = DibRowSize(width, image.bitCount);
  const std::size_t maskRow = DibRowSize(width, 1);
  const auto colours = ReadUpTo(stream, static_cast<std::uint64_t>(colourRow) * static_cast<std::uint64_t>(height));
  const auto mask = ReadUpTo(stream, static_cast<std::uint64_t>(maskRow) * static_cast<std::uint64_t>(height));
  const TPaletteLut palette(params.ColorMap);
  const bool monochrome = raster.PixelFormat() == TPixelFormat::pf1bit;
  const bool backgroundBit = Luminance(params.ICO_Background) >= 128;
  std::vector<std::uint8_t> fileRow(colourRow), rgb(static_cast<std::size_t>(width) * 3);

  for (int r = 0; r < height; ++r) {
    if (progress.Report(r)) return;
    const std::size_t from = static_cast<std::size_t>(r) * colourRow;
    if (from >= colours.size()) {  // colour data shorter than declared
      SetAborting(progress);
      return;
    }
    std::fill(fileRow.begin(), fileRow.end(), 0);
    std::memcpy(fileRow.data(), colours.data() + from, std::min(colourRow, colours.size() - from));
    DecodeRow24(fileRow.data(), width, image.layout, palette, rgb.data());
    std::uint8_t* dst = raster.ScanLine(height - 1 - r);
    const std::size_t maskStart = static_cast<std::size_t>(r) * maskRow;
    for (int x = 0; x < width; ++x) {
      const bool masked = MaskBit(mask, maskStart, x);
      const std::uint8_t* px = rgb.data() + 3 * static_cast<std::size_t>(x);
      if (monochrome) {
        const bool white = masked ? backgroundBit : Luminance(TIERGB{px[0], px[1], px[2]}) >= 128;
        if (white) dst[x / 8] = static_cast<std::uint8_t>(dst[x / 8] | (0x80 >> (x % 8)));
        continue;
      }
      const TIERGB c = masked ? params.ICO_Background : TIERGB{px[0], px[1], px[2]};
      dst[3 * x] = c.b;
      dst[3 * x + 1] = c.g;
      dst[3 * x + 2] = c.r;
    }
  }
}

void ReadIconOrCursor(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress,
                      bool paramsOnly, bool cursor) {
  const std::int64_t start = stream.Position();
  std::uint8_t dir[kDirectorySize] = {};
  if (!ReadFully(stream, dir, sizeof dir)) {
    SetAborting(progress);
    return;
  }
  if (dir[0] == 'B' && dir[1] == 'M') {
    stream.SetPosition(start);
    ReadBmpStream(stream, raster, params, 0, paramsOnly, progress);
    return;
  }
  const int index = params.ICO_ImageIndex;
  if (index < 0 || index >= GetU16(dir + 4)) {  // no such image: nothing read
    SetAborting(progress);
    return;
  }
  std::uint8_t entry[kEntrySize];
  stream.SetPosition(start + static_cast<std::int64_t>(kDirectorySize + kEntrySize * static_cast<std::size_t>(index)));
  if (!ReadFully(stream, entry, sizeof entry)) {
    SetAborting(progress);
    return;
  }
  stream.SetPosition(start + GetU32(entry + 12));
  TIconImage image;
  params.FreeColorMap();
  if (!ReadImageHeader(stream, entry, cursor, image, params)) {
    SetAborting(progress);
    return;
  }
  params.Width = image.width;
  params.Height = image.height;
  params.BitsPerSample = image.bitCount <= 8 ? image.bitCount : 8;
  params.SamplesPerPixel = image.bitCount <= 8 ? 1 : 3;
  if (image.bitCount <= 8) params.ColorMap = ReadIconColours(stream, image.coloursUsed);

  const bool mono = image.bitCount == 1 && BlackAndWhite(params);
  if (image.bitCount == 1 && !mono) params.DescribeTrueColour();
  const TPixelFormat format = mono ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  if (!RasterSizeAcceptable(image.width, image.height, format)) {
    SetAborting(progress);
    return;
  }
  if (paramsOnly) return;
  raster.Allocate(image.width, image.height, format);
  progress.units = image.height;
  DecodeIcon(stream, image, params, raster, progress);
}

}  // namespace

bool IsIcoStream(TStream& stream) { return IsDirectory(stream, kIconType); }
bool IsCurStream(TStream& stream) { return IsDirectory(stream, kCursorType); }

void ReadIcoStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly) {
  ReadIconOrCursor(stream, raster, params, progress, paramsOnly, false);
}

void ReadCurStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly) {
  ReadIconOrCursor(stream, raster, params, progress, paramsOnly, true);
}

}  // namespace skyloom
