#pragma once
// Where the prepared wallpaper files go: beside the program while its folder
// can be written (portable use, a per-user install), otherwise in the user's
// state folder, since a normal user cannot write into an all-users install
// under "Program Files".
#include <string>

namespace skyloom {

// folder ends with a backslash.
bool FolderIsWritable(const std::wstring& folder);

// programDir ends with a backslash; so does the answer. The state folder is
// made when it is chosen.
std::wstring WallpaperFolder(const std::wstring& programDir);

}  // namespace skyloom
