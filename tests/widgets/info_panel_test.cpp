// The info panel on a real window under Wine: frame pixels, link clicks
// (the shell call replaced by a recorder), vertical placement, hand cursor.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/widgets/dib_surface.h"
#include "tests/widgets/test_application.h"
#include "widgets/info_panel.h"

namespace skyloom {
namespace {

const char kAboutText[] =
    "<P ALIGN=center><FONT FACE=\"Tahoma\" SIZE=12 COLOR=\"#FF0000\"><B>Skyloom</B></FONT></P><BR>"
    "<P ALIGN=\"centre\">by <B>Quillbright</B></P>"
    "<P ALIGN=left><HR><BR>Visit us at <A HREF=\"https://quillbright.example/\">https://quillbright.example/</A>"
    "<BR>For this software and more...</P>";

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

TEST_F(InfoPanelTest, AboutTextDrawsRedTitleAndBlueLink) {
  panel->SetText(kAboutText);
  testing::TDibSurface surface(258, 103);
  panel->PaintTo(surface.Dc());
  POINT link = FindLink("https://quillbright.example/");
  int red = 0, blue = 0, redLeft = 258, redRight = 0;
  for (int y = 0; y < 103; ++y) {
    for (int x = 0; x < 258; ++x) {
      COLORREF c = surface.Pixel(x, y);
      if (c == RGB(255, 0, 0)) {
        ++red;
        redLeft = std::min(redLeft, x);
        redRight = std::max(redRight, x);
      }
      if (c == RGB(0, 0, 255) && y >= link.y) ++blue;
    }
  }
  EXPECT_GT(red, 50);
  EXPECT_GT(blue, 50);
  EXPECT_LT(std::abs((redLeft + redRight) / 2 - 129), 6);  // centred title
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
