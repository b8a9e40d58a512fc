#pragma once
// Just enough BMP for the benchmark driver: 24-bit uncompressed files only.
// (The engine's own codec is what the application uses; this keeps the
// benchmark independent of it while it is being written.)
#include <string>

#include "image/bitmap.h"

namespace skyloom::bench {

// A photo-like 24-bit picture: smooth gradients, a few shapes and noise.
TBitmap SyntheticPhoto(int width, int height);

// Answers false when the file is not a 24-bit uncompressed BMP.
bool LoadBmp24(const std::string& path, TBitmap& bitmap);
bool SaveBmp24(const std::string& path, const TBitmap& bitmap);

}  // namespace skyloom::bench
