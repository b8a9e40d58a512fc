#include "image/codecs/png_reader.h"

#include "image/bitmap.h"
#include "image/codecs/bmp_pixels.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/png_glue.h"
#include "image/codecs/raster_limits.h"
#include "image/colour.h"
#include "image/io_params.h"

namespace skyloom {
namespace {

struct THeader {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  int interlace = 0;
};

bool HasTransparency(png_structp png, png_infop info, const THeader& h) {
  return (h.colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
}

// A background chunk's colour at 8 bits per channel.
TIERGB EightBitBackground(png_structp png, png_infop info, const THeader& h, const png_color_16& bg) {
  if (h.colourType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) && bg.index < count)
      return TIERGB{palette[bg.index].blue, palette[bg.index].green, palette[bg.index].red};
    return TIERGB{};
  }
  const unsigned top = (1u << h.bitDepth) - 1;  // largest sample value
  const auto scale = [&](unsigned v) { return static_cast<std::uint8_t>(h.bitDepth == 16 ? v >> 8 : v * 255 / top); };
  if ((h.colourType & PNG_COLOR_MASK_COLOR) == 0) {
    const std::uint8_t grey = scale(bg.gray);
    return TIERGB{grey, grey, grey};
  }
  return TIERGB{scale(bg.blue), scale(bg.green), scale(bg.red)};
}

// A 1-bit file is read as 1 bit when its pixels are black and white: grey,
// or a palette of black then white, and nothing transparent. Any other
// 1-bit file goes through the 24-bit path, keeping its colours.
bool StaysOneBit(png_structp png, png_infop info, const THeader& h) {
  if (h.bitDepth != 1 || HasTransparency(png, info, h)) return false;
  if (h.colourType == PNG_COLOR_TYPE_GRAY) return true;
  png_colorp palette = nullptr;
  int count = 0;
  if (!png_get_PLTE(png, info, &palette, &count) || count < 2) return false;
  const png_color& a = palette[0];
  const png_color& b = palette[1];
  return a.red == 0 && a.green == 0 && a.blue == 0 && b.red == 255 && b.green == 255 && b.blue == 255;
}

// Transparency is composited over the file's own background colour when it
// has one, else over the parameter's. Black-and-white 1-bit files are left
// alone: their raster shows the stored bits.
void SetUpBackground(png_structp png, png_infop info, const THeader& h, bool oneBit, TIOParamsVals& params) {
  png_color_16p fileBackground = nullptr;
  const bool hasChunk = png_get_bKGD(png, info, &fileBackground) != 0 && fileBackground;
  if (hasChunk) params.PNG_Background = EightBitBackground(png, info, h, *fileBackground);
  if (oneBit || !HasTransparency(png, info, h)) return;
  if (hasChunk) {
    png_set_background_fixed(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, PNG_FP_1);
    return;
  }
  // The colour is given in the final output's terms, 8 bits per channel;
  // the library widens it itself for 16-bit files.
  const TIERGB c = params.PNG_Background;
  png_color_16 screen{};
  screen.red = c.r;
  screen.green = c.g;
  screen.blue = c.b;
  screen.gray = static_cast<png_uint_16>(Luminance(c));
  png_set_background_fixed(png, &screen, PNG_BACKGROUND_GAMMA_SCREEN, 0, PNG_FP_1);
}

// Everything but black-and-white 1-bit files becomes 8-bit blue, green, red.
void SetUpTransformations(png_structp png, const THeader& h, bool oneBit) {
  if (oneBit) return;
  if (h.colourType == PNG_COLOR_TYPE_PALETTE || (h.colourType == PNG_COLOR_TYPE_GRAY && h.bitDepth < 8))
    png_set_expand(png);
  if (h.bitDepth == 16) png_set_strip_16(png);
  if (h.bitDepth < 8) png_set_packing(png);
  if ((h.colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_bgr(png);
}

int SamplesOf(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;  // grey, palette
  }
}

void FillParams(png_structp png, png_infop info, const THeader& h, TIOParamsVals& params) {
  params.Width = static_cast<std::int32_t>(h.width);
  params.Height = static_cast<std::int32_t>(h.height);
  params.BitsPerSample = h.bitDepth;
  params.SamplesPerPixel = SamplesOf(h.colourType);
  params.DpiX = DpiFromPixelsPerMetre(static_cast<std::int32_t>(png_get_x_pixels_per_meter(png, info)));
  params.DpiY = DpiFromPixelsPerMetre(static_cast<std::int32_t>(png_get_y_pixels_per_meter(png, info)));
  params.PNG_Interlaced = h.interlace != PNG_INTERLACE_NONE;
  params.FreeColorMap();
  png_colorp palette = nullptr;
  int count = 0;
  if (h.colourType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png, info, &palette, &count))
    for (int i = 0; i < count; ++i) params.ColorMap.push_back(TIERGB{palette[i].blue, palette[i].green, palette[i].red});
}

// Reads every pass's rows into the raster, top row first. Answers false
// when a progress handler stopped it. Runs under the error guard.
bool ReadRows(png_structp png, TBitmap& raster, int passes, TProgressRec& progress) {
  progress.units = static_cast<long long>(raster.Height()) * passes;
  long long done = 0;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < raster.Height(); ++y) {
      png_read_row(png, raster.ScanLine(y), nullptr);
      if (progress.Report(++done)) return false;
    }
  return true;
}

}  // namespace

void ReadPngStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress,
                   bool paramsOnly) {
  TPngLink link(stream);
  TPngSession session(TPngSession::TKind::kRead, link);
  if (!session.Valid()) return SetAborting(progress);
  png_structp png = session.Png();
  png_infop info = session.Info();

  THeader h;
  int passes = 1;
  std::size_t rowBytes = 0;
  int channels = 0;
  int outputDepth = 0;
  bool oneBit = false;
  const bool prepared = PngGuarded(link, [&] {
    png_set_user_limits(png, kMaxRasterSide, kMaxRasterSide);
    png_read_info(png, info);
    png_get_IHDR(png, info, &h.width, &h.height, &h.bitDepth, &h.colourType, &h.interlace, nullptr, nullptr);
    oneBit = StaysOneBit(png, info, h);
    SetUpBackground(png, info, h, oneBit, params);
    SetUpTransformations(png, h, oneBit);
    passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    rowBytes = png_get_rowbytes(png, info);
    channels = png_get_channels(png, info);
    outputDepth = png_get_bit_depth(png, info);
  });
  link.RethrowPending();
  if (!prepared) return SetAborting(progress);
  FillParams(png, info, h, params);
  if (h.bitDepth == 1 && !oneBit) params.DescribeTrueColour();
  if (paramsOnly) return;

  const TPixelFormat format = oneBit ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  if (!RasterSizeAcceptable(h.width, h.height, format)) return SetAborting(progress);
  // The library writes rowBytes into each raster row: the transformed rows
  // must be exactly the raster's pixels.
  const bool binary = format == TPixelFormat::pf1bit;
  const std::size_t expected = binary ? (h.width + 7) / 8 : std::size_t{h.width} * 3;
  if (channels != (binary ? 1 : 3) || outputDepth != (binary ? 1 : 8) || rowBytes != expected)
    return SetAborting(progress);
  raster.Allocate(static_cast<int>(h.width), static_cast<int>(h.height), format);

  bool completed = false;
  const bool read = PngGuarded(link, [&] { completed = ReadRows(png, raster, passes, progress); });
  link.RethrowPending();
  if (!read) return SetAborting(progress);
  if (!completed || progress.Aborted()) return;
  if (!PngGuarded(link, [&] { png_read_end(png, nullptr); })) SetAborting(progress);
  link.RethrowPending();
}

}  // namespace skyloom
