#include "image/file_formats.h"

#include <algorithm>
#include <cctype>

namespace skyloom {
namespace {

constexpr std::size_t kMaxText = 80;
constexpr int kBuiltInCount = 11;

TIEFileFormatInfo BuiltIn(std::int32_t id, const char* description, const char* extensions) {
  TIEFileFormatInfo info;
  info.FileType = id;
  info.Description = description;
  info.Extensions = extensions;
  return info;
}

// Whether a ";"-separated list holds ext (both lower-cased).
bool ListHolds(const std::string& list, const std::string& ext) {
  const std::string wanted = LowerCase(ext);
  std::size_t from = 0;
  while (from <= list.size()) {
    const auto end = std::min(list.find(';', from), list.size());
    if (LowerCase(list.substr(from, end - from)) == wanted) return true;
    from = end + 1;
  }
  return false;
}

bool Serves(const TIEFileFormatInfo& entry, TFileFormats::TNeed need) {
  switch (need) {
    case TFileFormats::TNeed::Reader: return static_cast<bool>(entry.ReadFunction);
    case TFileFormats::TNeed::Writer: return static_cast<bool>(entry.WriteFunction);
    case TFileFormats::TNeed::Any: break;
  }
  return true;
}

}  // namespace

std::string LowerCase(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string ExtractFileExt(const std::string& path) {
  const auto slash = path.find_last_of("/\\:");
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot);
}

TFileFormats::TFileFormats() {
  entries_ = {
      BuiltIn(ioTIFF, "TIFF Bitmap", "TIF;TIFF"),
      BuiltIn(ioGIF, "CompuServe Bitmap", "GIF"),
      BuiltIn(ioJPEG, "JPEG Bitmap", "JPG;JPEG;JPE"),
      BuiltIn(ioPCX, "PaintBrush", "PCX"),
      BuiltIn(ioBMP, "Windows Bitmap", "BMP;DIB;RLE"),
      BuiltIn(ioICO, "Windows Icon", "ICO"),
      BuiltIn(ioCUR, "Windows Cursor", "CUR"),
      BuiltIn(ioPNG, "Portable Network Graphics", "PNG"),
      BuiltIn(ioWMF, "Windows Metafile", "WMF"),
      BuiltIn(ioEMF, "Enhanced Windows Metafile", "EMF"),
      BuiltIn(ioTGA, "Targa Bitmap", "TGA;TARGA;VDA;ICB;VST;PIX"),
  };
}

void TFileFormats::Add(TIEFileFormatInfo info) {
  if (info.Description.size() > kMaxText) info.Description.resize(kMaxText);
  if (info.Extensions.size() > kMaxText) info.Extensions.resize(kMaxText);
  for (auto& c : info.Extensions) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  entries_.push_back(std::move(info));
}

void TFileFormats::Remove(std::int32_t fileType) {
  const auto firstAdded = entries_.begin() + kBuiltInCount;
  entries_.erase(std::remove_if(firstAdded, entries_.end(),
                                [fileType](const TIEFileFormatInfo& e) { return e.FileType == fileType; }),
                 entries_.end());
}

const TIEFileFormatInfo* TFileFormats::FindByExtension(const std::string& ext, TNeed need) const {
  for (const auto& entry : entries_)
    if (Serves(entry, need) && ListHolds(entry.Extensions, ext)) return &entry;
  return nullptr;
}

const TIEFileFormatInfo* TFileFormats::FindById(std::int32_t fileType, TNeed need) const {
  for (const auto& entry : entries_)
    if (Serves(entry, need) && entry.FileType == fileType) return &entry;
  return nullptr;
}

TFileFormats& FileFormats() {
  static TFileFormats registry;
  return registry;
}

}  // namespace skyloom
