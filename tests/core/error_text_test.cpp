// What the error box shows of very long messages: shortened in the middle,
// so that the box fits the screen and the message's start and end show.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "toolkit/errors.h"

namespace skyloom {
namespace {

std::size_t LongestRun(const std::string& text) {
  std::size_t longest = 0, run = 0;
  for (const char c : text) {
    run = (c == ' ' || c == '\n') ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  return longest;
}

TEST(ErrorBoxText, ALongPathIsShortenedInItsMiddle) {
  const std::string path = "C:\\" + std::string(30000, 'd') + "\\end.Gal";
  const std::string text = ErrorBoxText("Cannot open file " + path);
  EXPECT_EQ(text.rfind("Cannot open file C:\\ddd", 0), 0u);
  EXPECT_TRUE(text.ends_with("ddd\\end.Gal."));
  EXPECT_NE(text.find("..."), std::string::npos);
  EXPECT_LE(LongestRun(text), 96u);
  // A path that fits stays whole.
  EXPECT_EQ(ErrorBoxText("Cannot open file C:\\Pictures\\beach.Gal"), "Cannot open file C:\\Pictures\\beach.Gal.");
}

TEST(ErrorBoxText, AHugeMessageKeepsItsStartAndEndWithinBounds) {
  std::string words;
  while (words.size() < 1000000) words += "word ";
  const std::string text = ErrorBoxText("First " + words + "last");
  EXPECT_LE(text.size(), 2000u);
  EXPECT_EQ(text.rfind("First word", 0), 0u);
  EXPECT_TRUE(text.ends_with("word last."));

  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "line " + std::to_string(i) + "\n";
  const std::string tall = ErrorBoxText(lines + "the end");
  EXPECT_LE(std::count(tall.begin(), tall.end(), '\n'), 29);
  EXPECT_EQ(tall.rfind("line 0\nline 1\n", 0), 0u);
  EXPECT_TRUE(tall.ends_with("line 99999\nthe end."));
}

TEST(ErrorBoxText, ShorteningNeverSplitsACharacter) {
  std::string path = "C:\\";
  for (int i = 0; i < 500; ++i) path += "\xC3\xA9";  // é
  const std::string text = ErrorBoxText(path);
  // Every byte after the cut that continues a character follows a lead byte.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) continue;
    ASSERT_GT(i, 0u);
    EXPECT_EQ(static_cast<unsigned char>(text[i - 1]), 0xC3u) << "at " << i;
  }
}

}  // namespace
}  // namespace skyloom
