#pragma once
// The size a picture takes inside a thumbnail cell: the largest that keeps
// its proportions and fits the box, small pictures enlarged as well.
#include "image/metafile_import.h"

namespace skyloom {

// Factor min(boxHeight / height, boxWidth / width) in floating point; each
// side times the factor rounds to the nearest integer, halves to the even
// neighbour. A picture without width or height fits as 0 x 0.
TSize FitIntoBox(int width, int height, int boxWidth, int boxHeight);

}  // namespace skyloom
