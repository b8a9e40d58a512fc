#include "image/codecs/tga_reader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codecs/byte_order.h"
#include "image/codecs/codec_status.h"
#include "image/codecs/raster_limits.h"
#include "image/codecs/tga_extension.h"
#include "image/codecs/tga_packets.h"
#include "image/io_params.h"
#include "image/screen_dpi.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::uint8_t kRightToLeft = 0x10;
constexpr std::uint8_t kTopToBottom = 0x20;

struct TTgaHeader {
  int idLength = 0;
  int colourMapType = 0;
  int imageType = 0;
  int mapOrigin = 0;
  int mapLength = 0;
  int mapEntryBits = 0;
  int width = 0;
  int height = 0;
  int depth = 0;
  std::uint8_t descriptor = 0;
};

TTgaHeader ParseHeader(const std::uint8_t* h) {
  TTgaHeader header;
  header.idLength = h[0];
  header.colourMapType = h[1];
  header.imageType = h[2];
  header.mapOrigin = GetU16(h + 3);
  header.mapLength = GetU16(h + 5);
  header.mapEntryBits = h[7];
  header.width = GetU16(h + 12);
  header.height = GetU16(h + 14);
  header.depth = h[16];
  header.descriptor = h[17];
  return header;
}

bool KnownImageType(int type) { return (type >= 1 && type <= 3) || (type >= 9 && type <= 11); }

bool KnownDepth(int depth) {
  return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

void SetDefaults(TIOParamsVals& params) {
  params.TGA_Author.clear();
  params.TGA_JobName.clear();
  params.TGA_Date = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
  params.TGA_Background = TIERGB{};
  params.TGA_AspectRatio = 1.0;
  params.TGA_Gamma = 2.2;
}

void SetSampleFormat(int depth, TIOParamsVals& params) {
  switch (depth) {
    case 1: params.BitsPerSample = 1; params.SamplesPerPixel = 1; return;
    case 8: params.BitsPerSample = 8; params.SamplesPerPixel = 1; return;
    case 16: params.BitsPerSample = 5; params.SamplesPerPixel = 3; return;
    case 24: params.BitsPerSample = 8; params.SamplesPerPixel = 3; return;
    default: params.BitsPerSample = 8; params.SamplesPerPixel = 4; return;
  }
}

// 5-5-5 in 16 bits (bit 15 unused), each channel x 8.
TIERGB Colour555(std::uint16_t v) {
  return TIERGB{static_cast<std::uint8_t>((v & 0x1F) << 3), static_cast<std::uint8_t>(((v >> 5) & 0x1F) << 3),
                static_cast<std::uint8_t>(((v >> 10) & 0x1F) << 3)};
}

// The colour map, placed at its origin so that pixel values index it.
// Answers false when its entries are of a size without a rule or the data
// end inside it.
bool ReadColourMap(TStream& stream, const TTgaHeader& h, std::vector<TIERGB>& map) {
  const int bits = h.mapEntryBits;
  const std::size_t entryBytes = bits == 15 ? 2 : static_cast<std::size_t>(bits / 8);
  if (bits != 15 && bits != 16 && bits != 24 && bits != 32) return false;
  std::vector<std::uint8_t> raw(entryBytes * static_cast<std::size_t>(h.mapLength));
  if (!ReadFully(stream, raw.data(), raw.size())) return false;
  map.assign(static_cast<std::size_t>(h.mapOrigin), TIERGB{});
  for (std::size_t i = 0; i < static_cast<std::size_t>(h.mapLength); ++i) {
    const std::uint8_t* e = raw.data() + i * entryBytes;
    map.push_back(entryBytes == 2 ? Colour555(GetU16(e)) : TIERGB{e[0], e[1], e[2]});
  }
  return true;
}

// The pixel-value lookup of 8-bit pictures: index -> blue, green, red,
// with the indices outside the map marked.
struct TIndexLut {
  std::array<std::uint8_t, 256 * 3> colours{};
  std::array<bool, 256> valid{};

  TIndexLut(const std::vector<TIERGB>& map, std::size_t firstValid) {
    for (std::size_t i = 0; i < 256; ++i) {
      if (i < firstValid || i >= map.size()) continue;
      valid[i] = true;
      colours[3 * i] = map[i].b;
      colours[3 * i + 1] = map[i].g;
      colours[3 * i + 2] = map[i].r;
    }
  }
};

// A 1-bit picture's colour for index i: its map entry, or black for 0 and
// white for 1 where the map has none.
TIERGB EntryOr(const TIndexLut& lut, std::size_t i, TIERGB fallback) {
  if (!lut.valid[i]) return fallback;
  return TIERGB{lut.colours[3 * i], lut.colours[3 * i + 1], lut.colours[3 * i + 2]};
}

class TRowDecoder {
 public:
  TRowDecoder(const TTgaHeader& h, const TIndexLut& lut, const std::uint8_t* data, std::size_t size)
      : h_(h),
        lut_(lut),
        pixelBytes_(h.depth == 1 ? 1 : static_cast<std::size_t>(h.depth / 8)),
        units_(h.depth == 1 ? (static_cast<std::size_t>(h.width) + 7) / 8 : static_cast<std::size_t>(h.width)),
        pixels_(data, size, pixelBytes_, h.imageType >= 9),
        row_(units_ * pixelBytes_) {}

  // Decodes the next row into dst (a raster row); answers false when the
  // data ended or an index fell outside the colour map.
  bool Next(std::uint8_t* dst) {
    // True colour is stored blue, green, red like the raster: straight in.
    std::uint8_t* target = h_.depth == 24 ? dst : row_.data();
    const std::size_t got = pixels_.Read(target, units_);
    std::memset(target + got * pixelBytes_, 0, (units_ - got) * pixelBytes_);
    const bool indicesValid = Convert(dst);
    if (h_.descriptor & kRightToLeft) Mirror(dst);
    return got == units_ && indicesValid;
  }

 private:
  bool Convert(std::uint8_t* dst) const {
    const std::uint8_t* src = row_.data();
    const auto width = static_cast<std::size_t>(h_.width);
    switch (h_.depth) {
      case 1: {
        std::memcpy(dst, src, units_);
        if (width % 8 != 0) dst[units_ - 1] &= static_cast<std::uint8_t>(0xFF00 >> (width % 8));
        return true;
      }
      case 8: {
        bool valid = true;
        for (std::size_t x = 0; x < width; ++x, dst += 3) {
          valid &= lut_.valid[src[x]];
          std::memcpy(dst, &lut_.colours[3 * src[x]], 3);
        }
        return valid;
      }
      case 16:
        for (std::size_t x = 0; x < width; ++x, dst += 3, src += 2) {
          const TIERGB c = Colour555(GetU16(src));
          dst[0] = c.b;
          dst[1] = c.g;
          dst[2] = c.r;
        }
        return true;
      case 32:
        for (std::size_t x = 0; x < width; ++x, dst += 3, src += 4) std::memcpy(dst, src, 3);
        return true;
      default: return true;  // 24 bits: decoded in place
    }
  }

  void Mirror(std::uint8_t* dst) const {
    const auto width = static_cast<std::size_t>(h_.width);
    if (h_.depth != 1) {
      for (std::size_t l = 0, r = width - 1; l < r; ++l, --r) std::swap_ranges(dst + 3 * l, dst + 3 * l + 3, dst + 3 * r);
      return;
    }
    auto bit = [dst](std::size_t x) { return (dst[x / 8] >> (7 - x % 8)) & 1; };
    auto set = [dst](std::size_t x, int v) {
      const auto mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
      dst[x / 8] = static_cast<std::uint8_t>(v ? dst[x / 8] | mask : dst[x / 8] & ~mask);
    };
    for (std::size_t l = 0, r = width - 1; l < r; ++l, --r) {
      const int left = bit(l);
      set(l, bit(r));
      set(r, left);
    }
  }

  const TTgaHeader& h_;
  const TIndexLut& lut_;
  std::size_t pixelBytes_;
  std::size_t units_;  // pixels per row (bytes for 1 bit per pixel)
  TTgaPixelReader pixels_;
  std::vector<std::uint8_t> row_;
};

// Rows in file order, stored from the top or the bottom; progress after
// each row. Answers false when the picture could not be decoded in full.
bool DecodeRows(const TTgaHeader& h, const TIndexLut& lut, const std::uint8_t* data, std::size_t size,
                TBitmap& raster, TProgressRec& progress) {
  TRowDecoder decoder(h, lut, data, size);
  const bool topDown = (h.descriptor & kTopToBottom) != 0;
  progress.units = h.height;
  for (int row = 0; row < h.height; ++row) {
    const bool whole = decoder.Next(raster.ScanLine(topDown ? row : h.height - 1 - row));
    if (progress.Report(row + 1) || !whole) return whole;
  }
  return true;
}

// Everything after the colour map, read in one piece.
std::vector<std::uint8_t> ReadRest(TStream& stream) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(BytesLeft(stream)));
  data.resize(stream.Read(data.data(), data.size()));
  return data;
}

}  // namespace

void ReadTgaStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly) {
  const std::int64_t start = stream.Position();
  SetDefaults(params);
  if (ReadTgaExtension(stream, start, BytesLeft(stream), params) == TTgaExtensionRead::kOutsideFile) {
    SetAborting(progress);
    return;
  }
  stream.SetPosition(start);
  std::uint8_t bytes[kHeaderSize];
  if (!ReadFully(stream, bytes, sizeof bytes)) {
    SetAborting(progress);
    return;
  }
  const TTgaHeader h = ParseHeader(bytes);
  params.TGA_XPos = GetU16(bytes + 8);
  params.TGA_YPos = GetU16(bytes + 10);
  if (!KnownImageType(h.imageType) || !KnownDepth(h.depth)) {
    SetAborting(progress);
    return;
  }

  std::vector<std::uint8_t> id(static_cast<std::size_t>(h.idLength));
  if (!ReadFully(stream, id.data(), id.size())) {
    SetAborting(progress);
    return;
  }
  params.TGA_ImageName.assign(id.begin(), std::find(id.begin(), id.end(), 0));
  params.FreeColorMap();
  std::size_t firstIndex = 0;
  if (h.colourMapType == 1) {
    if (!ReadColourMap(stream, h, params.ColorMap)) {
      SetAborting(progress);
      return;
    }
    firstIndex = static_cast<std::size_t>(h.mapOrigin);
    params.TGA_GrayLevel = false;
  } else if (h.depth == 8) {
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<std::uint8_t>(i);
      params.ColorMap.push_back(TIERGB{v, v, v});
    }
    params.TGA_GrayLevel = true;
  } else if (h.depth == 1) {
    params.ColorMap = {TIERGB{0, 0, 0}, TIERGB{255, 255, 255}};
  }

  params.TGA_Compressed = h.imageType >= 9;
  params.Width = h.width;
  params.Height = h.height;
  params.DpiX = params.DpiY = ScreenDpi();
  SetSampleFormat(h.depth, params);
  const TIndexLut lut(params.ColorMap, firstIndex);
  const TIERGB zero = EntryOr(lut, 0, TIERGB{0, 0, 0}), one = EntryOr(lut, 1, TIERGB{255, 255, 255});
  const bool colouredBits = h.depth == 1 && !BlackAndWhitePair(zero, one);
  if (colouredBits) params.DescribeTrueColour();
  const TPixelFormat format = h.depth == 1 && !colouredBits ? TPixelFormat::pf1bit : TPixelFormat::pf24bit;
  // 4 bits per pixel passes the content test but has no pixel rule.
  if (h.depth == 4 || !RasterSizeAcceptable(h.width, h.height, format)) {
    SetAborting(progress);
    return;
  }
  if (paramsOnly) return;

  const std::vector<std::uint8_t> data = ReadRest(stream);
  // 1-bit rows are decoded as bits, then shown in the map's two colours.
  raster.Allocate(h.width, h.height, h.depth == 1 ? TPixelFormat::pf1bit : format);
  if (!DecodeRows(h, lut, data.data(), data.size(), raster, progress)) SetAborting(progress);
  ApplyBilevelPalette(raster, zero, one);
}

}  // namespace skyloom
