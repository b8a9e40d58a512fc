#include "state/state_location.h"

#include "toolkit/errors.h"
#include "toolkit/known_folder.h"

namespace skyloom {

namespace {
constexpr wchar_t kPortableMarker[] = L"Skyloom.ini";
constexpr wchar_t kFolderName[] = L"Skyloom";

std::wstring RoamingAppData() {
  std::wstring folder = KnownFolder(FOLDERID_RoamingAppData);
  if (folder.empty()) throw EError("Cannot find the application data folder");
  return folder;
}
}  // namespace

bool IsPortable(const std::wstring& programDir) {
  const DWORD attributes = GetFileAttributesW((programDir + kPortableMarker).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring StateFolder(const std::wstring& programDir) {
  if (IsPortable(programDir)) return programDir;
  return RoamingAppData() + L"\\" + kFolderName + L"\\";
}

}  // namespace skyloom
