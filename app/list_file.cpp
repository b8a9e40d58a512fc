#include "app/list_file.h"


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

std::vector<std::string_view> SplitListFile(std::string_view bytes) {
  const auto nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  std::vector<std::string_view> entries;
  std::size_t p = 0;
  while (p < bytes.size()) {
    auto end = p;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    entries.push_back(bytes.substr(p, end - p));
    p = end;
    if (p < bytes.size() && bytes[p] == '\r') ++p;
    if (p < bytes.size() && bytes[p] == '\n') ++p;
  }
  return entries;
}

std::vector<std::string> ParseListFile(const std::uint8_t* data, std::size_t size) {
  const auto views = SplitListFile(std::string_view(reinterpret_cast<const char*>(data), size));
  return std::vector<std::string>(views.begin(), views.end());
}

void SaveListFile(const std::string& path, const std::vector<std::string>& entries) {
  const auto text = ListFileBytes(entries);
  WriteFileSafely(path, [&](TStream& out) { out.WriteBuffer(text.data(), text.size()); });
}

std::vector<std::uint8_t> ReadListFile(const std::string& path) {
  TFileStream file(path, TFileMode::fmOpenReadDenyWrite);
  return file.ReadAll();
}

std::vector<std::string> LoadListFile(const std::string& path) {
  const auto bytes = ReadListFile(path);
  return ParseListFile(bytes.data(), bytes.size());
}

}  // namespace skyloom
