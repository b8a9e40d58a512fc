#pragma once
// The program's own pictures, kept as resources of the executable (drawn by
// tools/make_artwork.py at build time).
#include <windows.h>

#include "app/artwork_ids.h"
#include "toolkit/handles.h"

namespace skyloom {

// ImageList2: the toolbar pictures, 32 x 32, by the buttons' image indices
// (0..10 for the image tab, 11 and 12 for starting and stopping video).
UniqueImageList LoadToolbarImages();
// The tray menu's pictures, 16 x 16.
UniqueImageList LoadMenuImages();
// The program icon at the size asked for (16, 32 or 48 are drawn).
UniqueIcon LoadProgramIcon(int size);

constexpr int kVideoStartImage = 11;
constexpr int kVideoStopImage = 12;

}  // namespace skyloom
