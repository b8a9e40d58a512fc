#include "image/codecs/jpeg_reader.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/jpeg_glue.h"
#include "image/codecs/jpeg_pixels.h"
#include "image/codecs/jpeg_scale.h"
#include "image/codecs/raster_limits.h"
#include "image/io_params.h"
#include "image/screen_dpi.h"

namespace skyloom {
namespace {

// The library's working memory beside the raster (a progressive file keeps
// all its coefficients); a forged header beyond this fails cleanly.
constexpr long kLibraryMemoryLimit = 512L * 1024 * 1024;

// Owns the decompressor; destroying it releases everything the library
// holds, on every path.
struct TDecompressor {
  TJpegErrorManager errors;
  TJpegStreamSource source;
  jpeg_decompress_struct cinfo{};
  std::vector<JSAMPROW> rows;     // one batch of output rows
  std::vector<JSAMPLE> fourComp;  // CMYK rows before conversion

  TDecompressor(TStream& stream, const TProgressRec& progress) : errors(progress), source(stream, errors) {
    cinfo.err = &errors.pub;
  }
  ~TDecompressor() { jpeg_destroy_decompress(&cinfo); }
  TDecompressor(const TDecompressor&) = delete;
  TDecompressor& operator=(const TDecompressor&) = delete;
};

struct TOutput {
  int colourSpaceParam = -1;  // -1: a space the params cannot name
  J_COLOR_SPACE space = JCS_EXT_BGR;
};

// The library delivers blue, green, red straight into the raster for every
// three-component case, RGB files included; four-component files come out
// as CMYK and are converted here.
TOutput OutputFor(J_COLOR_SPACE file) {
  switch (file) {
    case JCS_GRAYSCALE: return {1, JCS_EXT_BGR};
    case JCS_RGB: return {0, JCS_EXT_BGR};
    case JCS_YCbCr: return {2, JCS_EXT_BGR};
    case JCS_CMYK: return {3, JCS_CMYK};
    case JCS_YCCK: return {4, JCS_CMYK};
    default: return {};
  }
}

J_DCT_METHOD DctMethodOf(int param) {
  if (param == 1) return JDCT_IFAST;
  if (param == 2) return JDCT_FLOAT;
  return JDCT_ISLOW;
}

// Unit 1 is dots per inch, unit 2 dots per centimetre. Unit 0 states only
// the pixels' aspect ratio (usually 1:1), so the screen's resolution
// stands in, as it does for files that state no density at all.
int DpiOf(unsigned density, unsigned unit) {
  if (unit == 2) return static_cast<int>(density * 2.54);
  if (unit == 1 && density > 0) return static_cast<int>(density);
  return ScreenDpi();
}

unsigned DenominatorFor(const TIOParamsVals& params, const jpeg_decompress_struct& cinfo) {
  switch (params.JPEG_Scale) {
    case 0:
      return JpegScaleDenominator(cinfo.image_width, cinfo.image_height,
                                  static_cast<long long>(params.Width) * params.Height);
    case 2: return 2;
    case 3: return 4;
    case 4: return 8;
    default: return 1;
  }
}

void ApplyHeader(jpeg_decompress_struct& cinfo, TIOParamsVals& params) {
  const TOutput output = OutputFor(cinfo.jpeg_color_space);
  if (output.colourSpaceParam >= 0) params.JPEG_ColorSpace = output.colourSpaceParam;
  cinfo.out_color_space = output.space;
  cinfo.dct_method = DctMethodOf(params.JPEG_DCTMethod);
  params.DpiX = DpiOf(cinfo.X_density, cinfo.density_unit);
  params.DpiY = DpiOf(cinfo.Y_density, cinfo.density_unit);
  params.BitsPerSample = 8;
  params.SamplesPerPixel = 3;
  params.FreeColorMap();
  params.JPEG_Progressive = cinfo.progressive_mode != 0;
  cinfo.scale_num = 1;
  cinfo.scale_denom = DenominatorFor(params, cinfo);
}

// Decodes every row into the raster, top row first, in the batches the
// library prefers. Answers false when a progress handler stopped it.
bool DecodeRows(TDecompressor& d, TBitmap& raster, TProgressRec& progress) {
  jpeg_decompress_struct& cinfo = d.cinfo;
  const bool fourComp = cinfo.out_color_space == JCS_CMYK;
  const int width = raster.Width();
  const auto batch = static_cast<std::size_t>(cinfo.rec_outbuf_height > 0 ? cinfo.rec_outbuf_height : 1);
  const std::size_t fourRow = static_cast<std::size_t>(width) * 4;
  d.rows.resize(batch);
  if (fourComp) {
    d.fourComp.resize(fourRow * batch);
    for (std::size_t i = 0; i < batch; ++i) d.rows[i] = d.fourComp.data() + i * fourRow;
  }
  progress.units = raster.Height();
  bool stopped = false;
  const bool completed = JpegGuarded(d.errors, [&] {
    while (cinfo.output_scanline < cinfo.output_height) {
      const int top = static_cast<int>(cinfo.output_scanline);
      const auto want = static_cast<JDIMENSION>(std::min<std::size_t>(batch, cinfo.output_height - top));
      if (!fourComp)
        for (JDIMENSION i = 0; i < want; ++i) d.rows[i] = raster.ScanLine(top + static_cast<int>(i));
      const JDIMENSION got = jpeg_read_scanlines(&cinfo, d.rows.data(), want);
      if (fourComp)
        for (JDIMENSION i = 0; i < got; ++i) InvertedCmykToBgr(d.rows[i], width, raster.ScanLine(top + static_cast<int>(i)));
      if (progress.Report(top + static_cast<long long>(got))) {
        stopped = true;
        return;
      }
    }
  });
  return completed && !stopped;
}

}  // namespace

void ReadJpegStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress,
                    bool paramsOnly) {
  TDecompressor d(stream, progress);
  if (!d.source.Prime()) return SetAborting(progress);
  const bool headerRead = JpegGuarded(d.errors, [&] {
    jpeg_create_decompress(&d.cinfo);
    d.cinfo.mem->max_memory_to_use = kLibraryMemoryLimit;
    d.source.Attach(&d.cinfo);
    jpeg_read_header(&d.cinfo, TRUE);
  });
  d.errors.RethrowPending();
  if (!headerRead) return;
  ApplyHeader(d.cinfo, params);

  // The output size comes first: a params-only read needs nothing more
  // (sparing a progressive file's complete decoding), and an oversized
  // picture is refused before the library sets up its buffers.
  const bool sized = JpegGuarded(d.errors, [&] { jpeg_calc_output_dimensions(&d.cinfo); });
  if (!sized) return;
  params.Width = static_cast<std::int32_t>(d.cinfo.output_width);
  params.Height = static_cast<std::int32_t>(d.cinfo.output_height);
  if (paramsOnly) return;
  if (!RasterSizeAcceptable(d.cinfo.output_width, d.cinfo.output_height, TPixelFormat::pf24bit))
    return SetAborting(progress);

  const bool started = JpegGuarded(d.errors, [&] { jpeg_start_decompress(&d.cinfo); });
  d.errors.RethrowPending();
  if (!started) return;
  raster.Allocate(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height),
                  TPixelFormat::pf24bit);
  const bool decoded = DecodeRows(d, raster, progress);
  d.errors.RethrowPending();
  if (!decoded || progress.Aborted()) return;
  JpegGuarded(d.errors, [&] { jpeg_finish_decompress(&d.cinfo); });
  d.errors.RethrowPending();
}

}  // namespace skyloom
