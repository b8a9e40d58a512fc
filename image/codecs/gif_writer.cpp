#include "image/codecs/gif_writer.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/codec_status.h"
#include "image/io_params.h"
#include "image/lzw_hooks.h"
#include "image/pixel_buffer.h"
#include "image/quantizer.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kControlLabel = 0xF9;
constexpr std::uint8_t kDescriptor = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint8_t kRestoreBackground = 8;  // disposal method 2 in the control's packed byte

int OutputBits(const TIOParamsVals& params) {
  return params.BitsPerSample >= 1 && params.BitsPerSample <= 8 ? params.BitsPerSample : 8;
}

// The picture as palette indices, rows from the top, with its palette.
struct TIndexed {
  std::vector<TIERGB> palette;
  std::optional<TColorQuantizer> quantizer;  // 2 bits and more
  TPixelBuffer indices;
};

void IndexMono(const TBitmap& raster, TIndexed& out) {
  std::optional<TBitmap> converted;
  if (raster.PixelFormat() != TPixelFormat::pf1bit) {
    std::vector<TIERGB> unused;  // a 1-bit raster stands for black and white
    converted = ToMonochrome(raster, unused);
  }
  const TBitmap& mono = converted ? *converted : raster;
  out.palette = {TIERGB{0, 0, 0}, TIERGB{255, 255, 255}};
  std::uint8_t* dst = out.indices.Data();
  for (int y = 0; y < mono.Height(); ++y) {
    const std::uint8_t* row = mono.ScanLine(y);
    for (int x = 0; x < mono.Width(); ++x) *dst++ = (row[x / 8] >> (7 - x % 8)) & 1;
  }
}

void IndexQuantized(const TBitmap& raster, int bits, TIndexed& out) {
  std::optional<TBitmap> converted;
  if (raster.PixelFormat() != TPixelFormat::pf24bit) converted = Copy24Bit(raster);
  const TBitmap& colour = converted ? *converted : raster;
  out.quantizer.emplace(colour, 1 << bits);
  out.palette = out.quantizer->Palette();
  std::uint8_t* dst = out.indices.Data();
  for (int y = 0; y < colour.Height(); ++y) {
    const std::uint8_t* p = colour.ScanLine(y);
    for (int x = 0; x < colour.Width(); ++x, p += 3)
      *dst++ = static_cast<std::uint8_t>(out.quantizer->Index(p[0], p[1], p[2]));
  }
}

// The palette entry that stands for a colour: the quantizer's choice, or
// for black and white the nearer by summed channel differences.
std::uint8_t IndexOf(const TIndexed& picture, TIERGB c) {
  if (picture.quantizer) return static_cast<std::uint8_t>(picture.quantizer->Index(c.b, c.g, c.r));
  std::size_t best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < picture.palette.size(); ++i) {
    const TIERGB& e = picture.palette[i];
    const int distance = std::abs(e.r - c.r) + std::abs(e.g - c.g) + std::abs(e.b - c.b);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

void AppendU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// Header, screen descriptor, global table, control extension and image
// descriptor: everything before the image data.
std::vector<std::uint8_t> Headers(const TBitmap& raster, const TIOParamsVals& params, int bits,
                                  const TIndexed& picture) {
  std::vector<std::uint8_t> out;
  std::string version = params.GIF_Version;
  version.resize(6, '\0');
  out.insert(out.end(), version.begin(), version.end());
  AppendU16(out, static_cast<std::uint32_t>(raster.Width()));
  AppendU16(out, static_cast<std::uint32_t>(raster.Height()));
  out.push_back(static_cast<std::uint8_t>(0x80 | (bits - 1) << 4 | (bits - 1)));
  out.push_back(IndexOf(picture, params.GIF_Background));
  out.push_back(0);  // aspect ratio
  for (std::size_t i = 0; i < (std::size_t{1} << bits); ++i) {
    const TIERGB c = i < picture.palette.size() ? picture.palette[i] : TIERGB{};
    out.insert(out.end(), {c.r, c.g, c.b});
  }
  out.insert(out.end(), {kExtension, kControlLabel, 4,
                         static_cast<std::uint8_t>((params.GIF_FlagTranspColor ? 1 : 0) | kRestoreBackground)});
  AppendU16(out, static_cast<std::uint32_t>(params.GIF_DelayTime));
  out.push_back(IndexOf(picture, params.GIF_TranspColor));
  out.push_back(0);
  out.push_back(kDescriptor);
  AppendU16(out, static_cast<std::uint32_t>(params.GIF_XPos));
  AppendU16(out, static_cast<std::uint32_t>(params.GIF_YPos));
  AppendU16(out, static_cast<std::uint32_t>(raster.Width()));
  AppendU16(out, static_cast<std::uint32_t>(raster.Height()));
  out.push_back(params.GIF_Interlaced ? 0x40 : 0);
  return out;
}

}  // namespace

void WriteGifStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress) {
  progress.units = 100;  // the reports are percentages
  if (progress.Report(0)) return;
  const int bits = OutputBits(params);
  TIndexed picture;
  picture.indices = TPixelBuffer(static_cast<std::size_t>(raster.Width()) * static_cast<std::size_t>(raster.Height()));
  if (bits == 1)
    IndexMono(raster, picture);
  else
    IndexQuantized(raster, bits, picture);
  if (progress.Report(30)) return;

  const std::vector<std::uint8_t> headers = Headers(raster, params, bits, picture);
  stream.WriteBuffer(headers.data(), headers.size());
  if (progress.Report(70)) return;
  const TGifLzwEncoder& encoder = params.GIF_LZWCompFunc ? params.GIF_LZWCompFunc : GlobalLzwHooks().GifEncoder;
  if (!encoder) {
    SetAborting(progress);
    return;
  }
  encoder(stream, raster.Height(), raster.Width(), bits, picture.indices.Data(), params.GIF_Interlaced);
  stream.WriteBuffer(&kTrailer, 1);
  progress.Report(100);
}

}  // namespace skyloom
