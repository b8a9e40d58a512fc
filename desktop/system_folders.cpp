#include "desktop/system_folders.h"

#include <windows.h>

#include "toolkit/text_win.h"

namespace skyloom {

std::string WindowsDirectory() {
  std::wstring buffer(MAX_PATH, L'\0');
  UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length);
    length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  buffer.resize(length < buffer.size() ? length : 0);
  while (!buffer.empty() && (buffer.back() == L'\\' || buffer.back() == L'/')) buffer.pop_back();
  return Narrow(buffer);
}

std::string FileExtension(const std::string& path) {
  const auto dot = path.find_last_of(".\\/:");
  if (dot == std::string::npos || path[dot] != '.') return {};
  return path.substr(dot);
}

}  // namespace skyloom
