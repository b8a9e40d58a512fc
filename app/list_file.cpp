#include "app/list_file.h"

#include <cstring>

#include "toolkit/stream.h"

namespace skyloom {

std::string ListFileBytes(const std::vector<std::string>& entries) {
  std::string text;
  for (const auto& entry : entries) {
    text += entry;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> ParseListFile(const std::uint8_t* data, std::size_t size) {
  const void* nul = size ? std::memchr(data, 0, size) : nullptr;
  const auto* end = nul ? static_cast<const std::uint8_t*>(nul) : data + size;
  std::vector<std::string> entries;
  const std::uint8_t* p = data;
  while (p < end) {
    const std::uint8_t* start = p;
    while (p < end && *p != '\r' && *p != '\n') ++p;
    entries.emplace_back(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
  }
  return entries;
}

void SaveListFile(const std::string& path, const std::vector<std::string>& entries) {
  const auto text = ListFileBytes(entries);
  WriteFileSafely(path, [&](TStream& out) { out.WriteBuffer(text.data(), text.size()); });
}

std::vector<std::string> LoadListFile(const std::string& path) {
  TFileStream file(path, TFileMode::fmOpenReadDenyWrite);
  const auto bytes = file.ReadAll();
  return ParseListFile(bytes.data(), bytes.size());
}

}  // namespace skyloom
