#include "toolkit/known_folder.h"

namespace skyloom {

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
  std::wstring folder = SUCCEEDED(result) && path ? path : L"";
  CoTaskMemFree(path);  // also when the call failed
  return folder;
}

}  // namespace skyloom
