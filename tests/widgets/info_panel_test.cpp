// The info panel on a real window under Wine: frame pixels, link clicks
// (the shell call replaced by a recorder), vertical placement, hand cursor.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/branding.h"
#include "tests/widgets/dib_surface.h"
#include "tests/widgets/test_application.h"
#include "widgets/info_panel.h"

namespace skyloom {
namespace {

class InfoPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    host = std::make_unique<TForm>(L"TSkyloomWidgetsTestHost", L"host", WS_POPUP, 0, 300, 200);
    panel = std::make_unique<TInfoPanel>(host->Handle(), 0, 0, 258, 103);
    panel->Color = 0xFFFFFF;
    panel->BevelOuter = TPanelBevel::bvLowered;
    panel->ShellOpen = [this](const std::string& target) { opened.push_back(target); };
    panel->OnAnchorClick = [this](void*, const std::string& target) { clicked.push_back(target); };
  }

  // The top-left corner of the link whose target is target: a coarse scan,
  // then up and left to the link's edges.
  POINT FindLink(const std::string& target) {
    for (int y = 0; y < 103; y += 6) {
      for (int x = 0; x < 258; x += 8) {
        if (panel->AnchorAt(x, y) != target) continue;
        while (y > 0 && panel->AnchorAt(x, y - 1) == target) --y;
        while (x > 0 && panel->AnchorAt(x - 1, y) == target) --x;
        return {x, y};
      }
    }
    ADD_FAILURE() << "no link " << target;
    return {-1, -1};
  }
  void Click(POINT p) { SendMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }
  void Move(POINT p) { SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); }
  // Pixels of colour c in the panel as painted now, left and right of x.
  std::pair<int, int> CountColour(COLORREF c, int x) {
    testing::TDibSurface surface(258, 103);
    panel->PaintTo(surface.Dc());
    std::pair<int, int> n{0, 0};
    for (int y = 0; y < 103; ++y) {
      for (int i = 0; i < 258; ++i) {
        if (surface.Pixel(i, y) == c) ++(i < x ? n.first : n.second);
      }
    }
    return n;
  }

  std::unique_ptr<TForm> host;
  std::unique_ptr<TInfoPanel> panel;
  std::vector<std::string> opened, clicked;
};

TEST_F(InfoPanelTest, FrameAndBackground) {
  panel->BevelWidth = 2;
  panel->BorderWidth = 1;
  panel->Color = 0x00FFFF;
  testing::TDibSurface surface(258, 103);
  panel->PaintTo(surface.Dc());
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(surface.Pixel(0, 50), shadow);
  EXPECT_EQ(surface.Pixel(1, 50), shadow);
  EXPECT_EQ(surface.Pixel(100, 0), shadow);
  EXPECT_EQ(surface.Pixel(257, 50), highlight);
  EXPECT_EQ(surface.Pixel(100, 101), highlight);
  EXPECT_EQ(surface.Pixel(2, 50), 0x00FFFFu);    // the border in Color
  EXPECT_EQ(surface.Pixel(128, 60), 0x00FFFFu);  // the background
}

TEST_F(InfoPanelTest, OnlyWebAndMailTargetsReachTheShell) {
  panel->SetText(kAboutText);
  POINT link = FindLink("https://quillbright.example/");
  Click(link);
  Click({link.x, link.y - 20});  // above the link: plain text
  Click({250, 5});
  EXPECT_EQ(opened, std::vector<std::string>{"https://quillbright.example/"});
  EXPECT_TRUE(clicked.empty());

  panel->SetText("<A HREF=\"mailto:info@quillbright.example\">mail</A> <A HREF=\"about\">about</A>");
  Click(FindLink("mailto:info@quillbright.example"));
  Click(FindLink("about"));
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened.back(), "mailto:info@quillbright.example");
  EXPECT_EQ(clicked, std::vector<std::string>{"about"});
}

TEST_F(InfoPanelTest, TextVAlignMovesTheBlock) {
  panel->SetText("<A HREF=\"x://a\">aaaa</A>");
  POINT top = FindLink("x://a");
  panel->TextVAlign = TTextVAlign::tvaBottom;
  POINT bottom = FindLink("x://a");
  panel->TextVAlign = TTextVAlign::tvaCenter;
  POINT center = FindLink("x://a");
  // The text sits inside a 1-pixel bevel; centring moves it by half the
  // free height that bottom placement uses up.
  EXPECT_EQ(top.y, 1);
  EXPECT_GT(bottom.y, 80);
  EXPECT_EQ(center.y - top.y, (bottom.y - top.y) / 2);
}

TEST_F(InfoPanelTest, AnchorEnterAndExit) {
  std::vector<std::string> moves;
  panel->OnAnchorEnter = [&](void*, const std::string& a) { moves.push_back("enter " + a); };
  panel->OnAnchorExit = [&](void*, const std::string& a) { moves.push_back("exit " + a); };
  panel->SetText("<A HREF=\"x://a\">aaaa</A> <A HREF=\"x://b\">bbbb</A>");
  POINT a = FindLink("x://a"), b = FindLink("x://b");
  auto move = [&](POINT p) { SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); };
  move(a);
  move({a.x + 1, a.y + 1});
  move(b);
  move({200, 80});
  move(a);
  SendMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(moves, (std::vector<std::string>{"enter x://a", "exit x://a", "enter x://b", "exit x://b",
                                             "enter x://a", "exit x://a"}));
}

// A 10 x 7 red picture with a blue top-left pixel at each place inside the
// 1-pixel bevel (the text area runs from 1,1 to 256,101 inclusive).
TEST_F(InfoPanelTest, BackgroundPositions) {
  std::vector<std::uint32_t> pixels(70, 0x00FF0000);
  pixels[0] = 0x000000FF;
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
  panel->SetBackground(CreateBitmap(10, 7, 1, 32, pixels.data()));
  struct Case {
    TBackgroundPosition position;
    std::vector<std::pair<POINT, COLORREF>> expected;
  };
  using B = TBackgroundPosition;
  const Case cases[] = {
      {B::bpTopLeft, {{{1, 1}, blue}, {{10, 7}, red}, {{11, 1}, white}, {{1, 8}, white}}},
      {B::bpTopRight, {{{247, 1}, blue}, {{256, 7}, red}, {{246, 1}, white}, {{256, 8}, white}}},
      {B::bpBottomLeft, {{{1, 95}, blue}, {{10, 101}, red}, {{1, 94}, white}, {{11, 101}, white}}},
      {B::bpBottomRight, {{{247, 95}, blue}, {{256, 101}, red}, {{246, 101}, white}, {{256, 94}, white}}},
      {B::bpCenter, {{{124, 48}, blue}, {{133, 54}, red}, {{123, 48}, white}, {{134, 54}, white}}},
      {B::bpTiled, {{{1, 1}, blue}, {{11, 8}, blue}, {{251, 99}, blue}, {{256, 101}, red}}},
      {B::bpStretched, {{{1, 1}, blue}, {{20, 10}, blue}, {{40, 20}, red}, {{256, 101}, red}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.position));
    panel->BackgroundPosition = c.position;
    testing::TDibSurface surface(258, 103);
    panel->PaintTo(surface.Dc());
    for (const auto& [p, colour] : c.expected) {
      EXPECT_EQ(surface.Pixel(p.x, p.y), colour) << p.x << "," << p.y;
    }
    EXPECT_EQ(surface.Pixel(0, 0), GetSysColor(COLOR_BTNSHADOW));  // never over the frame
  }
}

// With the bar on, the text starts below it (20 high with the 1-pixel
// bevel around it); clicks on the bar and its buttons reach their events
// and not the links.
TEST_F(InfoPanelTest, CaptionBarTakesTheTopAndItsClicks) {
  panel->SetText("<A HREF=\"x://a\">aaaa</A>");
  ASSERT_EQ(FindLink("x://a").y, 1);
  panel->Caption.Visible = true;
  panel->Caption.CloseButton = panel->Caption.MinMaxButton = true;
  panel->Caption.Color = RGB(0, 255, 0);
  panel->Caption.CloseColor = RGB(0, 0, 255);
  EXPECT_EQ(FindLink("x://a").y, 19);
  testing::TDibSurface surface(258, 103);
  panel->PaintTo(surface.Dc());
  EXPECT_EQ(surface.Pixel(0, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(surface.Pixel(100, 1), RGB(0, 255, 0));
  EXPECT_EQ(surface.Pixel(100, 18), RGB(0, 255, 0));
  EXPECT_EQ(surface.Pixel(100, 19), RGB(255, 255, 255));
  // Buttons 14 pixels square, 2 in from the bar's top and right and
  // from each other: close at 241..254, minimise/maximise at 225..238.
  EXPECT_EQ(surface.Pixel(241, 3), RGB(0, 0, 255));
  EXPECT_EQ(surface.Pixel(225, 16), RGB(0, 0, 255));
  EXPECT_EQ(surface.Pixel(240, 3), RGB(0, 255, 0));
  EXPECT_EQ(surface.Pixel(255, 3), RGB(0, 255, 0));

  std::vector<std::string> events;
  panel->OnCaptionClick = [&](void*) { events.push_back("caption"); };
  panel->OnMinimize = [&](void*) { events.push_back("minimize"); };
  panel->OnMaximize = [&](void*) { events.push_back("maximize"); };
  panel->OnClose = [&](void*) { events.push_back("close"); };
  Click({100, 10});
  Click({232, 10});
  RECT r = panel->ClientRect();
  EXPECT_EQ(r.bottom, 20);
  EXPECT_TRUE(panel->Minimized());
  Click({232, 10});
  r = panel->ClientRect();
  EXPECT_EQ(r.bottom, 103);
  Click({248, 10});
  EXPECT_EQ(events, (std::vector<std::string>{"caption", "minimize", "maximize", "close"}));
  EXPECT_FALSE(GetWindowLongW(panel->Handle(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(clicked.empty());
}

// The link under the mouse takes the hover colours and asks for a repaint;
// the other link keeps its colour and leaving the panel restores it.
TEST_F(InfoPanelTest, HoverColoursFollowTheMouse) {
  const COLORREF green = RGB(0, 255, 0), red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  panel->HoverColor = green;
  panel->HoverFontColor = red;
  panel->SetText("<A HREF=\"x://a\">aaaa</A> <A HREF=\"x://a\">bbbb</A>");
  POINT a = FindLink("x://a");
  int split = a.x;  // the blank between the two links
  while (!panel->AnchorAt(split, a.y + 2).empty()) ++split;
  Move({a.x + 1, a.y + 1});
  EXPECT_EQ(CountColour(green, split), std::make_pair(0, 0));  // Hover off
  panel->Hover = true;
  ShowWindow(host->Handle(), SW_SHOWNOACTIVATE);
  ValidateRect(panel->Handle(), nullptr);
  Move({a.x + 2, a.y + 1});
  Move({200, 80});
  EXPECT_TRUE(GetUpdateRect(panel->Handle(), nullptr, FALSE));  // left the link: repaint asked
  ValidateRect(panel->Handle(), nullptr);
  Move({a.x + 2, a.y + 1});
  EXPECT_TRUE(GetUpdateRect(panel->Handle(), nullptr, FALSE));
  auto greens = CountColour(green, split);
  auto reds = CountColour(red, split);
  auto blues = CountColour(blue, split);
  EXPECT_GT(greens.first, 40);
  EXPECT_EQ(greens.second, 0);
  EXPECT_GT(reds.first, 5);
  EXPECT_EQ(blues.first, 0);
  EXPECT_GT(blues.second, 5);
  // New text under a resting mouse: the link there now is the second one.
  panel->SetText("<A HREF=\"x://b\"></A><A HREF=\"x://a\">aaaa</A>");
  EXPECT_GT(CountColour(green, split).first, 40);
  SendMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(CountColour(green, split), std::make_pair(0, 0));
  EXPECT_GT(CountColour(blue, split).first, 5);
}

// The hint is the target as OnAnchorHint leaves it, 10 pixels right of and
// above the mouse; resting on a link shows it, moving off hides it.
TEST_F(InfoPanelTest, AnchorHintTextAndPlace) {
  SetWindowPos(host->Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  panel->SetText("<A HREF=\"x://a\">aaaa</A>");
  POINT a = FindLink("x://a");
  POINT at{a.x + 3, a.y + 2};
  EXPECT_FALSE(panel->HintAt(at.x, at.y));  // AnchorHint off
  panel->AnchorHint = true;
  panel->OnAnchorHint = [](void*, std::string& hint) { hint = "see " + hint; };
  EXPECT_FALSE(panel->HintAt(200, 80));
  std::optional<TAnchorHint> hint = panel->HintAt(at.x, at.y);
  ASSERT_TRUE(hint);
  EXPECT_EQ(hint->text, "see x://a");
  POINT origin{0, 0};
  ClientToScreen(panel->Handle(), &origin);
  EXPECT_EQ(hint->position.x, origin.x + at.x + 10);
  EXPECT_EQ(hint->position.y, origin.y + at.y - 10);

  ShowWindow(host->Handle(), SW_SHOWNOACTIVATE);
  Move(at);
  SendMessageW(panel->Handle(), WM_MOUSEHOVER, 0, MAKELPARAM(at.x, at.y));
  HWND tip = panel->HintWindow();
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(IsWindowVisible(tip));
  char text[64] = {};
  TOOLINFOA tool{sizeof tool, 0, panel->Handle(), 1};
  tool.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "see x://a");
  RECT r{};
  GetWindowRect(tip, &r);
  // The tooltip may grow by its 1-pixel border around the asked position.
  EXPECT_LE(std::abs(r.left - hint->position.x), 1);
  EXPECT_LE(std::abs(r.top - hint->position.y), 1);
  Move({200, 80});
  EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(InfoPanelTest, HandCursorOverLinks) {
  panel->SetText("<A HREF=\"x://a\">aaaa</A>");
  POINT link = FindLink("x://a");
  POINT screen = link;
  ClientToScreen(panel->Handle(), &screen);
  SetCursorPos(screen.x + 1, screen.y + 1);
  SendMessageW(panel->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  screen = {200, 80};
  ClientToScreen(panel->Handle(), &screen);
  SetCursorPos(screen.x, screen.y);
  SendMessageW(panel->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

}  // namespace
}  // namespace skyloom
