#include "desktop/theme_screen_saver.h"

#include <windows.h>

#include "desktop/system_folders.h"
#include "toolkit/text_win.h"

namespace skyloom {

namespace {

std::wstring SystemIni() { return Widen(WindowsDirectory() + "\\SYSTEM.INI"); }

std::wstring ShortPath(const std::wstring& path) {
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::wstring buffer(needed, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), needed);
  if (length == 0 || length >= needed) return {};
  buffer.resize(length);
  return buffer;
}

}  // namespace

std::string ShortDirectoryForm(const std::string& path) {
  const std::wstring wide = Widen(path);
  const auto separator = wide.find_last_of(L"\\/:");
  if (separator == std::wstring::npos) return path;
  const std::wstring directory = wide.substr(0, separator + 1);
  const std::wstring shortDirectory = ShortPath(directory);
  if (shortDirectory.empty()) return path;
  return Narrow(shortDirectory + wide.substr(separator + 1));
}

void TScreenSaver::Read() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), SystemIni().c_str());
    if (length + 1 < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  ScreenSaver = Narrow(buffer);
  BOOL active = FALSE;
  if (SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) Active = active != FALSE;
}

void TScreenSaver::Write() const {
  WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", Widen(ShortDirectoryForm(ScreenSaver)).c_str(),
                             SystemIni().c_str());
  // Broadcast the change, but leave the user's stored profile alone.
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, Active ? 1 : 0, nullptr, SPIF_SENDCHANGE);
}

}  // namespace skyloom
