#include "widgets/xp_popup_menu.h"

#include <algorithm>
#include <cmath>

#include "widgets/menu_letters.h"
#include "widgets/menu_painting.h"

namespace skyloom {
namespace {

constexpr wchar_t kMenuWindowClass[] = L"TSkyloomXPMenuWindow";
constexpr COLORREF kSeparatorColor = 0xADAEAD;
constexpr COLORREF kDisabledText = 0x808080;

void Fill(HDC dc, const RECT& r, DWORD color) {
  UniqueGdiObject brush(CreateSolidBrush(ResolveMenuColor(color)));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

SIZE ImageSize(HIMAGELIST images) {
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  return {cx, cy};
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

bool IsSeparator(const TMenuItem& item) { return item.Caption == L"-"; }

HFONT CreateMenuFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return CreateFontIndirectW(&metrics.lfMenuFont);
}

}  // namespace

TMenuItem& TMenuItem::Add(std::wstring caption, int imageIndex, TNotifyEvent onClick) {
  auto item = std::make_unique<TMenuItem>();
  item->Caption = std::move(caption);
  item->ImageIndex = imageIndex;
  item->OnClick = std::move(onClick);
  Items.push_back(std::move(item));
  return *Items.back();
}

XPMenuTitle::XPMenuTitle() {
  lstrcpynW(VerticalFont.lfFaceName, L"Arial Black", LF_FACESIZE);
  VerticalFont.lfHeight = -16;  // 12 points at 96 pixels per inch
  VerticalFont.lfWeight = FW_BOLD;
  VerticalFont.lfCharSet = DEFAULT_CHARSET;
}

// Receives the menu's measure, draw and command messages.
class TXPPopupMenu::TMessageWindow : public TWindow {
 public:
  explicit TMessageWindow(TXPPopupMenu& menu) : menu_(menu) {
    RegisterOwnClass(kMenuWindowClass, nullptr);
    CreateOwnWindow(kMenuWindowClass, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_MEASUREITEM:
        return Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      case WM_DRAWITEM:
        return Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      case WM_COMMAND:
        if (HIWORD(wParam) == 0) return Command(LOWORD(wParam));
        break;
      case WM_MENUCHAR:
        return menu_.MenuChar(static_cast<wchar_t>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam));
    }
    return DefaultProc(message, wParam, lParam);
  }

 private:
  // Item data and command ids are index + 1 into the popup's item list.
  TMenuItem* Item(ULONG_PTR data, bool* top) const {
    if (data == 0 || data > menu_.commands_.size()) return nullptr;
    *top = menu_.topLevel_[data - 1];
    return menu_.commands_[data - 1];
  }
  LRESULT Measure(MEASUREITEMSTRUCT& m) {
    bool top = false;
    TMenuItem* item = m.CtlType == ODT_MENU ? Item(m.itemData, &top) : nullptr;
    if (!item) return FALSE;
    WindowDc dc(Handle());
    SelectedObject font(dc.get(), menu_.menuFont_.get());
    int width = 0, height = 0;
    menu_.ProposeSize(*item, dc.get(), width, height);
    if (top) menu_.MeasureTopItem(*item, dc.get(), width, height);
    else menu_.MeasureSubItem(*item, dc.get(), width, height);
    m.itemWidth = static_cast<UINT>(width);
    m.itemHeight = static_cast<UINT>(height);
    return TRUE;
  }
  LRESULT Draw(DRAWITEMSTRUCT& d) {
    bool top = false;
    TMenuItem* item = d.CtlType == ODT_MENU ? Item(d.itemData, &top) : nullptr;
    if (!item) return FALSE;
    SelectedObject font(d.hDC, menu_.menuFont_.get());
    bool selected = (d.itemState & ODS_SELECTED) != 0;
    if (top) menu_.DrawTopItem(*item, d.hDC, d.rcItem, selected);
    else menu_.DrawSubItem(*item, d.hDC, d.rcItem, selected);
    return TRUE;
  }
  LRESULT Command(unsigned id) {
    bool top = false;
    if (TMenuItem* item = Item(id, &top)) item->Click();
    return 0;
  }

  TXPPopupMenu& menu_;
};

TXPPopupMenu::TXPPopupMenu()
    : window_(std::make_unique<TMessageWindow>(*this)),
      ownImages_(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4)),
      menuFont_(CreateMenuFont()) {}

TXPPopupMenu::~TXPPopupMenu() {
  auto notifications = std::move(freeNotifications_);
  for (auto& notification : notifications) notification.second();
  ImageList_Destroy(ownImages_);
}

void TXPPopupMenu::FreeNotification(const void* owner, std::function<void()> destroyed) {
  RemoveFreeNotification(owner);
  freeNotifications_.emplace_back(owner, std::move(destroyed));
}

void TXPPopupMenu::RemoveFreeNotification(const void* owner) {
  std::erase_if(freeNotifications_, [owner](const auto& n) { return n.first == owner; });
}

HWND TXPPopupMenu::MessageWindow() const { return window_->Handle(); }

TMenuItem* TXPPopupMenu::DefaultItem() {
  for (auto& item : Items.Items) {
    if (item->Default && item->Visible) return item.get();
  }
  return nullptr;
}

HMENU TXPPopupMenu::BuildMenu(const TMenuItem& parent, bool top) {
  HMENU menu = CreatePopupMenu();
  menus_.push_back(menu);
  UINT position = 0;
  for (const auto& child : parent.Items) {
    if (!child->Visible) continue;
    commands_.push_back(child.get());
    topLevel_.push_back(top);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_STATE;
    // Separators stay real separators, so the keyboard passes over them.
    info.fType = MFT_OWNERDRAW | (IsSeparator(*child) ? MFT_SEPARATOR : 0);
    info.fState = (child->Enabled ? MFS_ENABLED : MFS_DISABLED) | (child->Default ? MFS_DEFAULT : 0);
    info.wID = static_cast<UINT>(commands_.size());  // item data and id: index + 1
    info.dwItemData = commands_.size();
    if (!child->Items.empty()) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = BuildMenu(*child, false);
    }
    InsertMenuItemW(menu, position++, TRUE, &info);
  }
  return menu;
}

const TMenuItem* TXPPopupMenu::FirstVisible() const {
  for (const auto& item : Items.Items) {
    if (item->Visible) return item.get();
  }
  return nullptr;
}

void TXPPopupMenu::StartPopup() {
  measuredHeight_ = 0;
  titleDrawn_ = false;
}

void TXPPopupMenu::EndPopup() {
  if (rememberedHeight_ == 0) rememberedHeight_ = measuredHeight_;
}

void TXPPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup();
  StartPopup();
  commands_.clear();
  topLevel_.clear();
  menus_.clear();
  HMENU menu = BuildMenu(Items, true);
  TPMPARAMS params{};
  params.cbSize = sizeof params;
  if (ExclusionZone) params.rcExclude = ExclusionRect;
  // The menu closes on a click elsewhere only when its owner is in front.
  SetForegroundWindow(MessageWindow());
  TrackPopupMenuEx(menu, TPM_VERTICAL, x, y, MessageWindow(), &params);
  PostMessageW(MessageWindow(), WM_NULL, 0, 0);
  DestroyMenu(menu);
  menus_.clear();
  EndPopup();
}

// Owner-drawn items have no text for the system to search, so a typed
// letter arrives here: it is looked up in the captions of the menu shown.
LRESULT TXPPopupMenu::MenuChar(wchar_t key, HMENU menu) const {
  if (std::find(menus_.begin(), menus_.end(), menu) == menus_.end()) return MAKELRESULT(0, MNC_IGNORE);
  const int count = GetMenuItemCount(menu);
  std::vector<std::wstring> captions(static_cast<std::size_t>(std::max(count, 0)));
  int highlighted = -1;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_STATE;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fState & MFS_HILITE) highlighted = i;
    const ULONG_PTR data = info.dwItemData;
    if (data == 0 || data > commands_.size() || !commands_[data - 1]->Enabled) continue;
    captions[static_cast<std::size_t>(i)] = commands_[data - 1]->Caption;
  }
  const TLetterChoice choice = ChooseByLetter(captions, key, highlighted);
  switch (choice.action) {
    case TLetterChoice::Action::Run: return MAKELRESULT(choice.index, MNC_EXECUTE);
    case TLetterChoice::Action::Select: return MAKELRESULT(choice.index, MNC_SELECT);
    default: return MAKELRESULT(0, MNC_IGNORE);
  }
}

void TXPPopupMenu::ProposeSize(const TMenuItem& item, HDC dc, int& width, int& height) {
  SIZE image = ImageSize(Images());
  SIZE text = TextSize(dc, StripAccelerators(item.Caption));
  width = text.cx + image.cx + 12 + 8;
  height = std::max<int>(text.cy + 4, image.cy + 3);
}

void TXPPopupMenu::Measure(const TMenuItem& item, HDC dc, int& width, int& height, bool top) {
  width += ExtraWidthIfNeeded + 6;
  // The menu's own items make room for the title bar.
  if (top) width += MenuTitle.TitleBarWidth();
  if (!item.ShortCut.empty()) width += TextSize(dc, item.ShortCut).cx / 2;
  if (!item.Visible) return;
  if (IsSeparator(item)) height = 3;
  else if (XP_Border) height += 6;
  // The title bar spans the top-level menu only.
  if (top) measuredHeight_ += height;
}

void TXPPopupMenu::MeasureTopItem(const TMenuItem& item, HDC dc, int& width, int& height) {
  Measure(item, dc, width, height, true);
}

void TXPPopupMenu::MeasureSubItem(const TMenuItem& item, HDC dc, int& width, int& height) {
  Measure(item, dc, width, height, false);
}

void TXPPopupMenu::DrawTopItem(const TMenuItem& item, HDC dc, RECT r, bool selected) {
  int bar = MenuTitle.TitleBarWidth();
  RECT shifted{r.left + bar, r.top, r.right, r.bottom};
  if (XP_Border) DrawItemXP(item, dc, shifted, selected);
  else DrawItemPlain(item, dc, shifted, selected);
  if (rememberedHeight_ != 0) measuredHeight_ = rememberedHeight_;
  // Some platforms leave a margin above the first item: the title bar
  // reaches down to the last item's bottom all the same.
  if (!Items.Items.empty() && &item == FirstVisible()) firstTop_ = r.top;
  int total = measuredHeight_ + firstTop_;
  if (titleDrawn_) return;
  GradientFillVertical(dc, {0, 0, bar - 2, total}, MenuTitle.GradientStart, MenuTitle.GradientEnd);
  UniqueGdiObject font(CreateFontIndirectW(&MenuTitle.VerticalFont));
  int textHeight = 0;
  {
    SelectedObject selectedFont(dc, font.get());
    textHeight = TextSize(dc, L"X").cy;
  }
  int x = static_cast<int>(std::lrint((bar - textHeight) / 2.0 - 0.5)) - 1;  // halves to even
  int y = total + MenuTitle.VerticalTextOffsetY;
  SIZE picture = BitmapSize(MenuTitle.Bitmap);
  if (MenuTitle.BitmapVertAlignment == TBitmapVertAlignment::bvaBottom) y -= picture.cy;
  TextOutVertical(dc, x, y, MenuTitle.VerticalText, MenuTitle.VerticalFont,
                  ResolveMenuColor(MenuTitle.VerticalFontColor));
  if (total != r.bottom) return;
  titleDrawn_ = true;
  DrawTitleBitmap(dc, total);
}

void TXPPopupMenu::DrawTitleBitmap(HDC dc, int total) {
  const XPMenuTitle& t = MenuTitle;
  if (!t.Bitmap) return;
  SIZE size = BitmapSize(t.Bitmap);
  int bar = t.TitleBarWidth() - 2;
  int y = t.BitmapOffsetY;
  if (t.BitmapVertAlignment == TBitmapVertAlignment::bvaBottom) y += total - size.cy;
  if (t.BitmapVertAlignment == TBitmapVertAlignment::bvaMiddle) y += (total - size.cy) / 2;
  int x = t.BitmapOffsetX;
  if (t.BitmapHorzAlignment == TBitmapHorzAlignment::bhaRight) x += bar - size.cx;
  if (t.BitmapHorzAlignment == TBitmapHorzAlignment::bhaCenter) x += (bar - size.cx) / 2;
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  HGDIOBJ old = SelectObject(source.get(), t.Bitmap);
  if (t.BitmapTransparent) {
    COLORREF key = GetPixel(source.get(), 0, size.cy - 1);
    TransparentBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, size.cx, size.cy, key);
  } else {
    BitBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
  }
  SelectObject(source.get(), old);
}

void TXPPopupMenu::DrawSubItem(const TMenuItem& item, HDC dc, RECT r, bool selected) {
  r.left += 2;
  if (XP_Border) DrawItemXP(item, dc, r, selected);
  else DrawItemPlain(item, dc, r, selected);
}

void TXPPopupMenu::DrawItemXP(const TMenuItem& item, HDC dc, const RECT& r, bool selected) {
  RECT a{r.left - 2, r.top, r.right + 6, r.bottom};
  RECT b{a.left + 1, r.top + 2, a.right - 7, r.bottom - 2};
  UniqueMemoryDc memory(CreateCompatibleDC(dc));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(a.right, 1), std::max<LONG>(r.bottom, 1)));
  HGDIOBJ oldBitmap = SelectObject(memory.get(), bitmap.get());
  SelectedObject font(memory.get(), GetCurrentObject(dc, OBJ_FONT));
  HDC m = memory.get();
  Fill(m, {0, 0, a.right, r.bottom}, BarColors.BackgroundColor);
  RECT column{a.left, a.top, a.left + ImageSize(Images()).cx + 8, a.bottom};
  SetTextColor(m, ResolveMenuColor(selected ? BarColors.FontHilightColor : BarColors.FontNormalColor));
  if (!selected) {
    Fill(m, b, BarColors.BackgroundColor);
    Fill(m, column, BarColors.IconBackground);
  } else {
    Fill(m, a, BarColors.BackgroundColor);
    Fill(m, column, BarColors.IconBackground);
    Fill(m, b, BarColors.ItemGradientStart);
  }
  if (item.Checked) DrawCheckBox(item, m, a);
  DrawItemImage(item, m, a);
  DrawItemText(item, m, a, r);
  BitBlt(dc, a.left, a.top, a.right - a.left, a.bottom - a.top, m, a.left, a.top, SRCCOPY);
  if (XP_Border && selected) {
    UniqueGdiObject brush(CreateSolidBrush(ResolveMenuColor(BarColors.XPBorderColor)));
    FrameRect(dc, &b, static_cast<HBRUSH>(brush.get()));
  }
  SelectObject(m, oldBitmap);
}

void TXPPopupMenu::DrawItemPlain(const TMenuItem& item, HDC dc, const RECT& r, bool selected) {
  RECT a{r.left - 2, r.top, r.right + 6, r.bottom};
  UniqueMemoryDc memory(CreateCompatibleDC(dc));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(a.right, 1), std::max<LONG>(r.bottom, 1)));
  HGDIOBJ oldBitmap = SelectObject(memory.get(), bitmap.get());
  SelectedObject font(memory.get(), GetCurrentObject(dc, OBJ_FONT));
  HDC m = memory.get();
  Fill(m, {0, 0, a.right, r.bottom}, 0xFFFFFF);
  if (!selected) {
    SetTextColor(m, ResolveMenuColor(BarColors.FontNormalColor));
    Fill(m, a, BarColors.BackgroundColor);
  } else {
    SetTextColor(m, ResolveMenuColor(BarColors.FontHilightColor));
    if (BarColors.ItemGradientStart == BarColors.ItemGradientEnd) Fill(m, a, BarColors.ItemGradientStart);
    else GradientFillHorizontal(m, a, BarColors.ItemGradientStart, BarColors.ItemGradientEnd);
  }
  DrawItemImage(item, m, a);
  DrawItemText(item, m, a, r);
  BitBlt(dc, a.left, a.top, a.right - a.left, a.bottom - a.top, m, a.left, a.top, SRCCOPY);
  SelectObject(m, oldBitmap);
}

void TXPPopupMenu::DrawCheckBox(const TMenuItem& item, HDC dc, const RECT& a) {
  RECT c{a.left + 2, a.top + 4, a.left + 20, a.bottom - 4};
  Fill(dc, c, BarColors.CheckBoxBackground);
  bool hasImage = item.ImageIndex >= 0 && item.ImageIndex < ImageList_GetImageCount(Images());
  if (hasImage) return;
  const COLORREF white = 0xFFFFFF;
  SolidLine(dc, c.left + 1, c.top + 5, c.left + 4, c.bottom - 2, white);
  SolidLine(dc, c.left + 2, c.top + 5, c.left + 4, c.bottom - 3, white);
  SolidLine(dc, c.left + 2, c.top + 4, c.left + 5, c.bottom - 3, white);
  SolidLine(dc, c.left + 4, c.bottom - 3, c.right + 2, c.top - 1, white);
  SolidLine(dc, c.left + 4, c.bottom - 2, c.right - 2, c.top + 3, white);
}

void TXPPopupMenu::DrawItemImage(const TMenuItem& item, HDC dc, const RECT& a) {
  if (item.ImageIndex < 0) return;
  int y = (a.top + a.bottom - ImageSize(Images()).cy) / 2;
  ImageList_Draw(Images(), item.ImageIndex, dc, a.left + 4, y, ILD_NORMAL);
}

void TXPPopupMenu::DrawItemText(const TMenuItem& item, HDC dc, const RECT& a, const RECT& r) {
  SetBkMode(dc, TRANSPARENT);
  int x = a.left + ImageSize(Images()).cx + 12;
  if (IsSeparator(item)) {
    SolidLine(dc, x + 4, a.top + 1, a.right, a.top + 1, kSeparatorColor);
    return;
  }
  if (!item.Enabled) SetTextColor(dc, kDisabledText);
  std::wstring caption = StripAccelerators(item.Caption);
  int y = (a.top + a.bottom - TextSize(dc, L"H").cy) / 2;
  TextOutW(dc, x, y, caption.c_str(), static_cast<int>(caption.size()));
  if (item.ShortCut.empty()) return;
  // Shortcuts stand right-aligned with 4 pixels to spare.
  int shortcutX = r.right - TextSize(dc, item.ShortCut).cx - 4;
  TextOutW(dc, shortcutX, y, item.ShortCut.c_str(), static_cast<int>(item.ShortCut.size()));
}

}  // namespace skyloom
