#pragma once
// Recognising an image by its content, and the known-image test that also
// requires the file's extension to name the same format.
#include <cstdint>
#include <string>

namespace skyloom {

class TStream;

// The format id of the content at the stream's position, or 0. The
// position is left where it was.
std::int32_t FindStreamFormat(TStream& stream);

// The format id of a file by content, or 0 when it cannot be opened or read.
// With checkExtension, 0 also when the extension names another format (or
// none): metafiles, which have no content test, never pass.
std::int32_t FindFileFormat(const std::string& path, bool checkExtension);

}  // namespace skyloom
