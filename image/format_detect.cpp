#include "image/format_detect.h"

#include <array>
#include <cstring>
#include <vector>

#include "image/codecs/byte_order.h"
#include "image/codecs/ico_reader.h"
#include "image/codecs/tga_test.h"
#include "image/file_formats.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

// Exactly count bytes from the position (raising when short); the position
// is restored afterwards.
std::vector<std::uint8_t> Peek(TStream& stream, std::size_t count) {
  TPositionGuard guard(stream);
  std::vector<std::uint8_t> bytes(count);
  stream.ReadBuffer(bytes.data(), count);
  return bytes;
}

// The leading bytes read as a text that ends at the first zero byte within
// the first `limit` bytes (the stream-header signatures "JFIF", "PCX2"...).
std::string LeadingText(const std::vector<std::uint8_t>& bytes, std::size_t limit) {
  std::string text;
  for (std::size_t i = 0; i < limit && i < bytes.size() && bytes[i] != 0; ++i)
    text += static_cast<char>(bytes[i]);
  return text;
}

bool StartsWith(const std::vector<std::uint8_t>& bytes, const char* signature, std::size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool IsPngSignature(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= kPngSignature.size() &&
         std::memcmp(bytes.data(), kPngSignature.data(), kPngSignature.size()) == 0;
}

std::int32_t RegisteredTest(TStream& stream) {
  const TFileFormats& formats = FileFormats();
  for (int i = 0; i < formats.Count(); ++i) {
    const auto& entry = formats[i];
    if (!entry.TestFunction) continue;
    TPositionGuard guard(stream);
    if (entry.TestFunction(stream)) return entry.FileType;
  }
  return ioUnknown;
}

// The built-in tests in their fixed order; a short stream raises out of
// Peek, which ends the tests.
std::int32_t BuiltInTests(TStream& stream) {
  const std::int64_t size = BytesLeft(stream);
  const auto jpeg = Peek(stream, 3);
  if (jpeg[0] == 0xFF && jpeg[1] == 0xD8 && jpeg[2] == 0xFF) return ioJPEG;
  if (size > 12 && LeadingText(Peek(stream, 12), 5) == "JFIF") return ioJPEG;
  if (size > 13 && StartsWith(Peek(stream, 3), "GIF", 3)) return ioGIF;
  if (size > 12 && LeadingText(Peek(stream, 12), 5) == "PCX2") return ioPCX;
  if (size > 4 && LeadingText(Peek(stream, 4), 4) == "PCX") return ioPCX;
  if (size > 14 && GetU16(Peek(stream, 2).data()) == 0x4D42) return ioBMP;
  if (size > 128) {
    const auto pcx = Peek(stream, 2);
    if (pcx[0] == 0x0A && pcx[1] <= 5) return ioPCX;
  }
  if (size > 12 && LeadingText(Peek(stream, 12), 5) == "TIFF") return ioTIFF;
  if (size > 8) {
    const auto head = Peek(stream, 8);
    if (StartsWith(head, "II", 2) || StartsWith(head, "MM", 2)) return ioTIFF;
    if (IsPngSignature(head)) return ioPNG;
  }
  if (IsIcoStream(stream)) return ioICO;
  if (IsCurStream(stream)) return ioCUR;
  if (IsTgaStream(stream)) return ioTGA;
  return ioUnknown;
}

}  // namespace

std::int32_t FindStreamFormat(TStream& stream) {
  TPositionGuard guard(stream);
  try {
    const auto registered = RegisteredTest(stream);
    if (registered != ioUnknown) return registered;
    return BuiltInTests(stream);
  } catch (...) {  // a failing test ends the search with nothing found
    return ioUnknown;
  }
}

std::int32_t FindFileFormat(const std::string& path, bool checkExtension) {
  std::int32_t id = ioUnknown;
  try {
    TFileStream stream(path, TFileMode::fmOpenRead);
    id = FindStreamFormat(stream);
  } catch (...) {
    return ioUnknown;
  }
  if (!checkExtension) return id;
  std::string ext = LowerCase(ExtractFileExt(path));
  if (!ext.empty()) ext.erase(0, 1);
  const auto* entry = FileFormats().FindByExtension(ext);
  if (!entry || entry->FileType != id) return ioUnknown;
  return id;
}

}  // namespace skyloom
