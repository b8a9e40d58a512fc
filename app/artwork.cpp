#include "app/artwork.h"

#include <commctrl.h>

#include "toolkit/errors.h"

namespace skyloom {
namespace {

// A strip of square pictures side by side; 32-bit pixels with their alpha
// channel, so the list is made 32-bit to keep it.
UniqueImageList LoadStrip(int resource, int size) {
  UniqueGdiObject strip(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0,
                                   LR_CREATEDIBSECTION));
  if (!strip) throw EError("The program's pictures are missing");
  BITMAP info{};
  GetObjectW(strip.get(), sizeof info, &info);
  UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32, info.bmWidth / size, 0));
  ImageList_Add(list.get(), static_cast<HBITMAP>(strip.get()), nullptr);
  return list;
}

// The drawn size for the one asked for, from the standard one (100 %).
int DrawnSize(int size, int standard) {
  int drawn = standard;
  for (int percent : {125, 150, 200}) {
    if (standard * percent / 100 <= size) drawn = standard * percent / 100;
  }
  return drawn;
}

UniqueImageList LoadStripAt(int base, int size, int standard) {
  const int drawn = DrawnSize(size, standard);
  return LoadStrip(base + drawn, drawn);
}

}  // namespace

UniqueImageList LoadToolbarImages(int size) { return LoadStripAt(IDB_TOOLBAR_IMAGES, size, 32); }
UniqueImageList LoadMenuImages(int size) { return LoadStripAt(IDB_MENU_IMAGES, size, 16); }

UniqueIcon LoadProgramIcon(int size) {
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SKYLOOM), IMAGE_ICON, size, size, 0)));
}

}  // namespace skyloom
