// The colour category: the registry's text form, the read rules for damaged
// texts, and what a write leaves in the registry and the system colours.
#include <gtest/gtest.h>

#include "desktop/theme_colors.h"
#include "desktop_test_support.h"

namespace skyloom {
namespace {

using namespace skyloom::testing;

constexpr const wchar_t* kColorsKey = L"Control Panel\\Colors";

TEST(ColorTextTest, ConvertsBothWaysAndToleratesDamage) {
  EXPECT_EQ(ColorToText(0x00808000), "0 128 128");
  EXPECT_EQ(ColorToText(0x8000000F), "15 0 0");  // symbolic colours are not resolved
  EXPECT_EQ(TextToColor("0 128 128"), 0x00808000u);
  EXPECT_EQ(TextToColor("255 0"), 0x000000FFu);
  EXPECT_EQ(TextToColor("abc 1 2"), 0x00020100u);
  EXPECT_EQ(TextToColor(""), 0u);
  EXPECT_EQ(TextToColor("1 2 3 4"), 0x00030201u);
  EXPECT_EQ(TextToColor("256 -1 511"), 0x00FFFF00u);  // lowest bytes
  EXPECT_EQ(TextToColor("99999999999 7 8"), 0x00080700u);
  EXPECT_EQ(TextToColor("1x 2 3"), 0x00030200u);
}

TEST(ColorsTest, WriteStoresTextsAndSetsSystemColours) {
  TColors colors;
  colors.Read();
  colors.Background = 0x00102030;
  colors.GradientInActiveCaption = 0x00070809;
  colors.Write();
  EXPECT_EQ(RegText(kColorsKey, L"Background"), L"48 32 16");
  EXPECT_EQ(RegText(kColorsKey, L"GradientInActiveTitle"), L"9 8 7");
  EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), 0x00102030u);
  EXPECT_EQ(GetSysColor(COLOR_GRADIENTINACTIVECAPTION), 0x00070809u);
}

TEST(ColorsTest, ReadTakesItsOwnSpellingAndKeepsUnstoredColours) {
  SetRegText(kColorsKey, L"GradientInactiveTitle", L"13 14 15");
  SetRegText(kColorsKey, L"HotTrackingColor", L"10 11 12");
  DeleteRegValue(kColorsKey, L"ButtonFace");
  TColors colors;
  colors.Read();
  EXPECT_EQ(colors.GradientInActiveCaption, 0x000F0E0Du);
  EXPECT_EQ(colors.HotLight, 0x000C0B0Au);
  // Without a stored text the colour on screen stays, rather than black.
  EXPECT_EQ(colors.ButtonFace, GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace skyloom
