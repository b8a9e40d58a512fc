#include "image/codecs/jpeg_writer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/jpeg_glue.h"
#include "image/codecs/jpeg_pixels.h"
#include "image/io_params.h"

namespace skyloom {
namespace {

// Owns the compressor; destroying it releases the library's memory on
// every path.
struct TCompressor {
  TJpegErrorManager errors;
  TJpegStreamDestination destination;
  jpeg_compress_struct cinfo{};
  std::vector<JSAMPLE> fourComp;  // one CMYK row

  TCompressor(TStream& stream, const TProgressRec& progress) : errors(progress), destination(stream, errors) {
    cinfo.err = &errors.pub;
  }
  ~TCompressor() { jpeg_destroy_compress(&cinfo); }
  TCompressor(const TCompressor&) = delete;
  TCompressor& operator=(const TCompressor&) = delete;
};

struct TFileSpace {
  J_COLOR_SPACE input = JCS_EXT_BGR;
  int components = 3;
  J_COLOR_SPACE file = JCS_RGB;
};

TFileSpace FileSpaceFor(int param) {
  switch (param) {
    case 1: return {JCS_EXT_BGR, 3, JCS_GRAYSCALE};
    case 2: return {JCS_EXT_BGR, 3, JCS_YCbCr};
    case 3: return {JCS_CMYK, 4, JCS_CMYK};
    case 4: return {JCS_CMYK, 4, JCS_YCCK};
    default: return {};
  }
}

J_DCT_METHOD DctMethodOf(int param) {
  if (param == 1) return JDCT_IFAST;
  if (param == 2) return JDCT_FLOAT;
  return JDCT_ISLOW;
}

// Density in dots per inch. A raster without a resolution (0) is written
// with unit 0 and 1:1, the file format's way of saying "unknown"; a stored
// 0 dpi would be invalid.
void SetDensity(jpeg_compress_struct& cinfo, const TIOParamsVals& params) {
  if (params.DpiX <= 0 || params.DpiY <= 0) {
    cinfo.density_unit = 0;
    cinfo.X_density = cinfo.Y_density = 1;
    return;
  }
  cinfo.density_unit = 1;
  cinfo.X_density = static_cast<UINT16>(std::min(params.DpiX, 65535));
  cinfo.Y_density = static_cast<UINT16>(std::min(params.DpiY, 65535));
}

// Everything up to the first row. Runs under the error guard.
void Configure(TCompressor& c, const TBitmap& source, const TIOParamsVals& params) {
  jpeg_compress_struct& cinfo = c.cinfo;
  jpeg_create_compress(&cinfo);
  c.destination.Attach(&cinfo);
  const TFileSpace space = FileSpaceFor(params.JPEG_ColorSpace);
  cinfo.image_width = static_cast<JDIMENSION>(source.Width());
  cinfo.image_height = static_cast<JDIMENSION>(source.Height());
  cinfo.input_components = space.components;
  cinfo.in_color_space = space.input;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, space.file);
  SetDensity(cinfo, params);
  cinfo.dct_method = DctMethodOf(params.JPEG_DCTMethod);
  cinfo.optimize_coding = params.JPEG_OptimalHuffman ? TRUE : FALSE;
  cinfo.smoothing_factor = std::clamp(params.JPEG_Smooth, 0, 100);
  jpeg_set_quality(&cinfo, params.JPEG_Quality, TRUE);
  if (params.JPEG_Progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
}

// Rows from the top; answers false when a progress handler stopped it.
bool EncodeRows(TCompressor& c, const TBitmap& source, TProgressRec& progress) {
  const bool fourComp = c.cinfo.in_color_space == JCS_CMYK;
  if (fourComp) c.fourComp.resize(static_cast<std::size_t>(source.Width()) * 4);
  progress.units = source.Height();
  for (int y = 0; y < source.Height(); ++y) {
    // The library only reads the rows it is given.
    JSAMPROW row = const_cast<JSAMPROW>(source.ScanLine(y));
    if (fourComp) {
      BgrToInvertedCmyk(source.ScanLine(y), source.Width(), c.fourComp.data());
      row = c.fourComp.data();
    }
    jpeg_write_scanlines(&c.cinfo, &row, 1);
    if (progress.Report(y + 1)) return false;
  }
  return true;
}

}  // namespace

void WriteJpegStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress) {
  std::optional<TBitmap> copy;
  if (raster.PixelFormat() != TPixelFormat::pf24bit) copy = Copy24Bit(raster);
  const TBitmap& source = copy ? *copy : raster;

  TCompressor c(stream, progress);
  bool encoded = false;
  const bool ran = JpegGuarded(c.errors, [&] {
    Configure(c, source, params);
    encoded = EncodeRows(c, source, progress);
  });
  c.errors.RethrowPending();
  if (!ran || !encoded || progress.Aborted()) return;
  JpegGuarded(c.errors, [&] { jpeg_finish_compress(&c.cinfo); });
  c.errors.RethrowPending();
}

}  // namespace skyloom
