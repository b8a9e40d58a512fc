#include "image/codecs/tga_writer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/tga_extension.h"
#include "image/codecs/tga_packets.h"
#include "image/io_params.h"
#include "image/quantizer.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kMaxImageName = 254;  // the ID length byte counts its zero byte too
constexpr std::uint8_t kTopToBottom = 0x20;

enum class TTgaOutput { kMono, kColours16, kColours256, kGrey, kTrueColour };

TTgaOutput OutputOf(const TIOParamsVals& params) {
  if (params.SamplesPerPixel != 1) return TTgaOutput::kTrueColour;
  switch (params.BitsPerSample) {
    case 1: return TTgaOutput::kMono;
    case 4: return TTgaOutput::kColours16;
    case 8: return params.TGA_GrayLevel ? TTgaOutput::kGrey : TTgaOutput::kColours256;
    default: return TTgaOutput::kTrueColour;
  }
}

bool Mapped(TTgaOutput output) { return output == TTgaOutput::kColours16 || output == TTgaOutput::kColours256; }

// Grey level with weights that sum to 1000, so grey pixels keep their value.
std::uint8_t GreyOf(const std::uint8_t* bgr) {
  return static_cast<std::uint8_t>((bgr[2] * 299 + bgr[1] * 587 + bgr[0] * 114 + 500) / 1000);
}

// The picture in the form the output needs, with the quantizer for maps.
struct TSource {
  std::optional<TBitmap> converted;
  const TBitmap* raster = nullptr;
  std::optional<TColorQuantizer> quantizer;
};

void PrepareSource(const TBitmap& raster, TTgaOutput output, TSource& source) {
  source.raster = &raster;
  if (output == TTgaOutput::kMono) {
    std::vector<TIERGB> twoColours;  // stored as black and white
    if (raster.PixelFormat() != TPixelFormat::pf1bit) source.converted = ToMonochrome(raster, twoColours);
  } else if (raster.PixelFormat() != TPixelFormat::pf24bit) {
    source.converted = Copy24Bit(raster);
  }
  if (source.converted) source.raster = &*source.converted;
  if (Mapped(output)) source.quantizer.emplace(*source.raster, output == TTgaOutput::kColours16 ? 16 : 256);
}

struct TTgaLayout {
  int mapType = 0;
  int imageType = 2;
  int depth = 24;
  bool compressed = false;
};

TTgaLayout LayoutOf(TTgaOutput output, bool compressed) {
  TTgaLayout layout;
  switch (output) {
    case TTgaOutput::kMono: layout = {0, 3, 1, false}; break;
    case TTgaOutput::kColours16: layout = {1, 1, 8, false}; break;  // 16 entries, a byte per pixel
    case TTgaOutput::kColours256: layout = {1, 1, 8, compressed}; break;
    case TTgaOutput::kGrey: layout = {0, 3, 8, compressed}; break;
    case TTgaOutput::kTrueColour: layout = {0, 2, 24, compressed}; break;
  }
  if (layout.compressed) layout.imageType += 8;
  return layout;
}

void WriteHeader(TStream& stream, const TBitmap& raster, const TIOParamsVals& params, const TTgaLayout& layout,
                 const std::string& name, const std::vector<TIERGB>& map) {
  std::vector<std::uint8_t> out(kHeaderSize, 0);
  out[0] = static_cast<std::uint8_t>(name.size() + 1);
  out[1] = static_cast<std::uint8_t>(layout.mapType);
  out[2] = static_cast<std::uint8_t>(layout.imageType);
  if (layout.mapType == 1) {
    PutU16(&out[5], static_cast<std::uint32_t>(map.size()));
    out[7] = 24;
  }
  PutU16(&out[8], static_cast<std::uint32_t>(params.TGA_XPos));
  PutU16(&out[10], static_cast<std::uint32_t>(params.TGA_YPos));
  PutU16(&out[12], static_cast<std::uint32_t>(raster.Width()));
  PutU16(&out[14], static_cast<std::uint32_t>(raster.Height()));
  out[16] = static_cast<std::uint8_t>(layout.depth);
  out[17] = kTopToBottom;
  out.insert(out.end(), name.begin(), name.end());
  out.push_back(0);
  if (layout.mapType == 1)
    for (const auto& c : map) out.insert(out.end(), {c.b, c.g, c.r});
  stream.WriteBuffer(out.data(), out.size());
}

// Row y's pixels as stored: packed bits, one byte per pixel, or blue,
// green, red.
void RowPixels(const TSource& source, TTgaOutput output, int y, std::vector<std::uint8_t>& pixels) {
  const TBitmap& raster = *source.raster;
  const std::uint8_t* p = raster.ScanLine(y);
  const auto width = static_cast<std::size_t>(raster.Width());
  switch (output) {
    case TTgaOutput::kMono: pixels.assign(p, p + (width + 7) / 8); return;
    case TTgaOutput::kTrueColour: pixels.assign(p, p + 3 * width); return;
    case TTgaOutput::kGrey:
      for (std::size_t x = 0; x < width; ++x, p += 3) pixels[x] = GreyOf(p);
      return;
    default:
      for (std::size_t x = 0; x < width; ++x, p += 3)
        pixels[x] = static_cast<std::uint8_t>(source.quantizer->Index(p[0], p[1], p[2]));
  }
}

}  // namespace

void WriteTgaStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress) {
  if (raster.PixelFormat() != TPixelFormat::pf24bit && raster.PixelFormat() != TPixelFormat::pf1bit) return;
  const TTgaOutput output = OutputOf(params);
  const TTgaLayout layout = LayoutOf(output, params.TGA_Compressed);
  TSource source;
  PrepareSource(raster, output, source);
  const std::vector<TIERGB> map = source.quantizer ? source.quantizer->Palette() : std::vector<TIERGB>{};
  const std::int64_t start = stream.Position();
  WriteHeader(stream, raster, params, layout, params.TGA_ImageName.substr(0, kMaxImageName), map);

  const std::size_t pixelBytes = layout.depth == 24 ? 3 : 1;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(raster.Width()) * pixelBytes);
  std::vector<std::uint8_t> packets;
  const int height = raster.Height();
  progress.units = height;
  for (int y = 0; y < height; ++y) {
    RowPixels(source, output, y, pixels);
    if (layout.compressed) {
      packets.clear();
      EncodeTgaPackets(pixels.data(), static_cast<std::size_t>(raster.Width()), pixelBytes, packets);
      stream.WriteBuffer(packets.data(), packets.size());
    } else {
      stream.WriteBuffer(pixels.data(), pixels.size());
    }
    if (progress.Report(y + 1)) return;
  }
  WriteTgaExtension(stream, start, params);
}

}  // namespace skyloom
