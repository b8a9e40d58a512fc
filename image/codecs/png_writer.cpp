#include "image/codecs/png_writer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/bmp_pixels.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/png_glue.h"
#include "image/colour.h"
#include "image/io_params.h"
#include "image/quantizer.h"
#include "toolkit/errors.h"

namespace skyloom {
namespace {

enum class TForm { kRgb, kPalette, kGrey1 };

// The raster in the depth the file needs: 1-bit for BitsPerSample 1,
// else 24-bit.
std::optional<TBitmap> ConvertedSource(const TBitmap& raster, const TIOParamsVals& params) {
  const bool binary = params.BitsPerSample == 1;
  std::vector<TIERGB> twoColours;  // a grey file shows them as black and white
  if (binary && raster.PixelFormat() == TPixelFormat::pf24bit) return ToMonochrome(raster, twoColours);
  if (binary && raster.PixelFormat() == TPixelFormat::pf8bit) return ToMonochrome(Copy24Bit(raster), twoColours);
  if (!binary && raster.PixelFormat() != TPixelFormat::pf24bit) return Copy24Bit(raster);
  return std::nullopt;
}

TForm FormOf(const TBitmap& source, const TIOParamsVals& params) {
  if (source.PixelFormat() == TPixelFormat::pf1bit) return TForm::kGrey1;
  return params.SamplesPerPixel == 1 ? TForm::kPalette : TForm::kRgb;
}

int FilterOf(int param) {
  if (param == 1) return PNG_FILTER_SUB;
  if (param == 2) return PNG_FILTER_PAETH;
  return PNG_FILTER_NONE;
}

struct TWriteJob {
  const TBitmap& source;
  TForm form;
  const TIOParamsVals& params;
  const TColorQuantizer* quantizer;  // palette form only
  std::vector<png_byte>& indices;    // one row of palette indices
};

void SetBackground(png_structp png, png_infop info, const TWriteJob& job) {
  const TIERGB c = job.params.PNG_Background;
  png_color_16 bg{};
  switch (job.form) {
    case TForm::kPalette: bg.index = static_cast<png_byte>(job.quantizer->Index(c.b, c.g, c.r)); break;
    case TForm::kGrey1: bg.gray = Luminance(c) >= 128 ? 1 : 0; break;
    // The chunk holds samples of the image's own depth: 8 bits here.
    case TForm::kRgb: bg.red = c.r, bg.green = c.g, bg.blue = c.b; break;
  }
  png_set_bKGD(png, info, &bg);
}

// Everything before the rows. Runs under the error guard.
void WriteHeader(png_structp png, png_infop info, const TWriteJob& job) {
  const int colourType = job.form == TForm::kRgb       ? PNG_COLOR_TYPE_RGB
                         : job.form == TForm::kPalette ? PNG_COLOR_TYPE_PALETTE
                                                       : PNG_COLOR_TYPE_GRAY;
  const int interlace = job.params.PNG_Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
  png_set_IHDR(png, info, static_cast<png_uint_32>(job.source.Width()), static_cast<png_uint_32>(job.source.Height()),
               job.form == TForm::kGrey1 ? 1 : 8, colourType, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (job.form == TForm::kPalette) {
    png_color palette[256];
    const auto& entries = job.quantizer->Palette();
    const int count = static_cast<int>(std::min<std::size_t>(entries.size(), 256));
    for (int i = 0; i < count; ++i) palette[i] = png_color{entries[i].r, entries[i].g, entries[i].b};
    png_set_PLTE(png, info, palette, count);
  }
  // A raster without a resolution gets no physical-size chunk.
  if (job.params.DpiX > 0 && job.params.DpiY > 0)
    png_set_pHYs(png, info, static_cast<png_uint_32>(PixelsPerMetreFromDpi(job.params.DpiX)),
                 static_cast<png_uint_32>(PixelsPerMetreFromDpi(job.params.DpiY)), PNG_RESOLUTION_METER);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, FilterOf(job.params.PNG_Filter));
  SetBackground(png, info, job);
  png_set_compression_level(png, std::clamp(job.params.PNG_Compression, 0, 9));
  png_write_info(png, info);
  if (job.form == TForm::kRgb) png_set_bgr(png);
}

// Every pass's rows from the top; answers false when a progress handler
// stopped it. Runs under the error guard.
bool WriteRows(png_structp png, const TWriteJob& job, TProgressRec& progress) {
  const int passes = png_set_interlace_handling(png);
  const TBitmap& source = job.source;
  progress.units = static_cast<long long>(source.Height()) * passes;
  long long done = 0;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < source.Height(); ++y) {
      const std::uint8_t* row = source.ScanLine(y);
      if (job.form == TForm::kPalette) {
        for (int x = 0; x < source.Width(); ++x, row += 3)
          job.indices[static_cast<std::size_t>(x)] = static_cast<png_byte>(job.quantizer->Index(row[0], row[1], row[2]));
        row = job.indices.data();
      }
      png_write_row(png, row);
      if (progress.Report(++done)) return false;
    }
  return true;
}

}  // namespace

void WritePngStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress) {
  TPngLink link(stream);
  TPngSession session(TPngSession::TKind::kWrite, link);
  if (!session.Valid()) throw EInvalidGraphic("Error on creating PNG");

  const std::optional<TBitmap> converted = ConvertedSource(raster, params);
  const TBitmap& source = converted ? *converted : raster;
  const TForm form = FormOf(source, params);
  std::optional<TColorQuantizer> quantizer;
  if (form == TForm::kPalette) quantizer.emplace(source, 256);
  std::vector<png_byte> indices(form == TForm::kPalette ? static_cast<std::size_t>(source.Width()) : 0);
  const TWriteJob job{source, form, params, quantizer ? &*quantizer : nullptr, indices};

  bool completed = false;
  const bool written = PngGuarded(link, [&] {
    WriteHeader(session.Png(), session.Info(), job);
    completed = WriteRows(session.Png(), job, progress);
  });
  link.RethrowPending();
  if (!written) return SetAborting(progress);
  if (!completed || progress.Aborted()) return;
  if (!PngGuarded(link, [&] { png_write_end(session.Png(), nullptr); })) SetAborting(progress);
  link.RethrowPending();
}

}  // namespace skyloom
