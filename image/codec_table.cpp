#include "image/codec_table.h"

#include <array>

#include "image/codecs/bmp_reader.h"
#include "image/codecs/bmp_writer.h"
#include "image/codecs/gif_reader.h"
#include "image/codecs/gif_writer.h"
#include "image/codecs/ico_reader.h"
#include "image/codecs/jpeg_reader.h"
#include "image/codecs/jpeg_writer.h"
#include "image/codecs/pcx_reader.h"
#include "image/codecs/pcx_writer.h"
#include "image/codecs/png_reader.h"
#include "image/codecs/png_writer.h"
#include "image/codecs/tga_reader.h"
#include "image/codecs/tga_writer.h"
#include "image/codecs/tiff_reader.h"
#include "image/codecs/tiff_writer.h"
#include "image/file_formats.h"

namespace skyloom {
namespace {

void ReadBmp(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
             std::int64_t sizeHint) {
  ReadBmpStream(s, raster, params, sizeHint, paramsOnly, progress);
}

void ReadIco(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
             std::int64_t) {
  ReadIcoStream(s, raster, params, progress, paramsOnly);
}

void ReadCur(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
             std::int64_t) {
  ReadCurStream(s, raster, params, progress, paramsOnly);
}

void ReadGif(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
             std::int64_t) {
  ReadGifStream(s, raster, params, progress, paramsOnly);
}

void ReadJpeg(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
              std::int64_t) {
  ReadJpegStream(s, raster, params, progress, paramsOnly);
}

void ReadPng(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
             std::int64_t) {
  ReadPngStream(s, raster, params, progress, paramsOnly);
}

void ReadPcx(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
             std::int64_t sizeHint) {
  ReadPcxStream(s, raster, params, progress, paramsOnly, sizeHint);
}

void ReadTga(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
             std::int64_t) {
  ReadTgaStream(s, raster, params, progress, paramsOnly);
}

void ReadTiff(TStream& s, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
              std::int64_t) {
  ReadTiffStream(s, raster, params, progress, paramsOnly);
}

// One line per format; a codec plugs in by filling its slots.
constexpr std::array<TCodec, 9> kCodecs{{
    {ioTIFF, ReadTiff, WriteTiffStream},
    {ioGIF, ReadGif, WriteGifStream},
    {ioJPEG, ReadJpeg, WriteJpegStream},
    {ioPCX, ReadPcx, WritePcxStream},
    {ioBMP, ReadBmp, WriteBmpStream},
    {ioICO, ReadIco, nullptr},
    {ioCUR, ReadCur, nullptr},
    {ioPNG, ReadPng, WritePngStream},
    {ioTGA, ReadTga, WriteTgaStream},
}};

}  // namespace

const TCodec* BuiltInCodec(std::int32_t fileType) {
  for (const auto& codec : kCodecs)
    if (codec.fileType == fileType) return &codec;
  return nullptr;
}

}  // namespace skyloom
