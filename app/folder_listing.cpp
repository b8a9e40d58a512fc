#include "app/folder_listing.h"

#include <windows.h>

#include "image/format_detect.h"
#include "toolkit/handles.h"
#include "toolkit/quiet_drive_errors.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume label */;

bool DotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

// One call asks for many entries at a time and skips the short names.
std::optional<std::vector<TDirectoryEntry>> ListDirectory(const std::string& directory) {
  const QuietDriveErrors quiet;
  WIN32_FIND_DATAW data{};
  const UniqueFindHandle find(FindFirstFileExW((Widen(directory) + L"*").c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return std::nullopt;
  std::vector<TDirectoryEntry> entries;
  do {
    const DWORD attributes = data.dwFileAttributes;
    if ((attributes & kLeftOut) != 0 || DotEntry(data.cFileName)) continue;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
    entries.push_back({Narrow(data.cFileName), folder});
  } while (FindNextFileW(find.get(), &data));
  return entries;
}

bool IsPictureFile(const std::string& path) {
  const QuietDriveErrors quiet;
  return FindFileFormat(path, true) != 0;
}

TFolderReader FileSystemFolderReader(std::function<void(const std::string& folder)> unreadable) {
  return {ListDirectory, IsPictureFile, std::move(unreadable)};
}

}  // namespace skyloom
