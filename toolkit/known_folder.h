#pragma once
// The system's named folders (the user's pictures, roaming application
// data) by their known-folder id.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace skyloom {

// The folder's path without a trailing backslash, or nothing where the
// system names none.
std::wstring KnownFolder(const KNOWNFOLDERID& id);

}  // namespace skyloom
