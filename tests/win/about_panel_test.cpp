// The main window's about panel as the program fills it: a red title
// centred at the top, the maker's link in blue that opens the web site, and
// plain text again after the link.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "form_fixture.h"
#include "tests/widgets/dib_surface.h"

namespace skyloom {
namespace {

using testing::FormTest;

TEST_F(FormTest, TheAboutPanelShowsTitleLinkAndPlainTextAfterIt) {
  TInfoPanel& panel = *form->InfoPanel1;
  const RECT area = panel.ClientRect();
  const int width = area.right, height = area.bottom;
  testing::TDibSurface surface(width, height);
  panel.PaintTo(surface.Dc());

  // The link: its first row and the rows it covers.
  int linkTop = -1, linkBottom = -1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (panel.AnchorAt(x, y).empty()) continue;
      if (linkTop < 0) linkTop = y;
      linkBottom = y;
      break;
    }
  }
  ASSERT_GE(linkTop, 0) << "no link";
  int red = 0, redLeft = width, redRight = 0, blueInLink = 0, blueBelow = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = surface.Pixel(x, y);
      if (c == RGB(255, 0, 0) && y < linkTop) {
        ++red;
        redLeft = std::min(redLeft, x);
        redRight = std::max(redRight, x);
      }
      if (c == RGB(0, 0, 255)) ++(y <= linkBottom ? blueInLink : blueBelow);
    }
  }
  EXPECT_GT(red, 50);
  EXPECT_LT(std::abs((redLeft + redRight) / 2 - width / 2), 6);  // centred title
  EXPECT_GT(blueInLink, 50);
  EXPECT_EQ(blueBelow, 0);  // "For this software and more..." is plain text

  std::vector<std::string> opened;
  panel.ShellOpen = [&](const std::string& target) { opened.push_back(target); };
  for (int x = 0; x < width; ++x) {
    if (panel.AnchorAt(x, linkTop).empty()) continue;
    SendMessageW(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, linkTop));
    break;
  }
  EXPECT_EQ(opened, std::vector<std::string>{"https://quillbright.example/"});
}

}  // namespace
}  // namespace skyloom
