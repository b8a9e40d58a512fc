#pragma once
// Where the remembered state lives: beside the program when the portable
// marker "Skyloom.ini" sits there, otherwise in a folder "Skyloom" in the
// user's roaming application data. Both with a trailing backslash; neither
// is made here.
#include <string>

namespace skyloom {

// programDir ends with a backslash.
bool IsPortable(const std::wstring& programDir);
std::wstring StateFolder(const std::wstring& programDir);

}  // namespace skyloom
