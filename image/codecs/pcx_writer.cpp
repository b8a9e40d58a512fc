#include "image/codecs/pcx_writer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/pcx_rle.h"
#include "image/io_params.h"
#include "image/quantizer.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::uint8_t kPaletteMarker = 12;

int OutputBits(const TIOParamsVals& params) {
  if (params.BitsPerSample == 1) return 1;
  const int total = params.BitsPerSample * params.SamplesPerPixel;
  return total == 4 || total == 8 ? total : 24;
}

struct TPcxShape {
  int bits = 24;
  int planes = 3;
  int bitsPerPlane = 8;
  std::size_t pixelBytes = 0;    // bytes of one plane that hold pixels
  std::size_t bytesPerLine = 0;  // rounded up to even
};

TPcxShape ShapeOf(int bits, int width) {
  TPcxShape shape;
  shape.bits = bits;
  shape.planes = bits == 24 ? 3 : 1;
  shape.bitsPerPlane = bits == 24 ? 8 : bits;
  const auto w = static_cast<std::size_t>(width);
  shape.pixelBytes = bits == 1 ? (w + 7) / 8 : bits == 4 ? (w + 1) / 2 : w;
  shape.bytesPerLine = (shape.pixelBytes + 1) & ~std::size_t{1};
  return shape;
}

void PutPalette(std::uint8_t* out, const std::vector<TIERGB>& map) {
  for (const auto& c : map) {
    *out++ = c.r;
    *out++ = c.g;
    *out++ = c.b;
  }
}

void WriteHeader(TStream& stream, const TBitmap& raster, const TIOParamsVals& params, const TPcxShape& shape,
                 const std::vector<TIERGB>& headerPalette) {
  std::uint8_t h[kHeaderSize] = {};
  h[0] = 10;
  h[1] = static_cast<std::uint8_t>(params.PCX_Version);
  h[2] = params.PCX_Compression ? 1 : 0;
  h[3] = static_cast<std::uint8_t>(shape.bitsPerPlane);
  PutU16(h + 8, static_cast<std::uint32_t>(raster.Width() - 1));
  PutU16(h + 10, static_cast<std::uint32_t>(raster.Height() - 1));
  PutU16(h + 12, static_cast<std::uint32_t>(std::clamp(params.DpiX, 0, 0xFFFF)));
  PutU16(h + 14, static_cast<std::uint32_t>(std::clamp(params.DpiY, 0, 0xFFFF)));
  PutPalette(h + 16, headerPalette);
  h[65] = static_cast<std::uint8_t>(shape.planes);
  PutU16(h + 66, static_cast<std::uint32_t>(shape.bytesPerLine));
  PutU16(h + 68, shape.bits == 24 ? 0 : 1);
  stream.WriteBuffer(h, sizeof h);
}

// The picture in the form the chosen depth needs: a 1-bit raster with its
// two colours, or a 24-bit one (with the quantizer for 4 and 8 bits).
struct TSource {
  std::optional<TBitmap> converted;
  const TBitmap* raster = nullptr;
  std::vector<TIERGB> palette;
  std::optional<TColorQuantizer> quantizer;
};

void PrepareSource(const TBitmap& raster, int bits, TSource& source) {
  source.raster = &raster;
  if (bits == 1) {
    if (raster.PixelFormat() == TPixelFormat::pf1bit)
      source.palette = {TIERGB{0, 0, 0}, TIERGB{255, 255, 255}};
    else
      source.converted = ToMonochrome(raster, source.palette);
  } else if (raster.PixelFormat() != TPixelFormat::pf24bit) {
    source.converted = Copy24Bit(raster);
  }
  if (source.converted) source.raster = &*source.converted;
  if (bits == 4 || bits == 8) {
    source.quantizer.emplace(*source.raster, 1 << bits);
    source.palette = source.quantizer->Palette();
  }
}

// Row y as planes of bytesPerLine bytes each (red, green, blue for 24 bits).
void PlaneBytes(const TSource& source, const TPcxShape& shape, int y, std::vector<std::uint8_t>& line) {
  std::fill(line.begin(), line.end(), 0);
  const TBitmap& raster = *source.raster;
  const std::uint8_t* p = raster.ScanLine(y);
  const int width = raster.Width();
  const std::size_t stride = shape.bytesPerLine;
  switch (shape.bits) {
    case 1: std::copy(p, p + shape.pixelBytes, line.begin()); return;
    case 4:
      for (int x = 0; x < width; ++x, p += 3) {
        const auto index = static_cast<std::uint8_t>(source.quantizer->Index(p[0], p[1], p[2]));
        line[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>((x & 1) ? index : index << 4);
      }
      return;
    case 8:
      for (int x = 0; x < width; ++x, p += 3)
        line[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(source.quantizer->Index(p[0], p[1], p[2]));
      return;
    default:
      for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x, p += 3) {
        line[x] = p[2];
        line[stride + x] = p[1];
        line[2 * stride + x] = p[0];
      }
  }
}

}  // namespace

void WritePcxStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress) {
  const TPcxShape shape = ShapeOf(OutputBits(params), raster.Width());
  TSource source;
  PrepareSource(raster, shape.bits, source);
  const bool headerPalette = shape.bits == 1 || shape.bits == 4;
  WriteHeader(stream, raster, params, shape, headerPalette ? source.palette : std::vector<TIERGB>{});

  std::vector<std::uint8_t> line(shape.bytesPerLine * static_cast<std::size_t>(shape.planes));
  std::vector<std::uint8_t> out;
  const int height = raster.Height();
  progress.units = height;
  for (int y = 0; y < height; ++y) {
    if (progress.Report(y)) return;
    PlaneBytes(source, shape, y, line);
    if (!params.PCX_Compression) {
      stream.WriteBuffer(line.data(), line.size());
      continue;
    }
    out.clear();
    for (int plane = 0; plane < shape.planes; ++plane)
      EncodePcxPlane(line.data() + static_cast<std::size_t>(plane) * shape.bytesPerLine, shape.bytesPerLine, out);
    stream.WriteBuffer(out.data(), out.size());
  }
  if (shape.bits != 8) return;
  std::vector<std::uint8_t> trailer(1 + 768, 0);
  trailer[0] = kPaletteMarker;
  PutPalette(trailer.data() + 1, source.palette);
  stream.WriteBuffer(trailer.data(), trailer.size());
}

}  // namespace skyloom
