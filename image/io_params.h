#pragma once
// TIOParamsVals: what the last file read said about its image, and what the
// next write honours. Each codec fills and reads its own group.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "image/colour.h"
#include "image/lzw_hooks.h"

namespace skyloom {

class TBitmap;

class TIOParamsVals {
 public:
  TIOParamsVals() { SetDefaultParams(); }

  // Restores every field to its default. With a raster given, Width and
  // Height take its size; with a DPI given (an attached view), DpiX/DpiY.
  void SetDefaultParams(const TBitmap* raster = nullptr, int viewDpi = 0);

  int ColorMapCount() const { return static_cast<int>(ColorMap.size()); }
  void FreeColorMap() { ColorMap.clear(); }
  // A 1-bit file in other colours than black and white loads as a 24-bit
  // picture and says so, so that a writer following these fields keeps its
  // colours instead of making it black and white again.
  void DescribeTrueColour() {
    BitsPerSample = 8;
    SamplesPerPixel = 3;
  }

  // Common fields.
  std::int32_t FileType = 0;  // format id, 0 unknown
  std::string FileName;
  std::int32_t BitsPerSample = 8;
  std::int32_t SamplesPerPixel = 3;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t DpiX = 0;
  std::int32_t DpiY = 0;
  std::vector<TIERGB> ColorMap;

  // TIFF group.
  std::int32_t TIFF_Compression = 0;
  std::int32_t TIFF_ImageIndex = 0;
  std::int32_t TIFF_PhotometInterpret = 2;
  std::int32_t TIFF_PlanarConf = 1;
  std::int32_t TIFF_XPos = 0;
  std::int32_t TIFF_YPos = 0;
  std::string TIFF_DocumentName;
  std::string TIFF_ImageDescription;
  std::string TIFF_PageName;
  std::int32_t TIFF_PageNumber = 0;
  std::int32_t TIFF_PagesCount = 0;
  TTiffLzwDecoder TIFF_LZWDecompFunc;
  TTiffLzwEncoder TIFF_LZWCompFunc;

  // GIF group.
  std::string GIF_Version = "GIF89a";
  std::int32_t GIF_ImageIndex = 0;
  std::int32_t GIF_XPos = 0;
  std::int32_t GIF_YPos = 0;
  std::int32_t GIF_DelayTime = 0;
  bool GIF_FlagTranspColor = false;
  TIERGB GIF_TranspColor{};
  bool GIF_Interlaced = false;
  std::int32_t GIF_WinWidth = 0;
  std::int32_t GIF_WinHeight = 0;
  TIERGB GIF_Background{};
  std::int32_t GIF_Ratio = 0;
  TGifLzwDecoder GIF_LZWDecompFunc;
  TGifLzwEncoder GIF_LZWCompFunc;

  // JPEG group.
  std::int32_t JPEG_ColorSpace = 2;  // 0 RGB, 1 grey, 2 YCbCr, 3 CMYK, 4 YCCK
  std::int32_t JPEG_Quality = 50;
  std::int32_t JPEG_DCTMethod = 0;
  bool JPEG_OptimalHuffman = false;
  std::int32_t JPEG_Smooth = 0;
  bool JPEG_Progressive = false;
  std::int32_t JPEG_Scale = 1;  // 0 automatic, 1 full, 2 half, 3 quarter, 4 eighth

  // PCX group.
  std::int32_t PCX_Version = 5;
  bool PCX_Compression = true;  // run-length

  // BMP group.
  std::int32_t BMP_Version = 1;      // 0 unknown header, 1 = 40 bytes, 2 = core, 3 = 64 bytes
  std::int32_t BMP_Compression = 0;  // 0 none, 1 run-length

  // Icon and cursor group.
  std::int32_t ICO_ImageIndex = 0;
  TIERGB ICO_Background{255, 255, 255};

  // PNG group.
  bool PNG_Interlaced = false;
  TIERGB PNG_Background{};
  std::int32_t PNG_Filter = 0;
  std::int32_t PNG_Compression = 5;

  // TGA group.
  std::int32_t TGA_XPos = 0;
  std::int32_t TGA_YPos = 0;
  bool TGA_Compressed = true;
  std::string TGA_ImageName;
  std::string TGA_Author;
  std::string TGA_JobName;
  std::chrono::system_clock::time_point TGA_Date{};
  TIERGB TGA_Background{};
  double TGA_AspectRatio = 1.0;
  double TGA_Gamma = 2.2;
  bool TGA_GrayLevel = false;

 private:
  // The member initialisers alone: the defaults without the clock and hooks.
  struct NoDefaults {};
  explicit TIOParamsVals(NoDefaults) {}
};

}  // namespace skyloom
