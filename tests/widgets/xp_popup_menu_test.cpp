// The owner-drawn popup menu: measure steps, the title bar protocol, item
// pixels against the rectangles they are drawn from, and a real popup.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/widgets/dib_surface.h"
#include "tests/widgets/test_application.h"
#include "widgets/menu_letters.h"
#include "widgets/menu_painting.h"
#include "widgets/xp_popup_menu.h"

namespace skyloom {
namespace {

using testing::TDibSurface;

TEST(MenuPainting, VerticalGradientRowsAndAccelerators) {
  TDibSurface surface(18, 60);
  GradientFillVertical(surface.Dc(), {0, 0, 18, 50}, 0xC0C0C0, 0xFFFFFF);
  for (int row = 0; row <= 50; ++row) {
    BYTE v = static_cast<BYTE>(0xC0 + 0x3F * row / 50);
    ASSERT_EQ(surface.Pixel(5, row), RGB(v, v, v)) << row;
  }
  // A falling channel truncates toward zero as well.
  GradientFillVertical(surface.Dc(), {0, 0, 18, 3}, 0x0000FF, 0x000000);
  EXPECT_EQ(surface.Pixel(0, 1), RGB(170, 0, 0));
  EXPECT_EQ(surface.Pixel(0, 2), RGB(85, 0, 0));
  EXPECT_EQ(StripAccelerators(L"Load && Save"), L"Load & Save");
  EXPECT_EQ(StripAccelerators(L"&Next"), L"Next");
  EXPECT_EQ(StripAccelerators(L"a&"), L"a");
}

class XPPopupMenuTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::TestApplication(); }
  TXPPopupMenu menu;
  TDibSurface surface{200, 120};
};

TEST_F(XPPopupMenuTest, MeasureSteps) {
  TMenuItem& item = menu.Items.Add(L"&Next");
  TMenuItem& separator = menu.Items.Add(L"-");
  TMenuItem& hidden = menu.Items.Add(L"hidden");
  hidden.Visible = false;
  menu.StartPopup();
  int w = 100, h = 20;
  menu.MeasureTopItem(item, surface.Dc(), w, h);
  EXPECT_EQ(w, 126);  // + 6 + the title bar
  EXPECT_EQ(h, 26);
  w = 100, h = 20;
  menu.MeasureSubItem(item, surface.Dc(), w, h);
  EXPECT_EQ(w, 106);
  EXPECT_EQ(h, 26);
  w = 100, h = 20;
  menu.MeasureTopItem(separator, surface.Dc(), w, h);
  EXPECT_EQ(h, 3);
  w = 100, h = 20;
  menu.MeasureTopItem(hidden, surface.Dc(), w, h);
  EXPECT_EQ(h, 20);
  menu.ExtraWidthIfNeeded = 5;
  menu.XP_Border = false;
  w = 100, h = 20;
  menu.MeasureTopItem(item, surface.Dc(), w, h);
  EXPECT_EQ(w, 131);
  EXPECT_EQ(h, 20);
  // Only visible top-level items count toward the title bar's height.
  EXPECT_EQ(menu.MeasuredHeight(), 26 + 3 + 20);
  menu.EndPopup();
  EXPECT_EQ(menu.RememberedHeight(), 49);
  menu.MenuTitle.SetTitleBarWidth(-3);
  EXPECT_EQ(menu.MenuTitle.TitleBarWidth(), 1);
}

TEST_F(XPPopupMenuTest, TitleBarIsCompletedOncePerPopup) {
  menu.MenuTitle.GradientStart = 0xC0C0C0;
  menu.MenuTitle.VerticalText = L"  Skyloom";
  TMenuItem& a = menu.Items.Add(L"a");
  TMenuItem& b = menu.Items.Add(L"b");
  TMenuItem& sub = b.Add(L"sub");
  menu.StartPopup();
  int w = 0, h = 20;
  menu.MeasureTopItem(a, surface.Dc(), w, h);
  h = 20;
  menu.MeasureTopItem(b, surface.Dc(), w, h);
  h = 20;
  menu.MeasureSubItem(sub, surface.Dc(), w, h);
  ASSERT_EQ(menu.MeasuredHeight(), 52);
  menu.DrawTopItem(a, surface.Dc(), {0, 0, 150, 26}, false);
  EXPECT_FALSE(menu.TitleDrawn());
  EXPECT_EQ(surface.Pixel(0, 0), RGB(0xC0, 0xC0, 0xC0));
  menu.DrawTopItem(b, surface.Dc(), {0, 26, 150, 52}, false);
  EXPECT_TRUE(menu.TitleDrawn());
  EXPECT_EQ(surface.Pixel(0, 52), RGB(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(surface.Pixel(17, 10), surface.Pixel(0, 10));  // 18 pixels wide
  EXPECT_NE(surface.Pixel(18, 10), surface.Pixel(0, 10));
  // Redrawing an item later in the same popup leaves the title alone.
  RECT bar{0, 0, 18, 52};
  FillRect(surface.Dc(), &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  menu.DrawTopItem(a, surface.Dc(), {0, 0, 150, 26}, true);
  EXPECT_EQ(surface.Pixel(0, 0), RGB(0, 0, 0));
  menu.EndPopup();
  menu.StartPopup();
  EXPECT_FALSE(menu.TitleDrawn());
  menu.DrawTopItem(a, surface.Dc(), {0, 0, 150, 26}, false);
  EXPECT_EQ(surface.Pixel(0, 0), RGB(0xC0, 0xC0, 0xC0));  // the remembered 52 rows
}

TEST_F(XPPopupMenuTest, TitleBitmapAtTheBottomLeft) {
  // 10 x 10 red with a white bottom-left pixel: white is transparent.
  HDC dc = CreateCompatibleDC(surface.Dc());
  HBITMAP bitmap = CreateCompatibleBitmap(surface.Dc(), 10, 10);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 10, 10};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT red{0, 0, 10, 9};
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &red, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  menu.MenuTitle.Bitmap = bitmap;
  menu.MenuTitle.GradientStart = menu.MenuTitle.GradientEnd = 0x00FF00;
  TMenuItem& a = menu.Items.Add(L"a");
  menu.StartPopup();
  int w = 0, h = 46;
  menu.MeasureTopItem(a, surface.Dc(), w, h);
  menu.DrawTopItem(a, surface.Dc(), {0, 0, 150, 52}, false);
  // y = total - height + offset -4 = 38; x = 0.
  EXPECT_EQ(surface.Pixel(0, 38), RGB(255, 0, 0));
  EXPECT_EQ(surface.Pixel(9, 46), RGB(255, 0, 0));
  EXPECT_EQ(surface.Pixel(0, 37), RGB(0, 255, 0));
  EXPECT_EQ(surface.Pixel(10, 40), RGB(0, 255, 0));
  EXPECT_EQ(surface.Pixel(3, 47), RGB(0, 255, 0));  // the transparent row
  DeleteObject(bitmap);
}

TEST_F(XPPopupMenuTest, BorderedItemPixels) {
  TMenuItem& item = menu.Items.Add(L"");
  const TBarColors& c = menu.BarColors;
  // r = (20, 0, 150, 26): working a = (18, 0, 156, 26), highlight b = (19, 2, 149, 24),
  // image column 18..41.
  menu.DrawItemXP(item, surface.Dc(), {20, 0, 150, 26}, true);
  EXPECT_EQ(surface.Pixel(18, 10), c.IconBackground);
  EXPECT_EQ(surface.Pixel(41, 0), c.IconBackground);
  EXPECT_EQ(surface.Pixel(42, 0), c.BackgroundColor);
  EXPECT_EQ(surface.Pixel(19, 10), c.XPBorderColor);
  EXPECT_EQ(surface.Pixel(148, 10), c.XPBorderColor);
  EXPECT_EQ(surface.Pixel(100, 2), c.XPBorderColor);
  EXPECT_EQ(surface.Pixel(100, 23), c.XPBorderColor);
  EXPECT_EQ(surface.Pixel(20, 3), c.ItemGradientStart);
  EXPECT_EQ(surface.Pixel(147, 22), c.ItemGradientStart);
  EXPECT_EQ(surface.Pixel(149, 10), c.BackgroundColor);
  EXPECT_EQ(surface.Pixel(100, 1), c.BackgroundColor);
  EXPECT_EQ(surface.Pixel(100, 24), c.BackgroundColor);
  menu.DrawItemXP(item, surface.Dc(), {20, 0, 150, 26}, false);
  EXPECT_EQ(surface.Pixel(41, 10), c.IconBackground);
  EXPECT_EQ(surface.Pixel(42, 10), c.BackgroundColor);
  EXPECT_EQ(surface.Pixel(19, 10), c.IconBackground);
  EXPECT_EQ(surface.Pixel(100, 10), c.BackgroundColor);
}

TEST_F(XPPopupMenuTest, SeparatorCheckAndDisabledText) {
  TMenuItem& separator = menu.Items.Add(L"-");
  menu.DrawItemXP(separator, surface.Dc(), {20, 0, 150, 3}, false);
  // Captions start 16 + 12 right of a's left edge, the line 4 further.
  EXPECT_EQ(surface.Pixel(49, 1), menu.BarColors.BackgroundColor);
  EXPECT_EQ(surface.Pixel(50, 1), 0xADAEADu);
  EXPECT_EQ(surface.Pixel(155, 1), 0xADAEADu);
  EXPECT_EQ(surface.Pixel(60, 0), menu.BarColors.BackgroundColor);

  TMenuItem& off = menu.Items.Add(L"WWWW");
  off.Enabled = false;
  off.Checked = true;
  SelectObject(surface.Dc(), menu.MenuFont());
  menu.DrawItemXP(off, surface.Dc(), {20, 30, 150, 56}, true);
  int grey = 0;
  for (int x = 46; x < 140; ++x) {
    for (int y = 32; y < 54; ++y) grey += surface.Pixel(x, y) == 0x808080u;
  }
  EXPECT_GT(grey, 10);
  // The check square (a.left + 2, a.top + 4) .. (a.left + 20, a.bottom - 4) with a white tick.
  EXPECT_EQ(surface.Pixel(20, 34), menu.BarColors.CheckBoxBackground);
  EXPECT_EQ(surface.Pixel(37, 51), menu.BarColors.CheckBoxBackground);
  EXPECT_EQ(surface.Pixel(21, 39), 0xFFFFFFu);  // first stroke starts at (c.left + 1, c.top + 5)
}

// Inside the menu's modal loop the keys walk the menu as a user would:
// virtual keys as key presses, letters as the characters they type.
void PlayKeys(const std::vector<WPARAM>& keys) {
  static std::vector<WPARAM> pending;
  pending = keys;
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup) return EndMenu(), void();
    for (WPARAM key : pending) {
      const bool letter = (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z');
      PostMessageW(popup, letter ? WM_CHAR : WM_KEYDOWN, key, 0);
    }
  });
}

void DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST_F(XPPopupMenuTest, PopupDeliversMeasureDrawAndCommand) {
  menu.MenuTitle.VerticalText = L"  Skyloom";
  int first = 0, deeper = 0;
  menu.Items.Add(L"&First", -1, [&](void*) { ++first; });
  menu.Items.Add(L"-");
  menu.Items.Add(L"Second").Add(L"Deep").Add(L"Deeper", -1, [&](void*) { ++deeper; });
  PlayKeys({VK_DOWN, VK_RETURN});
  menu.Popup(100, 100);
  DispatchPending();
  EXPECT_EQ(first, 1);
  // The title bar was completed: its height is the top-level menu's.
  EXPECT_TRUE(menu.TitleDrawn());
  int height = menu.RememberedHeight();
  EXPECT_GT(height, 3);
  // Two submenus down; their items do not add to the title's height.
  PlayKeys({VK_DOWN, VK_DOWN, VK_RIGHT, VK_RIGHT, VK_RETURN});
  menu.Popup(100, 100);
  DispatchPending();
  EXPECT_EQ(deeper, 1);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(menu.MeasuredHeight(), height);
}

// The captions' letters, typed into the open menu: an item with its own
// letter runs at once, in either case; a disabled one does not.
TEST_F(XPPopupMenuTest, TypedLettersRunTheirItems) {
  std::vector<std::wstring> ran;
  auto add = [&](const wchar_t* caption) {
    return &menu.Items.Add(caption, -1, [&ran, caption](void*) { ran.push_back(caption); });
  };
  add(L"&Next WallPaper Image");
  menu.Items.Add(L"-");
  add(L"Save && &Leave");
  add(L"Loc&k")->Enabled = false;
  add(L"&Exit Skyloom");
  // Escape closes the menu when a letter did not.
  for (const auto& keys : std::vector<std::vector<WPARAM>>{{'e'}, {'N'}, {'l'}, {'k'}, {'x'}}) {
    auto played = keys;
    played.push_back(VK_ESCAPE);
    PlayKeys(played);
    menu.Popup(100, 100);
    DispatchPending();
  }
  EXPECT_EQ(ran, (std::vector<std::wstring>{L"&Exit Skyloom", L"&Next WallPaper Image", L"Save && &Leave"}));
}

// Several items share a letter: each press selects the next of them after
// the highlighted item, wrapping round, and none runs.
TEST(MenuLetters, SharedLettersCycleAndAmpersandsAreRead) {
  const std::vector<std::wstring> captions{L"&Load", L"", L"Save && &Leave", L"&Next", L"&list"};
  using Action = TLetterChoice::Action;
  auto choose = [&](wchar_t key, int highlighted) {
    const TLetterChoice c = ChooseByLetter(captions, key, highlighted);
    return std::pair{c.action, c.index};
  };
  EXPECT_EQ(choose(L'l', -1), std::pair(Action::Select, 0));
  EXPECT_EQ(choose(L'L', 0), std::pair(Action::Select, 2));
  EXPECT_EQ(choose(L'l', 3), std::pair(Action::Select, 4));
  EXPECT_EQ(choose(L'l', 4), std::pair(Action::Select, 0));
  EXPECT_EQ(choose(L'n', 0), std::pair(Action::Run, 3));
  EXPECT_EQ(choose(L'q', 0).first, Action::None);
  EXPECT_EQ(AcceleratorOf(L"Save && &Leave"), L'L');
  EXPECT_EQ(AcceleratorOf(L"a && b"), 0);
  EXPECT_EQ(AcceleratorOf(L"end&"), 0);
}

}  // namespace
}  // namespace skyloom
