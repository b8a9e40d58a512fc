#include "image/codecs/pcx_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/pcx_rle.h"
#include "image/codecs/raster_limits.h"
#include "image/io_params.h"
#include "image/screen_dpi.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 768;  // 256 entries of red, green, blue

// The plane and depth combinations that have a pixel rule.
enum class TPcxLayout { kUnknown, kIndexed8, kPacked4, kMono, kPlanes24, kPlanes4 };

struct TPcxHeader {
  int version = 0;
  int encoding = 0;
  int bitsPerPixel = 0;
  int planes = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  int dpiX = 0;
  int dpiY = 0;
  std::size_t bytesPerLine = 0;
  std::array<TIERGB, 16> palette16{};
};

TPcxHeader ParseHeader(const std::uint8_t* h) {
  TPcxHeader header;
  header.version = h[1];
  header.encoding = h[2];
  header.bitsPerPixel = h[3];
  header.width = std::int64_t{GetU16(h + 8)} - GetU16(h + 4) + 1;
  header.height = std::int64_t{GetU16(h + 10)} - GetU16(h + 6) + 1;
  header.dpiX = GetU16(h + 12);
  header.dpiY = GetU16(h + 14);
  header.planes = h[65];
  header.bytesPerLine = GetU16(h + 66);
  for (std::size_t i = 0; i < header.palette16.size(); ++i) {
    const std::uint8_t* e = h + 16 + 3 * i;
    header.palette16[i] = TIERGB{e[2], e[1], e[0]};
  }
  return header;
}

TPcxLayout LayoutOf(const TPcxHeader& h) {
  if (h.planes == 1 && h.bitsPerPixel == 8) return TPcxLayout::kIndexed8;
  if (h.planes == 1 && h.bitsPerPixel == 4) return TPcxLayout::kPacked4;
  if (h.planes == 1 && h.bitsPerPixel == 1) return TPcxLayout::kMono;
  if (h.planes == 3 && h.bitsPerPixel == 8) return TPcxLayout::kPlanes24;
  if (h.planes == 4 && h.bitsPerPixel == 1) return TPcxLayout::kPlanes4;
  return TPcxLayout::kUnknown;
}

// Bytes of one plane that hold a row's pixels.
std::size_t PixelBytesPerPlane(TPcxLayout layout, std::size_t width) {
  switch (layout) {
    case TPcxLayout::kPacked4: return (width + 1) / 2;
    case TPcxLayout::kMono:
    case TPcxLayout::kPlanes4: return (width + 7) / 8;
    default: return width;
  }
}

void FillParams(const TPcxHeader& h, const std::vector<TIERGB>& palette256, TIOParamsVals& params) {
  params.Width = static_cast<std::int32_t>(h.width);
  params.Height = static_cast<std::int32_t>(h.height);
  params.DpiX = h.dpiX;
  params.DpiY = h.dpiY;
  if (h.dpiX == 0 || h.dpiY == 0) params.DpiX = params.DpiY = ScreenDpi();
  params.BitsPerSample = h.bitsPerPixel;
  params.SamplesPerPixel = h.planes;
  params.PCX_Version = h.version;
  params.PCX_Compression = h.encoding == 1;
  params.FreeColorMap();
  if (h.bitsPerPixel == 8) {
    params.ColorMap = palette256;
  } else if (h.bitsPerPixel == 1 && h.planes == 4) {
    params.ColorMap.assign(h.palette16.begin(), h.palette16.end());
    params.BitsPerSample = 4;
    params.SamplesPerPixel = 1;
  } else {
    const std::size_t entries = std::min<std::size_t>(std::size_t{1} << h.bitsPerPixel, h.palette16.size());
    params.ColorMap.assign(h.palette16.begin(), h.palette16.begin() + static_cast<std::ptrdiff_t>(entries));
  }
}

// The 256-colour palette at the end of the data, in blue, green, red order.
std::vector<TIERGB> TrailingPalette(const std::vector<std::uint8_t>& data) {
  std::vector<TIERGB> palette(256);
  const std::uint8_t* p = data.data() + data.size() - kPaletteSize;
  for (auto& entry : palette) {
    entry = TIERGB{p[2], p[1], p[0]};
    p += 3;
  }
  return palette;
}

void Put(std::uint8_t* dst, const TIERGB& c) {
  dst[0] = c.b;
  dst[1] = c.g;
  dst[2] = c.r;
}

// One scan line (all planes, each bytesPerLine long) into a raster row.
class TRowConverter {
 public:
  TRowConverter(const TPcxHeader& h, TPcxLayout layout, const std::vector<TIERGB>& palette256, int width)
      : layout_(layout), stride_(h.bytesPerLine), width_(width), palette16_(h.palette16), palette256_(palette256) {}

  void Convert(const std::uint8_t* line, std::uint8_t* dst) const {
    switch (layout_) {
      case TPcxLayout::kIndexed8:
        for (int x = 0; x < width_; ++x) Put(dst + 3 * x, palette256_[line[x]]);
        return;
      case TPcxLayout::kPacked4:
        for (int x = 0; x < width_; ++x) Put(dst + 3 * x, palette16_[(line[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F]);
        return;
      case TPcxLayout::kMono: return CopyBits(line, dst);
      case TPcxLayout::kPlanes24:
        for (int x = 0; x < width_; ++x, dst += 3) {
          dst[0] = line[2 * stride_ + static_cast<std::size_t>(x)];
          dst[1] = line[stride_ + static_cast<std::size_t>(x)];
          dst[2] = line[static_cast<std::size_t>(x)];
        }
        return;
      case TPcxLayout::kPlanes4:
        for (int x = 0; x < width_; ++x) {
          const int shift = 7 - (x & 7);
          int index = 0;
          for (std::size_t plane = 0; plane < 4; ++plane)
            index |= ((line[plane * stride_ + static_cast<std::size_t>(x / 8)] >> shift) & 1) << plane;
          Put(dst + 3 * x, palette16_[static_cast<std::size_t>(index)]);
        }
        return;
      case TPcxLayout::kUnknown: return;
    }
  }

 private:
  // The bits as they are; those past the last pixel are cleared so that
  // the raster's padding stays zero.
  void CopyBits(const std::uint8_t* line, std::uint8_t* dst) const {
    const std::size_t bytes = (static_cast<std::size_t>(width_) + 7) / 8;
    std::memcpy(dst, line, bytes);
    if (width_ % 8 != 0) dst[bytes - 1] &= static_cast<std::uint8_t>(0xFF00 >> (width_ % 8));
  }

  TPcxLayout layout_;
  std::size_t stride_;
  int width_;
  std::array<TIERGB, 16> palette16_;
  const std::vector<TIERGB>& palette256_;
};

// Rows from the top; answers false when the data ended early.
bool DecodeRows(const TPcxHeader& h, TPcxLayout layout, const std::uint8_t* data, std::size_t size,
                const std::vector<TIERGB>& palette256, TBitmap& raster, TProgressRec& progress) {
  // A scan line holds every plane at bytesPerLine each, but never fewer
  // bytes than the pixels need: missing bytes read as zero.
  const std::size_t stride = std::max(h.bytesPerLine, PixelBytesPerPlane(layout, raster.Width()));
  TPcxHeader wide = h;
  wide.bytesPerLine = stride;
  const TRowConverter converter(wide, layout, palette256, raster.Width());
  const std::size_t lineBytes = h.bytesPerLine * static_cast<std::size_t>(h.planes);
  std::vector<std::uint8_t> line(stride * static_cast<std::size_t>(h.planes), 0);
  // With no widening the scan line is decoded in place.
  const bool inPlace = stride == h.bytesPerLine;
  std::vector<std::uint8_t> packed(inPlace ? 0 : lineBytes + 1);  // never empty, so never a null block
  std::uint8_t* target = inPlace ? line.data() : packed.data();
  TPcxRunReader runs(data, size);
  std::size_t at = 0;  // read position for unencoded data
  progress.units = raster.Height();
  for (int y = 0; y < raster.Height(); ++y) {
    if (progress.Report(y)) return true;
    std::size_t got = 0;
    if (h.encoding == 1) {
      got = runs.ReadLine(target, lineBytes);
    } else {
      got = std::min(lineBytes, size - at);
      if (got > 0) std::memcpy(target, data + at, got);
      at += got;
    }
    std::memset(target + got, 0, lineBytes - got);
    if (!inPlace)
      for (std::size_t plane = 0; plane < static_cast<std::size_t>(h.planes); ++plane)
        std::memcpy(line.data() + plane * stride, packed.data() + plane * h.bytesPerLine, h.bytesPerLine);
    converter.Convert(line.data(), raster.ScanLine(y));
    if (got < lineBytes) return false;
  }
  return true;
}

}  // namespace

void ReadPcxStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
                   std::int64_t dataSize) {
  const std::int64_t available = BytesLeft(stream);
  const std::int64_t total = dataSize > 0 ? std::min(dataSize, available) : available;
  std::uint8_t bytes[kHeaderSize];
  if (total < static_cast<std::int64_t>(kHeaderSize) || !ReadFully(stream, bytes, sizeof bytes)) {
    SetAborting(progress);
    return;
  }
  const TPcxHeader h = ParseHeader(bytes);
  if (bytes[0] != 10 || h.bitsPerPixel > 8 || (h.encoding != 0 && h.encoding != 1)) {
    SetAborting(progress);
    return;
  }
  const TPcxLayout layout = LayoutOf(h);
  const TPixelFormat format = layout == TPcxLayout::kMono ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  std::vector<std::uint8_t> data(static_cast<std::size_t>(total) - kHeaderSize);
  if (!ReadFully(stream, data.data(), data.size())) data.clear();
  const bool trailingPalette = h.planes == 1 && h.bitsPerPixel > 4;
  if (trailingPalette && data.size() < kPaletteSize) {  // the palette is missing: nothing to show
    SetAborting(progress);
    return;
  }
  const std::vector<TIERGB> palette256 = trailingPalette ? TrailingPalette(data) : std::vector<TIERGB>{};
  FillParams(h, palette256, params);
  if (!RasterSizeAcceptable(h.width, h.height, format)) {  // refused before allocating
    SetAborting(progress);
    return;
  }
  if (paramsOnly) return;
  if (layout == TPcxLayout::kUnknown) {  // planes and depth without a pixel rule
    SetAborting(progress);
    return;
  }

  const std::size_t pixelData = data.size() - (trailingPalette ? kPaletteSize : 0);
  try {
    raster.Allocate(static_cast<int>(h.width), static_cast<int>(h.height), format);
    if (!DecodeRows(h, layout, data.data(), pixelData, palette256, raster, progress)) SetAborting(progress);
  } catch (const std::exception&) {  // no memory for the raster or the scan lines: decoded rows stay
    SetAborting(progress);
  }
}

}  // namespace skyloom
