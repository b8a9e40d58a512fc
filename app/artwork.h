#pragma once
// The program's own pictures, kept as resources of the executable (drawn by
// tools/make_artwork.py at build time).
#include <windows.h>

#include "app/artwork_ids.h"
#include "toolkit/handles.h"

namespace skyloom {

// The pictures are drawn at 100, 125, 150 and 200 %; asked for another size,
// the largest drawn one that fits is given (the smallest if none fits).
// ImageList2: the toolbar pictures, 32 x 32 at 96 DPI, by the buttons' image
// indices (0..10 for the image tab, 11 and 12 for starting and stopping video, 13 for
// adding a folder).
UniqueImageList LoadToolbarImages(int size = 32);
// The tray menu's pictures, 16 x 16 at 96 DPI.
UniqueImageList LoadMenuImages(int size = 16);
// The program icon at the size asked for (16, 32 or 48 are drawn).
UniqueIcon LoadProgramIcon(int size);

constexpr int kVideoStartImage = 11;
constexpr int kVideoStopImage = 12;
constexpr int kAddFolderImage = 13;

}  // namespace skyloom
