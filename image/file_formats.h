#pragma once
// Image format ids and the registry of file formats: the eleven built-in
// formats, plus any further format registered with its own procedures.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

enum TImageFormat : std::int32_t {
  ioUnknown = 0,
  ioTIFF = 1,
  ioGIF = 2,
  ioJPEG = 3,
  ioPCX = 4,
  ioBMP = 5,
  ioICO = 6,
  ioCUR = 7,
  ioPNG = 8,
  ioWMF = 9,
  ioEMF = 10,
  ioTGA = 11,
};

using TIEReadProc =
    std::function<void(TStream& stream, TBitmap& raster, TIOParamsVals& params, bool paramsOnly, TProgressRec& progress)>;
using TIEWriteProc =
    std::function<void(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress)>;
using TIETestProc = std::function<bool(TStream& stream)>;

struct TIEFileFormatInfo {
  std::int32_t FileType = 0;
  std::string Description;  // at most 80 characters
  std::string Extensions;   // upper case, ";"-separated, at most 80 characters
  TIEReadProc ReadFunction;
  TIEWriteProc WriteFunction;
  TIETestProc TestFunction;
};

class TFileFormats {
 public:
  TFileFormats();  // the eleven built-in entries, in id order

  int Count() const { return static_cast<int>(entries_.size()); }
  const TIEFileFormatInfo& operator[](int index) const { return entries_[static_cast<std::size_t>(index)]; }

  // Registers a further format; texts longer than 80 characters are cut.
  void Add(TIEFileFormatInfo info);
  // Withdraws every entry with that id that is not built in.
  void Remove(std::int32_t fileType);

  // Which entries a look-up considers.
  enum class TNeed { Any, Reader, Writer };
  // The first entry whose extension list holds ext (no dot, any case).
  const TIEFileFormatInfo* FindByExtension(const std::string& ext, TNeed need = TNeed::Any) const;
  const TIEFileFormatInfo* FindById(std::int32_t fileType, TNeed need = TNeed::Any) const;

 private:
  std::vector<TIEFileFormatInfo> entries_;
};

// The engine's registry, built once when first used and freed at exit: the
// format list is process-wide, as every loader consults the same formats.
TFileFormats& FileFormats();

// Lower-cases ASCII letters.
std::string LowerCase(std::string text);
// The extension of a path's file name, dot included ("" when none).
std::string ExtractFileExt(const std::string& path);

}  // namespace skyloom
