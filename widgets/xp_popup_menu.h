#pragma once
// A popup menu that measures and draws all its items itself: pale items, a
// shaded image column, a bordered flat highlight, grey separators, and down
// the left edge of the top-level menu a title bar with a vertical gradient
// and text reading upward. Menu messages reach it through a message window
// of its own while it is shown.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace skyloom {

struct TMenuItem {
  std::wstring Caption;  // "-" is a separator
  int ImageIndex = -1;
  bool Enabled = true, Checked = false, Visible = true, Default = false;
  std::wstring ShortCut;  // shown text of the shortcut, if any
  TNotifyEvent OnClick;
  std::vector<std::unique_ptr<TMenuItem>> Items;

  TMenuItem& Add(std::wstring caption, int imageIndex = -1, TNotifyEvent onClick = nullptr);
  void Click() {
    if (OnClick) OnClick(this);
  }
};

struct TBarColors {
  DWORD ItemGradientEnd = 0xE7D3CE;
  DWORD ItemGradientStart = 0xE7D3CE;
  DWORD BackgroundColor = 0xF7F8F9;
  DWORD FontHilightColor = 0x80000000u + COLOR_HIGHLIGHTTEXT;
  DWORD FontNormalColor = 0x80000000u + COLOR_MENUTEXT;
  DWORD XPBorderColor = 0x9C7173;
  DWORD IconBackground = 0xDFE2E6;
  DWORD CheckBoxBackground = 0x9C7173;
};

enum class TBitmapVertAlignment { bvaTop, bvaBottom, bvaMiddle };
enum class TBitmapHorzAlignment { bhaLeft, bhaRight, bhaCenter };

class XPMenuTitle {
 public:
  XPMenuTitle();
  // A picture in the title bar (not owned); with BitmapTransparent its
  // bottom-left pixel's colour is left out.
  HBITMAP Bitmap = nullptr;
  int BitmapOffsetX = 0;
  int BitmapOffsetY = -4;
  TBitmapVertAlignment BitmapVertAlignment = TBitmapVertAlignment::bvaBottom;
  TBitmapHorzAlignment BitmapHorzAlignment = TBitmapHorzAlignment::bhaLeft;
  bool BitmapTransparent = true;
  DWORD GradientEnd = 0xFFFFFF;
  DWORD GradientStart = 0xFFFFFF;
  int VerticalTextOffsetY = -6;
  std::wstring VerticalText;
  LOGFONTW VerticalFont{};
  DWORD VerticalFontColor = 0x9C3031;
  int TitleBarWidth() const { return titleBarWidth_; }
  void SetTitleBarWidth(int width) { titleBarWidth_ = width < 1 ? 1 : width; }

 private:
  int titleBarWidth_ = 20;
};

class TXPPopupMenu {
 public:
  TXPPopupMenu();
  virtual ~TXPPopupMenu();
  TXPPopupMenu(const TXPPopupMenu&) = delete;
  TXPPopupMenu& operator=(const TXPPopupMenu&) = delete;

  TMenuItem Items;
  TBarColors BarColors;
  XPMenuTitle MenuTitle;
  int ExtraWidthIfNeeded = 0;
  bool XP_Border = true;
  // With ExclusionZone the menu avoids ExclusionRect (screen coordinates).
  bool ExclusionZone = false;
  RECT ExclusionRect{};
  // Off: the tray icon does not show the menu on a right click.
  bool AutoPopup = true;
  // Runs as the menu is about to show, so items can show the state of now.
  std::function<void()> OnPopup;

  // The image list (not owned); none means the menu's own empty 16 x 16 list.
  HIMAGELIST Images() const { return images_ ? images_ : ownImages_; }
  void SetImages(HIMAGELIST images) { images_ = images; }

  // Shows the menu with its top-left corner at the screen point and returns
  // when it closes; the chosen item's click arrives as a posted command.
  virtual void Popup(int x, int y);
  // Components that refer to the menu ask to be told when it is destroyed.
  void FreeNotification(const void* owner, std::function<void()> destroyed);
  void RemoveFreeNotification(const void* owner);
  // The enabled default item, if any, as a double click on the tray runs it.
  TMenuItem* DefaultItem();

  // The measure and draw steps, as the menu messages run them.
  void MeasureTopItem(const TMenuItem& item, HDC dc, int& width, int& height);
  void MeasureSubItem(const TMenuItem& item, HDC dc, int& width, int& height);
  void DrawTopItem(const TMenuItem& item, HDC dc, RECT r, bool selected);
  void DrawSubItem(const TMenuItem& item, HDC dc, RECT r, bool selected);
  void DrawItemXP(const TMenuItem& item, HDC dc, const RECT& r, bool selected);
  void DrawItemPlain(const TMenuItem& item, HDC dc, const RECT& r, bool selected);
  // Per popup: heights measured so far, and whether the title is complete.
  void StartPopup();
  void EndPopup();
  int MeasuredHeight() const { return measuredHeight_; }
  int RememberedHeight() const { return rememberedHeight_; }
  bool TitleDrawn() const { return titleDrawn_; }
  // The message window that receives the menu messages while shown.
  HWND MessageWindow() const;
  // The font items are measured and drawn in.
  HFONT MenuFont() const { return static_cast<HFONT>(menuFont_.get()); }

 private:
  class TMessageWindow;
  void Measure(const TMenuItem& item, HDC dc, int& width, int& height, bool top);
  void DrawCheckBox(const TMenuItem& item, HDC dc, const RECT& a);
  void DrawItemImage(const TMenuItem& item, HDC dc, const RECT& a);
  void DrawItemText(const TMenuItem& item, HDC dc, const RECT& a, const RECT& r);
  void DrawTitleBitmap(HDC dc, int total);
  HMENU BuildMenu(const TMenuItem& parent, bool top);
  LRESULT MenuChar(wchar_t key, HMENU menu) const;
  void ProposeSize(const TMenuItem& item, HDC dc, int& width, int& height);
  const TMenuItem* FirstVisible() const;

  friend class TMessageWindow;
  std::unique_ptr<TMessageWindow> window_;
  HIMAGELIST images_ = nullptr;
  HIMAGELIST ownImages_ = nullptr;
  UniqueGdiObject menuFont_;
  // The items of the last popup by command id - 1, and which are top-level.
  std::vector<TMenuItem*> commands_;
  std::vector<bool> topLevel_;
  std::vector<HMENU> menus_;  // the menus of the popup shown, while it is shown
  int measuredHeight_ = 0, rememberedHeight_ = 0;
  int firstTop_ = 0;  // the first top-level item's top in the last popup
  bool titleDrawn_ = false;
  std::vector<std::pair<const void*, std::function<void()>>> freeNotifications_;
};

}  // namespace skyloom
