#pragma once
// Content test for TGA files (the header alone carries no signature).
namespace skyloom {

class TStream;

// The 18-byte header names a known image type and pixel depth, and the file
// is not a portable-anymap ("P1".."P6"). The stream position is restored.
bool IsTgaStream(TStream& stream);

}  // namespace skyloom
