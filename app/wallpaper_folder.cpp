#include "app/wallpaper_folder.h"

#include <windows.h>

#include <filesystem>

#include "state/state_location.h"
#include "toolkit/handles.h"

namespace skyloom {

// Asking for the folder's rights would not do: an elevated token, a
// read-only share or a locked-down ACL all answer only to a real attempt.
bool FolderIsWritable(const std::wstring& folder) {
  const std::wstring probe = folder + L"~skyloom-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(file);
}

std::wstring WallpaperFolder(const std::wstring& programDir) {
  if (FolderIsWritable(programDir)) return programDir;
  const std::wstring state = StateFolder(programDir);
  std::error_code ignored;  // a folder that cannot be made shows as the write's own error
  std::filesystem::create_directories(state, ignored);
  return state;
}

}  // namespace skyloom
