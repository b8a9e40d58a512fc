#include "image/codecs/tiff_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/raster_limits.h"
#include "image/codecs/tiff_directory.h"
#include "image/codecs/tiff_rows.h"
#include "image/codecs/tiff_strips.h"
#include "image/io_params.h"
#include "image/screen_dpi.h"
#include "toolkit/stream.h"

namespace skyloom {

using namespace tiff;

namespace {

// What the directory says about the page.
struct TTiffPage {
  std::uint32_t width = 0, height = 0;
  std::uint32_t bits = 1, samples = 1;
  std::uint32_t compression = 1, photometric = 2, planar = 1, predictor = 1;
  std::uint32_t rowsPerStrip = 0;
  std::uint32_t t4Options = 0;
  std::vector<std::uint32_t> offsets, counts;
  bool tiled = false;
  bool equalBits = true;
  bool lookMolli = false;
};

int ParamsCompression(std::uint32_t c, std::uint32_t t4Options) {
  switch (c) {
    case kUncompressed: return 0;
    case kCcittRle: return 1;
    case kCcittT4: return (t4Options & 1) ? 3 : 2;
    case kPackBits: return 8;
    default: return static_cast<int>(c);  // 4..7 keep their numbers
  }
}

int DpiOf(double resolution, double factor) {
  const double dpi = resolution * factor;
  return dpi >= 1 && dpi < 2147483647.0 ? static_cast<int>(dpi) : ScreenDpi();
}

int PositionOf(double position, double factor) {
  const double v = position * factor;
  return v > -2147483648.0 && v < 2147483647.0 ? static_cast<int>(v) : 0;
}

std::vector<TIERGB> ColourMapOf(const std::vector<std::uint32_t>& values) {
  const std::size_t n = values.size() / 3;
  std::vector<TIERGB> map(n);
  for (std::size_t i = 0; i < n; ++i)
    map[i] = TIERGB{static_cast<std::uint8_t>(values[2 * n + i] >> 8), static_cast<std::uint8_t>(values[n + i] >> 8),
                    static_cast<std::uint8_t>(values[i] >> 8)};
  return map;
}

TTiffPage EvaluateTags(TTiffDirectory& dir, TIOParamsVals& params) {
  TTiffPage page;
  page.width = dir.Number(kWidth, 0);
  page.height = dir.Number(kLength, 0);
  const auto bits = dir.Numbers(kBitsPerSample);
  if (!bits.empty()) {
    page.bits = bits.front();
    page.equalBits = std::all_of(bits.begin(), bits.end(), [&](std::uint32_t b) { return b == bits.front(); });
  }
  page.compression = dir.Number(kCompression, kUncompressed);
  page.photometric = dir.Number(kPhotometric, 2);
  page.samples = dir.Number(kSamples, 1);
  page.rowsPerStrip = dir.Number(kRowsPerStrip, page.height);
  if (page.rowsPerStrip == 0 || page.rowsPerStrip > page.height) page.rowsPerStrip = page.height;
  page.offsets = dir.Numbers(kStripOffsets);
  page.counts = dir.Numbers(kStripByteCounts);
  page.planar = dir.Number(kPlanar, 1);
  page.t4Options = dir.Number(kT4Options, 0);
  page.predictor = dir.Number(kPredictor, 1);
  page.tiled = dir.Has(kTileWidth) || dir.Has(kTileLength) || dir.Has(kTileOffsets) || dir.Has(kTileByteCounts);
  page.lookMolli = dir.Text(kSoftware).compare(0, 15, "Look@Molli v1.1") == 0;

  const double factor = dir.Number(kResolutionUnit, 2) == 3 ? 2.54 : 1.0;
  params.Width = static_cast<std::int32_t>(std::min<std::uint32_t>(page.width, 0x7FFFFFFF));
  params.Height = static_cast<std::int32_t>(std::min<std::uint32_t>(page.height, 0x7FFFFFFF));
  params.BitsPerSample = static_cast<std::int32_t>(std::min<std::uint32_t>(page.bits, 0xFFFF));
  params.SamplesPerPixel = static_cast<std::int32_t>(std::min<std::uint32_t>(page.samples, 0xFFFF));
  params.DpiX = DpiOf(dir.Rational(kXResolution, 0), factor);
  params.DpiY = DpiOf(dir.Rational(kYResolution, 0), factor);
  params.TIFF_Compression = ParamsCompression(page.compression, page.t4Options);
  params.TIFF_PhotometInterpret = page.photometric == 8 ? 7 : static_cast<std::int32_t>(page.photometric & 0xFFFF);
  params.TIFF_PlanarConf = static_cast<std::int32_t>(page.planar & 0xFFFF);
  params.TIFF_XPos = PositionOf(dir.Rational(kXPosition, 0), factor);
  params.TIFF_YPos = PositionOf(dir.Rational(kYPosition, 0), factor);
  params.TIFF_DocumentName = dir.Text(kDocumentName);
  params.TIFF_ImageDescription = dir.Text(kDescription);
  params.TIFF_PageName = dir.Text(kPageName);
  const auto pages = dir.Numbers(kPageNumber);
  params.TIFF_PageNumber = pages.size() > 0 ? static_cast<std::int32_t>(pages[0] & 0xFFFF) : 0;
  params.TIFF_PagesCount = pages.size() > 1 ? static_cast<std::int32_t>(pages[1] & 0xFFFF) : 0;
  params.FreeColorMap();
  if (page.photometric == 3) params.ColorMap = ColourMapOf(dir.Numbers(kColourMap));
  return page;
}

const TTiffLzwDecoder* LzwDecoderOf(const TIOParamsVals& params) {
  if (params.TIFF_LZWDecompFunc) return &params.TIFF_LZWDecompFunc;
  const TTiffLzwDecoder& global = GlobalLzwHooks().TiffDecoder;
  return global ? &global : nullptr;
}

// Decodes the strips into the raster; answers false when the data could
// not be read or decoded in full (Aborting), true also when stopped.
class TStripDecoder {
 public:
  TStripDecoder(TTiffSource& source, const TTiffPage& page, const TIOParamsVals& params, TBitmap& raster,
                TProgressRec& progress)
      : source_(source), page_(page), raster_(raster), progress_(progress) {
    // A single-sample page is one plane whatever the configuration says.
    const bool planar = page.planar == 2 && page.samples > 1;
    planes_ = planar ? 3 : 1;
    format_.width = static_cast<int>(page.width);
    format_.samples = planar ? 3 : static_cast<int>(page.samples);
    format_.bits = static_cast<int>(page.bits);
    format_.kind = TiffRowKindOf(static_cast<int>(page.photometric), static_cast<int>(page.samples), format_.bits,
                                 planar);
    // Grey and bilevel: photometric 0 stores 1 = black. CCITT data arrive
    // with set bits for black runs, which photometric 0 paints black and 1
    // white, so compression changes nothing here.
    format_.invert = page.photometric == 0;
    format_.shift16 = page.lookMolli ? 4 : 8;
    format_.bigEndian = source.BigEndian();
    format_.colourMap = &params.ColorMap;
    coding_.compression = static_cast<int>(page.compression);
    coding_.t4Options = page.t4Options;
    coding_.width = format_.width;
    coding_.rowBytes = planar ? page.width : TiffRowBytes(page.width, page.samples, page.bits);
    coding_.lzw = LzwDecoderOf(params);
    predict_ = page.compression == kLzw && page.predictor == 2 && page.bits == 8;
    progress_.units = page.height;
  }

  bool HasRule() const { return format_.kind != TTiffRowKind::kNone; }

  bool Run() {
    const int planes = planes_;
    const std::uint32_t perPlane = (page_.height + page_.rowsPerStrip - 1) / page_.rowsPerStrip;
    std::vector<std::vector<std::uint8_t>> data(static_cast<std::size_t>(planes));
    std::vector<std::unique_ptr<TTiffRowSource>> sources(static_cast<std::size_t>(planes));
    std::vector<std::uint8_t> interleaved(planes > 1 ? coding_.rowBytes * 3 : 0);
    int y = 0;
    for (std::uint32_t strip = 0; strip < perPlane; ++strip) {
      const int rows = static_cast<int>(std::min<std::uint32_t>(page_.rowsPerStrip, page_.height - static_cast<std::uint32_t>(y)));
      for (int p = 0; p < planes; ++p) {
        const std::size_t index = static_cast<std::size_t>(p) * perPlane + strip;
        if (!ReadStrip(index, rows, data[static_cast<std::size_t>(p)])) return false;
        sources[static_cast<std::size_t>(p)] = MakeTiffRowSource(coding_, data[static_cast<std::size_t>(p)], rows);
        if (!sources[static_cast<std::size_t>(p)]) return false;
      }
      for (int r = 0; r < rows; ++r, ++y) {
        const std::uint8_t* row = planes == 1 ? NextRow(*sources[0], page_.samples) : Interleave(sources, interleaved);
        if (!row) return false;
        const bool inside = ConvertTiffRow(format_, row, raster_.ScanLine(y));
        if (progress_.Report(y + 1)) return true;
        if (!inside) return false;
      }
    }
    return true;
  }

 private:
  // The strip's bytes: its byte count, or to the end of the file without
  // one, but no more than its rows can use.
  bool ReadStrip(std::size_t index, int rows, std::vector<std::uint8_t>& data) {
    if (index >= page_.offsets.size()) return false;
    const std::uint64_t offset = page_.offsets[index];
    if (offset > source_.Size()) return false;
    const std::uint64_t count = index < page_.counts.size() ? page_.counts[index] : source_.Size() - offset;
    if (!source_.Contains(offset, count)) return false;
    const std::uint64_t usable = MostTiffStripBytes(coding_, static_cast<std::uint64_t>(rows));
    data.resize(static_cast<std::size_t>(std::min(count, usable)));
    return source_.ReadAt(offset, data.data(), data.size());
  }

  std::uint8_t* NextRow(TTiffRowSource& source, std::size_t samples) {
    std::uint8_t* row = source.Next();
    if (row && predict_) UndoTiffPredictor(row, page_.width, samples);
    return row;
  }

  const std::uint8_t* Interleave(std::vector<std::unique_ptr<TTiffRowSource>>& sources, std::vector<std::uint8_t>& out) {
    for (std::size_t p = 0; p < 3; ++p) {
      const std::uint8_t* plane = NextRow(*sources[p], 1);
      if (!plane) return nullptr;
      for (std::size_t x = 0; x < page_.width; ++x) out[3 * x + p] = plane[x];
    }
    return out.data();
  }

  TTiffSource& source_;
  const TTiffPage& page_;
  TBitmap& raster_;
  TProgressRec& progress_;
  TTiffRowFormat format_;
  TTiffStripCoding coding_;
  bool predict_ = false;
  int planes_ = 1;
};

bool Acceptable(const TTiffPage& page, TPixelFormat format) {
  if (page.tiled || !RasterSizeAcceptable(page.width, page.height, format)) return false;
  // Fax coding is 1 bit a pixel: any other depth is a damaged page.
  if (IsCcitt(page.compression) && (page.bits != 1 || page.samples != 1)) return false;
  // Rows beyond any rule are never decoded, but their size must not overflow.
  return page.samples <= 0xFFFF && page.bits <= 0xFFFF;
}

}  // namespace

int ReadTiffStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly) {
  TTiffSource source(stream);
  std::uint32_t first = 0;
  if (!source.ReadHeader(first)) {
    SetAborting(progress);
    return 0;
  }
  TTiffChain chain = WalkTiffChain(source, first, params.TIFF_ImageIndex);
  if (!chain.wanted) {
    if (chain.brokenLink) SetAborting(progress);
    return chain.count;
  }
  TTiffDirectory& dir = *chain.wanted;
  const TTiffPage page = EvaluateTags(dir, params);
  if (!page.equalBits || dir.Damaged() || (page.compression == kLzw && !LzwDecoderOf(params))) {
    SetAborting(progress);
    return chain.count;
  }
  // 1-bit pages are decoded as bits; a palette of other colours than black
  // and white then makes the raster 24-bit.
  const bool bilevel = page.bits == 1 && page.samples == 1;
  const bool paletteBits = bilevel && page.photometric == 3 && params.ColorMap.size() >= 2;
  const bool colouredBits = paletteBits && !BlackAndWhitePair(params.ColorMap[0], params.ColorMap[1]);
  if (colouredBits) params.DescribeTrueColour();
  if (paramsOnly) return chain.count;

  const TPixelFormat format = bilevel && !colouredBits ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  if (!Acceptable(page, format)) {
    SetAborting(progress);
    return chain.count;
  }
  raster.Allocate(static_cast<int>(page.width), static_cast<int>(page.height),
                  bilevel ? TPixelFormat::pf1bit : TPixelFormat::pf24bit);
  if (page.offsets.empty()) return chain.count;
  if (!TiffCompressionSupported(static_cast<int>(page.compression))) {
    SetAborting(progress);
    return chain.count;
  }
  TStripDecoder decoder(source, page, params, raster, progress);
  if (decoder.HasRule() && !decoder.Run()) SetAborting(progress);
  if (paletteBits) ApplyBilevelPalette(raster, params.ColorMap[0], params.ColorMap[1]);
  return chain.count;
}

}  // namespace skyloom
