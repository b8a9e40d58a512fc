#pragma once
// Places in the file system that the desktop settings write to.
#include <string>

namespace skyloom {

// The Windows directory, UTF-8, without a trailing separator.
std::string WindowsDirectory();

// From the last '.' of the file name on ("" when the name has none).
std::string FileExtension(const std::string& path);

}  // namespace skyloom
