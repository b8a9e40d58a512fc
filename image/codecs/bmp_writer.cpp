#include "image/codecs/bmp_writer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/bmp_pixels.h"
#include "image/codecs/bmp_rle.h"
#include "image/codecs/byte_order.h"
#include "image/io_params.h"
#include "image/quantizer.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;

int OutputBitCount(const TIOParamsVals& params) {
  if (params.BitsPerSample == 1 || params.BitsPerSample == 4) return params.BitsPerSample;
  return params.SamplesPerPixel == 1 ? 8 : 24;
}

struct TLayout {
  int bitCount = 24;
  bool core = false;  // 12-byte header with 3-byte palette entries
  bool rle = false;
  std::size_t headerSize = 40;
};

TLayout ChooseLayout(const TIOParamsVals& params) {
  TLayout layout;
  layout.bitCount = OutputBitCount(params);
  layout.core = params.BMP_Version == 2;
  layout.headerSize = layout.core ? kCoreHeaderSize : params.BMP_Version == 3 ? 64 : 40;
  layout.rle = !layout.core && params.BMP_Compression == 1 && (layout.bitCount == 4 || layout.bitCount == 8);
  return layout;
}

void WriteFirstHeaders(TStream& stream, const TBitmap& raster, const TIOParamsVals& params, const TLayout& layout) {
  std::vector<std::uint8_t> bytes(kFileHeaderSize + layout.headerSize, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  std::uint8_t* h = bytes.data() + kFileHeaderSize;
  PutU32(h, static_cast<std::uint32_t>(layout.headerSize));
  if (layout.core) {
    PutU16(h + 4, static_cast<std::uint32_t>(raster.Width()));
    PutU16(h + 6, static_cast<std::uint32_t>(raster.Height()));
    PutU16(h + 8, 1);
  } else {
    const int bc = layout.bitCount;
    PutU32(h + 4, static_cast<std::uint32_t>(raster.Width()));
    PutU32(h + 8, static_cast<std::uint32_t>(raster.Height()));  // positive: bottom-up
    PutU16(h + 12, 1);
    PutU32(h + 16, layout.rle ? (bc == 4 ? 2u : 1u) : 0u);
    PutU32(h + 24, static_cast<std::uint32_t>(PixelsPerMetreFromDpi(params.DpiX)));
    PutU32(h + 28, static_cast<std::uint32_t>(PixelsPerMetreFromDpi(params.DpiY)));
    PutU32(h + 32, bc <= 8 ? 1u << bc : 0u);
    PutU32(h + 36, 1u << bc);
  }
  stream.WriteBuffer(bytes.data(), bytes.size());
}

void WritePalette(TStream& stream, const std::vector<TIERGB>& map, bool core) {
  std::vector<std::uint8_t> bytes;
  for (const auto& c : map) {
    bytes.insert(bytes.end(), {c.b, c.g, c.r});
    if (!core) bytes.push_back(0);
  }
  stream.WriteBuffer(bytes.data(), bytes.size());
}

// Rows from the bottom raster row upward, with progress before each row.
// Answers false when a progress handler stopped the write.
template <typename RowWriter>
bool WriteRows(const TBitmap& raster, TProgressRec& progress, RowWriter writeRow) {
  const int height = raster.Height();
  progress.units = height;
  for (int i = 0; i < height; ++i) {
    if (progress.Report(i)) return false;
    writeRow(height - 1 - i);
  }
  return true;
}

bool WritePaletteImage(TStream& stream, const TBitmap& raster, TIOParamsVals& params, const TLayout& layout,
                       TProgressRec& progress) {
  std::optional<TBitmap> copy;
  if (raster.PixelFormat() != TPixelFormat::pf24bit) copy = Copy24Bit(raster);
  const TBitmap& source = copy ? *copy : raster;
  const int bc = layout.bitCount;
  const TColorQuantizer quantizer(source, 1 << bc);
  params.ColorMap = quantizer.Palette();
  WritePalette(stream, params.ColorMap, layout.core);

  const int width = source.Width();
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(width));
  std::vector<std::uint8_t> out;
  const bool done = WriteRows(source, progress, [&](int y) {
    const std::uint8_t* p = source.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) indices[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(quantizer.Index(p[0], p[1], p[2]));
    out.clear();
    if (layout.rle) {
      EncodeRleRow(indices.data(), width, bc == 4, out);
    } else {
      out.assign(DibRowSize(width, bc), 0);
      for (int x = 0; x < width; ++x) {
        if (bc == 8)
          out[static_cast<std::size_t>(x)] = indices[static_cast<std::size_t>(x)];
        else
          out[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(indices[static_cast<std::size_t>(x)] << ((x & 1) ? 0 : 4));
      }
    }
    stream.WriteBuffer(out.data(), out.size());
  });
  if (done && layout.rle) {
    const std::uint8_t endOfBitmap[2] = {0, 1};
    stream.WriteBuffer(endOfBitmap, 2);
  }
  return done;
}

bool WriteMonochrome(TStream& stream, const TBitmap& raster, TIOParamsVals& params, const TLayout& layout,
                     TProgressRec& progress) {
  std::optional<TBitmap> converted;
  if (raster.PixelFormat() == TPixelFormat::pf1bit)
    params.ColorMap = {TIERGB{0, 0, 0}, TIERGB{255, 255, 255}};
  else if (raster.PixelFormat() == TPixelFormat::pf24bit)
    converted = ToMonochrome(raster, params.ColorMap);
  else
    converted = ToMonochrome(Copy24Bit(raster), params.ColorMap);
  const TBitmap& mono = converted ? *converted : raster;
  WritePalette(stream, params.ColorMap, layout.core);
  return WriteRows(mono, progress, [&](int y) { stream.WriteBuffer(mono.ScanLine(y), mono.RowSize()); });
}

bool WriteTrueColour(TStream& stream, const TBitmap& raster, TProgressRec& progress) {
  std::optional<TBitmap> copy;
  if (raster.PixelFormat() != TPixelFormat::pf24bit) copy = Copy24Bit(raster);
  const TBitmap& source = copy ? *copy : raster;
  return WriteRows(source, progress, [&](int y) { stream.WriteBuffer(source.ScanLine(y), source.RowSize()); });
}

// Fills in sizes, pixel offset and bit count once the data are written.
void PatchHeaders(TStream& stream, std::int64_t start, std::int64_t pixelStart, const TLayout& layout) {
  const std::int64_t end = stream.Position();
  std::uint8_t field[4];
  stream.SetPosition(start + 2);
  PutU32(field, static_cast<std::uint32_t>(end - start));
  stream.WriteBuffer(field, 4);
  stream.SetPosition(start + 10);
  PutU32(field, static_cast<std::uint32_t>(pixelStart - start));
  stream.WriteBuffer(field, 4);
  const std::int64_t header = start + static_cast<std::int64_t>(kFileHeaderSize);
  if (layout.core) {
    stream.SetPosition(header + 10);
    PutU16(field, static_cast<std::uint32_t>(layout.bitCount));
    stream.WriteBuffer(field, 2);
  } else {
    stream.SetPosition(header + 14);
    PutU16(field, static_cast<std::uint32_t>(layout.bitCount));
    stream.WriteBuffer(field, 2);
    stream.SetPosition(header + 20);
    PutU32(field, static_cast<std::uint32_t>(end - pixelStart));
    stream.WriteBuffer(field, 4);
  }
  stream.SetPosition(end);
}

}  // namespace

void WriteBmpStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress) {
  const TLayout layout = ChooseLayout(params);
  const std::int64_t start = stream.Position();
  WriteFirstHeaders(stream, raster, params, layout);

  std::int64_t pixelStart = 0;
  bool done = false;
  if (layout.bitCount == 4 || layout.bitCount == 8) {
    // The palette goes first: the pixel data begin after it.
    const auto before = stream.Position();
    done = WritePaletteImage(stream, raster, params, layout, progress);
    pixelStart = before + static_cast<std::int64_t>((std::size_t{1} << layout.bitCount) * (layout.core ? 3 : 4));
  } else if (layout.bitCount == 1) {
    const auto before = stream.Position();
    done = WriteMonochrome(stream, raster, params, layout, progress);
    pixelStart = before + (layout.core ? 6 : 8);
  } else {
    pixelStart = stream.Position();
    done = WriteTrueColour(stream, raster, progress);
  }
  if (!done) return;  // stopped: the headers keep their zero sizes
  PatchHeaders(stream, start, pixelStart, layout);
}

}  // namespace skyloom
