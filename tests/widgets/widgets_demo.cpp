// Shows the widgets together for a look under Wine: the tray icon with the
// tray menu open at (60, 60) for a few seconds, and the about panel in a
// window at (420, 80). Take screenshots while it runs.
#include <windows.h>
#include <commctrl.h>

#include "app/branding.h"
#include "toolkit/application.h"
#include "widgets/info_panel.h"
#include "widgets/tray_icon.h"
#include "widgets/xp_popup_menu.h"

namespace {

using namespace skyloom;

// Thirteen 16 x 16 coloured squares as item images.
HIMAGELIST MakeImages() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 13, 0);
  HDC screen = GetDC(nullptr);
  for (int i = 0; i < 13; ++i) {
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16}, inner{3, 3, 13, 13};
    HBRUSH frame = CreateSolidBrush(RGB(40, 40, 120));
    HBRUSH fill = CreateSolidBrush(RGB(60 + i * 15, 200 - i * 12, 90 + i * 10));
    FillRect(dc, &all, frame);
    FillRect(dc, &inner, fill);
    DeleteObject(frame);
    DeleteObject(fill);
    SelectObject(dc, old);
    ImageList_Add(list, bitmap, nullptr);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  ReleaseDC(nullptr, screen);
  return list;
}

void FillTrayMenu(TXPPopupMenu& menu) {
  StyleTrayMenu(menu);
  TMenuItem& items = menu.Items;
  items.Add(L"&Next WallPaper Image", 0);
  items.Add(L"&Prev WallPaper Image", 1);
  items.Add(L"-");
  items.Add(L"Start Video Desktop", 2);
  items.Add(L"Stop Video Desktop", 3);
  items.Add(L"Next Video", 4);
  items.Add(L"-");
  items.Add(L"Start WallPaper Timer", 5);
  items.Add(L"Stop WallPaper Timer", 6).Enabled = false;
  items.Add(L"-");
  TMenuItem& gallery = items.Add(L"Load + Save Gallery", 8);
  gallery.Add(L"&Load Gallery File", 7);
  gallery.Add(L"&Save Gallery File", 8);
  items.Add(L"C&hoose Images", 12);
  items.Add(L"&Open Image Dialog", 9);
  items.Add(L"-");
  items.Add(L"&Close and Hide", 10);
  items.Add(L"&Exit Skyloom", 11);
}

}  // namespace

int main() {
  InitCommonControls();
  TApplication application;
  TForm form(L"TSkyloomWidgetsDemo", L"Skyloom widgets", WS_OVERLAPPEDWINDOW, 0, 258, 103);
  SetWindowPos(form.Handle(), nullptr, 420, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  TInfoPanel panel(form.Handle(), 0, 0, 258, 103);
  panel.Color = 0xFFFFFF;
  panel.BevelOuter = TPanelBevel::bvLowered;
  panel.Font = {"Tahoma", 8};
  // Not used by the program; shown here so they can be looked at.
  panel.Hover = true;
  panel.HoverColor = 0xE0E0E0;
  panel.AnchorHint = true;
  panel.SetText(kAboutText);
  form.Show();
  UpdateWindow(form.Handle());

  HIMAGELIST images = MakeImages();
  TXPPopupMenu menu;
  menu.SetImages(images);
  FillTrayMenu(menu);
  TTrayIcon tray;
  tray.SetHint(L"Skyloom Wallpaper Changer");
  tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
  tray.SetPopupMenu(&menu);

  // Keep the menu open for a while, highlighting the second item.
  SetTimer(nullptr, 0, 800, [](HWND, UINT, UINT_PTR, DWORD) {
    static int ticks = 0;
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup && ++ticks == 1) {
      PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    }
    if (ticks > 6) EndMenu();
  });
  tray.PopupAtCursor(60, 60);
  return tray.Added() ? 0 : 1;
}
