#include "bench/bench_bmp.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace skyloom::bench {
namespace {

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint8_t Clamp(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

TBitmap SyntheticPhoto(int width, int height) {
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const int noise = static_cast<int>(state >> 28) - 8;
      const int dx = x - width / 3;
      const int dy = y - height / 2;
      const bool disc = static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy <
                        static_cast<long long>(height) * height / 16;
      row[x * 3 + 0] = Clamp(255 * y / height + noise);
      row[x * 3 + 1] = Clamp((disc ? 220 : 60) + noise);
      row[x * 3 + 2] = Clamp(((x / 97 + y / 89) % 2 ? 200 : 90) * x / width + noise + 30);
    }
  }
  return bitmap;
}

bool LoadBmp24(const std::string& path, TBitmap& bitmap) {
  TFile file(std::fopen(path.c_str(), "rb"));
  std::uint8_t header[54];
  if (!file || std::fread(header, 1, sizeof header, file.get()) != sizeof header) return false;
  if (header[0] != 'B' || header[1] != 'M' || U16(header + 28) != 24 || U32(header + 30) != 0) return false;
  const auto width = static_cast<int>(U32(header + 18));
  const auto height = static_cast<int>(U32(header + 22));
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return false;
  bitmap.Allocate(width, height, TPixelFormat::pf24bit);
  if (std::fseek(file.get(), static_cast<long>(U32(header + 10)), SEEK_SET) != 0) return false;
  return std::fread(bitmap.Bits(), 1, bitmap.SizeInBytes(), file.get()) == bitmap.SizeInBytes();
}

bool SaveBmp24(const std::string& path, const TBitmap& bitmap) {
  TFile file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  std::uint8_t header[54] = {'B', 'M'};
  Put32(header + 2, static_cast<std::uint32_t>(54 + bitmap.SizeInBytes()));
  Put32(header + 10, 54);
  Put32(header + 14, 40);
  Put32(header + 18, static_cast<std::uint32_t>(bitmap.Width()));
  Put32(header + 22, static_cast<std::uint32_t>(bitmap.Height()));
  header[26] = 1;
  header[28] = 24;
  Put32(header + 34, static_cast<std::uint32_t>(bitmap.SizeInBytes()));
  return std::fwrite(header, 1, sizeof header, file.get()) == sizeof header &&
         std::fwrite(bitmap.Bits(), 1, bitmap.SizeInBytes(), file.get()) == bitmap.SizeInBytes();
}

}  // namespace skyloom::bench
