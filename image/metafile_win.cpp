// Metafiles through GDI: enhanced files load as they are; Windows
// metafiles (with or without the placeable header) are converted to
// enhanced ones, which GDI then plays onto a DIB section over the raster.
#include <windows.h>

#include <cstring>
#include <vector>

#include "image/bitmap.h"
#include "image/metafile.h"
#include "image/screen_dpi.h"
#include "toolkit/handles.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

struct EnhMetafileTraits {
  static HENHMETAFILE Invalid() { return nullptr; }
  static bool Valid(HENHMETAFILE h) { return h != nullptr; }
  static void Close(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
};
using UniqueEnhMetafile = UniqueWinHandle<HENHMETAFILE, EnhMetafileTraits>;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;

std::int16_t Int16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::int16_t>(bytes[at] | (bytes[at + 1] << 8));
}

class TGdiMetafile final : public TMetafile {
 public:
  TGdiMetafile(UniqueEnhMetafile metafile, int width, int height, bool enhanced)
      : metafile_(std::move(metafile)), width_(width), height_(height), enhanced_(enhanced) {}
  int NaturalWidth() const override { return width_; }
  int NaturalHeight() const override { return height_; }
  bool Enhanced() const override { return enhanced_; }
  void Draw(TBitmap& raster, int width, int height) const override;

 private:
  UniqueEnhMetafile metafile_;
  int width_, height_;
  bool enhanced_;
};

// The picture frame in pixels of the reference device it was made on.
SIZE EnhancedSize(HENHMETAFILE metafile) {
  ENHMETAHEADER header{};
  if (!GetEnhMetaFileHeader(metafile, sizeof header, &header) || header.szlMillimeters.cx <= 0 ||
      header.szlMillimeters.cy <= 0)
    return {0, 0};
  const LONG frameWidth = header.rclFrame.right - header.rclFrame.left;
  const LONG frameHeight = header.rclFrame.bottom - header.rclFrame.top;
  return {MulDiv(frameWidth, header.szlDevice.cx, header.szlMillimeters.cx * 100),
          MulDiv(frameHeight, header.szlDevice.cy, header.szlMillimeters.cy * 100)};
}

std::unique_ptr<TMetafile> LoadWindowsMetafile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = TFileStream(path, TFileMode::fmOpenRead).ReadAll();
  } catch (const EError&) {
    return nullptr;
  }
  std::uint32_t key = 0;
  if (bytes.size() >= 4) std::memcpy(&key, bytes.data(), 4);
  const bool placeable = key == kPlaceableKey && bytes.size() > kPlaceableHeaderSize;
  METAFILEPICT picture{MM_ANISOTROPIC, 0, 0, nullptr};
  int width = 0, height = 0;
  if (placeable) {
    const int unitsPerInch = static_cast<std::uint16_t>(Int16At(bytes, 14));
    const int boxWidth = Int16At(bytes, 10) - Int16At(bytes, 6), boxHeight = Int16At(bytes, 12) - Int16At(bytes, 8);
    if (unitsPerInch <= 0 || boxWidth <= 0 || boxHeight <= 0) return nullptr;
    width = MulDiv(boxWidth, ScreenDpi(), unitsPerInch);
    height = MulDiv(boxHeight, ScreenDpi(), unitsPerInch);
    picture.xExt = MulDiv(boxWidth, 2540, unitsPerInch);  // hundredths of a millimetre
    picture.yExt = MulDiv(boxHeight, 2540, unitsPerInch);
  }
  const std::size_t skip = placeable ? kPlaceableHeaderSize : 0;
  if (bytes.size() <= skip) return nullptr;
  UniqueEnhMetafile metafile(SetWinMetaFileBits(static_cast<UINT>(bytes.size() - skip), bytes.data() + skip, nullptr,
                                                placeable ? &picture : nullptr));
  if (!metafile) return nullptr;
  if (!placeable) {
    const SIZE size = EnhancedSize(metafile.get());
    width = size.cx;
    height = size.cy;
  }
  return std::make_unique<TGdiMetafile>(std::move(metafile), width, height, false);
}

}  // namespace

void TGdiMetafile::Draw(TBitmap& raster, int width, int height) const {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = raster.Width();
  info.bmiHeader.biHeight = raster.Height();  // bottom-up, as the raster
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!section || !dc || !bits) return;
  std::memcpy(bits, raster.Bits(), raster.SizeInBytes());
  {
    SelectedObject selected(dc.get(), section.get());
    const RECT target{0, 0, width, height};
    PlayEnhMetaFile(dc.get(), metafile_.get(), &target);
    GdiFlush();
  }
  std::memcpy(raster.Bits(), bits, raster.SizeInBytes());
}

std::unique_ptr<TMetafile> LoadMetafile(const std::string& path) {
  if (UniqueEnhMetafile enhanced(GetEnhMetaFileW(Widen(path).c_str())); enhanced) {
    const SIZE size = EnhancedSize(enhanced.get());
    return std::make_unique<TGdiMetafile>(std::move(enhanced), size.cx, size.cy, true);
  }
  return LoadWindowsMetafile(path);
}

}  // namespace skyloom
