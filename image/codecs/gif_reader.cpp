#include "image/codecs/gif_reader.h"

#include <array>
#include <bit>
#include <cstring>
#include <exception>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/gif_blocks.h"
#include "image/codecs/raster_limits.h"
#include "image/io_params.h"
#include "image/lzw_hooks.h"
#include "image/pixel_buffer.h"
#include "image/screen_dpi.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kScreenSize = 13;     // signature, version and logical screen descriptor
constexpr std::size_t kDescriptorSize = 9;  // image descriptor after its ","
constexpr std::uint8_t kControlLabel = 0xF9;

using TColourTable = std::vector<TIERGB>;

bool ReadByte(TStream& stream, std::uint8_t& value) { return stream.Read(&value, 1) == 1; }

// 2^(bits) entries, converted to blue, green, red; entries cut off by the
// stream's end read black.
TColourTable ReadColourTable(TStream& stream, int bits) {
  const std::size_t count = std::size_t{1} << bits;
  std::vector<std::uint8_t> rgb(count * 3, 0);
  ReadAvailable(stream, rgb.data(), rgb.size());
  TColourTable table(count);
  for (std::size_t i = 0; i < count; ++i) table[i] = TIERGB{rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i]};
  return table;
}

// An index the table lacks (every index when there is no table) shows the
// grey of its own value: nothing is read outside the table, and a file
// without colours still shows its shapes.
TIERGB EntryOf(const TColourTable& table, unsigned index) {
  if (index < table.size()) return table[index];
  const auto grey = static_cast<std::uint8_t>(index);
  return TIERGB{grey, grey, grey};
}

// What the graphic control extension of the chosen image says.
struct TControl {
  int delay = 0;
  bool transparent = false;
  std::uint8_t transparentIndex = 0;
};

// The first sub-block holds packed byte, delay and transparent index;
// anything after it up to the terminator is skipped.
void ReadControl(TStream& stream, TControl& control) {
  std::uint8_t size = 0;
  if (!ReadByte(stream, size) || size == 0) return;
  std::vector<std::uint8_t> block(size, 0);
  ReadAvailable(stream, block.data(), block.size());
  if (size >= 4) {
    control.transparent = (block[0] & 1) != 0;
    control.delay = GetU16(block.data() + 1);
    control.transparentIndex = block[3];
  }
  ReadSubBlocks(stream, nullptr);
}

// Minimum code size byte, then the data sub-blocks.
void SkipImageData(TStream& stream) {
  std::uint8_t minCodeSize = 0;
  if (ReadByte(stream, minCodeSize)) ReadSubBlocks(stream, nullptr);
}

struct TDescriptor {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  bool hasTable = false;
  int tableBits = 0;  // the table holds 2^tableBits entries
};

TDescriptor ReadDescriptor(TStream& stream) {
  std::uint8_t d[kDescriptorSize] = {};
  ReadAvailable(stream, d, sizeof d);
  TDescriptor descriptor;
  descriptor.left = GetU16(d);
  descriptor.top = GetU16(d + 2);
  descriptor.width = GetU16(d + 4);
  descriptor.height = GetU16(d + 6);
  descriptor.hasTable = (d[8] & 0x80) != 0;
  descriptor.interlaced = (d[8] & 0x40) != 0;
  descriptor.tableBits = (d[8] & 7) + 1;
  return descriptor;
}

// The index buffer as raster rows: a set bit for every non-zero index.
void FillMono(const std::uint8_t* indices, TBitmap& raster) {
  const auto width = static_cast<std::size_t>(raster.Width());
  for (int y = 0; y < raster.Height(); ++y, indices += width) {
    std::uint8_t* dst = raster.ScanLine(y);
    for (std::size_t x = 0; x < width; ++x)
      if (indices[x] != 0) dst[x / 8] = static_cast<std::uint8_t>(dst[x / 8] | (0x80 >> (x % 8)));
  }
}

void FillColour(const std::uint8_t* indices, const TColourTable& table, TBitmap& raster) {
  std::array<std::uint8_t, 256 * 4> lookup{};  // blue, green, red and a spare byte per index
  for (unsigned i = 0; i < 256; ++i) {
    const TIERGB c = EntryOf(table, i);
    lookup[4 * i] = c.b;
    lookup[4 * i + 1] = c.g;
    lookup[4 * i + 2] = c.r;
  }
  const auto width = static_cast<std::size_t>(raster.Width());
  for (int y = 0; y < raster.Height(); ++y, indices += width) {
    std::uint8_t* dst = raster.ScanLine(y);
    // Four bytes per pixel, each store's spare byte overwritten by the next
    // pixel; the last pixel takes three, as the row may end the block.
    for (std::size_t x = 0; x + 1 < width; ++x) std::memcpy(dst + 3 * x, &lookup[4 * indices[x]], 4);
    std::memcpy(dst + 3 * (width - 1), &lookup[4 * indices[width - 1]], 3);
  }
}

bool IsBlackThenWhite(const TColourTable& table) {
  return table.size() == 2 && table[0] == TIERGB{0, 0, 0} && table[1] == TIERGB{255, 255, 255};
}

// One palette index per pixel through the decoder hook (the params' slot,
// else the engine's); false when the size is refused, no decoder is
// installed or the decoder did not move past the image data.
bool DecodeIndices(TStream& stream, const TDescriptor& d, const TIOParamsVals& params, TPixelBuffer& indices) {
  if (!RasterSizeAcceptable(d.width, d.height, TPixelFormat::pf24bit)) return false;  // refused before allocating
  const TGifLzwDecoder& decoder = params.GIF_LZWDecompFunc ? params.GIF_LZWDecompFunc : GlobalLzwHooks().GifDecoder;
  if (!decoder) return false;
  indices = TPixelBuffer(static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height));
  const std::int64_t before = stream.Position();
  return decoder(stream, d.height, d.width, indices.Data(), d.interlaced) && stream.Position() != before;
}

// The chosen image: its params, then (unless paramsOnly) its pixels.
void ReadChosenImage(TStream& stream, const TDescriptor& d, const TColourTable& table, const TControl& control,
                     TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly) {
  if (progress.Report(30)) return;
  params.GIF_TranspColor = EntryOf(table, control.transparentIndex);
  params.GIF_XPos = d.left;
  params.GIF_YPos = d.top;
  params.Width = d.width;
  params.Height = d.height;
  params.GIF_DelayTime = control.delay;
  params.GIF_FlagTranspColor = control.transparent;
  params.GIF_Interlaced = d.interlaced;

  TPixelBuffer indices;
  if (paramsOnly) {
    SkipImageData(stream);
  } else if (!DecodeIndices(stream, d, params, indices)) {
    SetAborting(progress);
    return;
  }
  if (progress.Report(70)) return;

  // A missing table stands as the 256 greys its indices show.
  TColourTable shown = table;
  if (shown.empty())
    for (unsigned i = 0; i < 256; ++i) shown.push_back(EntryOf(table, i));
  params.BitsPerSample = table.empty() ? 8 : static_cast<std::int32_t>(std::bit_width(table.size()) - 1);
  params.ColorMap = shown;
  if (params.BitsPerSample == 1 && !BlackAndWhitePair(shown[0], shown[1])) params.DescribeTrueColour();
  if (paramsOnly) return;
  const bool mono = params.BitsPerSample == 1 && IsBlackThenWhite(table);
  raster.Allocate(d.width, d.height, mono ? TPixelFormat::pf1bit : TPixelFormat::pf24bit);
  if (mono)
    FillMono(indices.Data(), raster);
  else
    FillColour(indices.Data(), table, raster);
}

}  // namespace

int ReadGifStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly) {
  progress.units = 100;  // the reports are percentages
  if (progress.Report(0)) return 0;
  std::uint8_t h[kScreenSize];
  if (!ReadFully(stream, h, sizeof h) || std::memcmp(h, "GIF", 3) != 0) {
    SetAborting(progress);
    return 0;
  }
  params.GIF_Version.assign(h, h + 6);
  params.GIF_WinWidth = GetU16(h + 6);
  params.GIF_WinHeight = GetU16(h + 8);
  params.GIF_Ratio = h[12];
  params.DpiX = params.DpiY = ScreenDpi();
  params.SamplesPerPixel = 1;
  TColourTable global;
  if (h[10] & 0x80) {
    global = ReadColourTable(stream, (h[10] & 7) + 1);
    params.GIF_Background = EntryOf(global, h[11]);
  }
  if (BytesLeft(stream) == 0) SetAborting(progress);

  int count = 0;
  bool chosenMet = false;
  TControl control;
  try {
    while (!progress.Aborted()) {
      std::uint8_t block = ';';
      ReadByte(stream, block);  // the stream's end reads as the trailer
      if (block == ';') break;
      if (block == '!') {
        std::uint8_t label = 0;
        if (!ReadByte(stream, label)) continue;
        if (label == kControlLabel && count == params.GIF_ImageIndex)
          ReadControl(stream, control);
        else
          ReadSubBlocks(stream, nullptr);
      } else if (block == ',') {
        const TDescriptor d = ReadDescriptor(stream);
        const TColourTable local = d.hasTable ? ReadColourTable(stream, d.tableBits) : TColourTable{};
        chosenMet = chosenMet || count == params.GIF_ImageIndex;
        if (count == params.GIF_ImageIndex)
          ReadChosenImage(stream, d, d.hasTable ? local : global, control, raster, params, progress, paramsOnly);
        else
          SkipImageData(stream);
        ++count;
      }
    }
  } catch (const std::exception&) {  // no memory for the indices or the raster: the raster stays as it was
    SetAborting(progress);
  }
  if (!chosenMet) SetAborting(progress);  // no image to show: the raster stays as it was
  if (!progress.Aborted()) progress.Report(100);
  return count;
}

}  // namespace skyloom
