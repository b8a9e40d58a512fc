#include "app/command_line.h"

#include <gtest/gtest.h>

#include "toolkit/errors.h"

namespace skyloom {
namespace {

TEST(CommandLine, ListFilesGoToTheirPlaylistsAndSwitchesKeepTheirOrder) {
  const auto line = ParseCommandLine({"C:\\My Pictures\\holiday.GAL", "/NEXT", "-hide", "clips.vgl", "/exit"});
  ASSERT_EQ(line.lists.size(), 2u);
  EXPECT_EQ(line.lists[0].kind, TListKind::Images);
  EXPECT_EQ(line.lists[0].path, "C:\\My Pictures\\holiday.GAL");
  EXPECT_EQ(line.lists[1].kind, TListKind::Videos);
  EXPECT_EQ(line.commands, (std::vector<TCommand>{TCommand::Next, TCommand::Hide, TCommand::Exit}));
}

TEST(CommandLine, CheckAllChecksTheListGivenLastBeforeIt) {
  EXPECT_EQ(ParseCommandLine({"best.Gal", "/checkall", "/start"}).commands,
            (std::vector<TCommand>{TCommand::CheckAllImages, TCommand::Start}));
  EXPECT_EQ(ParseCommandLine({"/CheckAll", "clips.vgl", "-checkall", "best.Gal", "/checkall"}).commands,
            (std::vector<TCommand>{TCommand::CheckAllImages, TCommand::CheckAllVideos, TCommand::CheckAllImages}));
}

TEST(CommandLine, UnknownSwitchesAndFilesAreRefusedByName) {
  try {
    ParseCommandLine({"/next", "/shuffle"});
    FAIL();
  } catch (const EError& e) {
    EXPECT_STREQ(e.what(), "Unknown switch /shuffle");
  }
  EXPECT_THROW(ParseCommandLine({"picture.jpg"}), EError);
  EXPECT_THROW(ParseCommandLine({"/"}), EError);
  EXPECT_TRUE(ParseCommandLine({}).commands.empty());
}

TEST(CommandLine, ForwardSlashPathsOfListFilesAreNotSwitches) {
  const auto line = ParseCommandLine({"/home/me/best.Gal", "-clips.VGL"});
  ASSERT_EQ(line.lists.size(), 2u);
  EXPECT_EQ(line.lists[0].path, "/home/me/best.Gal");
  EXPECT_EQ(line.lists[1].kind, TListKind::Videos);
  EXPECT_TRUE(line.commands.empty());
}

}  // namespace
}  // namespace skyloom
