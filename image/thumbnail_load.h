#pragma once
// Loading a file into the picture a thumbnail cell keeps: a JPEG is decoded
// at the reduction whose area is closest to the cell's, every picture is
// then fitted into the cell and stretched there without filtering.
#include <string>

#include "image/bitmap.h"

namespace skyloom {

class TImageIO;

// Reads path through io (by extension; io's background, parameters and
// progress event apply) into picture, attached for the read only. Answers
// false when the reader set Aborting or produced no pixels. A file that
// cannot be opened raises the stream layer's error.
bool LoadPicture(TImageIO& io, const std::string& path, TBitmap& picture);

// Reads path through io (by extension; io's background and progress event
// apply) and leaves in thumb the picture fitted into
// thumbWidth x thumbHeight, at the depth the reader produced (24 or 1 bit).
// A side that rounds to nothing keeps one pixel. Answers false, thumb
// untouched, when the reader set Aborting or produced no pixels. A file
// that cannot be opened raises the stream layer's error.
bool LoadThumbnail(TImageIO& io, const std::string& path, int thumbWidth, int thumbHeight, TBitmap& thumb);

// The cell's stretch alone: the picture fitted into the box, each target
// pixel the source pixel under its centre.
TBitmap StretchToThumbnail(const TBitmap& picture, int thumbWidth, int thumbHeight);

}  // namespace skyloom
