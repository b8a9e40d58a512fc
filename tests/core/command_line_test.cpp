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

// Nothing after "/exit" runs or is even looked at: not a switch, not a
// list, not an argument the parser would refuse.
TEST(CommandLine, ExitEndsTheLine) {
  const auto line = ParseCommandLine({"pics.Gal", "/checkall", "/exit", "/next", "more.Gal", "/shuffle"});
  EXPECT_EQ(line.commands, (std::vector<TCommand>{TCommand::CheckAllImages, TCommand::Exit}));
  ASSERT_EQ(line.lists.size(), 1u);
  EXPECT_EQ(line.lists[0].path, "pics.Gal");
}

TEST(CommandLine, VideoPauseMuteAndStatusSwitches) {
  const auto line = ParseCommandLine(
      {"/StartVideo", "-nextvideo", "/stopvideo", "/pause", "/RESUME", "/mute", "/unmute", "/status"});
  EXPECT_EQ(line.commands, (std::vector<TCommand>{TCommand::StartVideo, TCommand::NextVideo, TCommand::StopVideo,
                                                  TCommand::Pause, TCommand::Resume, TCommand::Mute,
                                                  TCommand::Unmute, TCommand::Status}));
  EXPECT_EQ(line.statusPath, "");
  // The path keeps its case and may look like a list file or hold "=".
  const auto toFile = ParseCommandLine({"/Status=C:\\Out\\now=1.GAL"});
  EXPECT_EQ(toFile.commands, std::vector<TCommand>{TCommand::Status});
  EXPECT_EQ(toFile.statusPath, "C:\\Out\\now=1.GAL");
  EXPECT_TRUE(toFile.lists.empty());
  EXPECT_THROW(ParseCommandLine({"/statusfile"}), EError);
}

// "/fresh" is a start-up choice, not a command: it runs nothing.
TEST(CommandLine, FreshIsAChoiceOfTheStartAndRunsNothing) {
  EXPECT_FALSE(ParseCommandLine({"pics.Gal", "/next"}).fresh);
  const auto line = ParseCommandLine({"-FRESH", "pics.Gal", "/next"});
  EXPECT_TRUE(line.fresh);
  EXPECT_EQ(line.commands, std::vector<TCommand>{TCommand::Next});
  EXPECT_EQ(line.lists.size(), 1u);
}

TEST(CommandLine, HandedOverArgumentsKeepAnUnendedLastOne) {
  using Args = std::vector<std::wstring>;
  using namespace std::string_view_literals;
  EXPECT_EQ(SplitHandedOverArguments(L"a.Gal\0/next\0"sv), (Args{L"a.Gal", L"/next"}));
  EXPECT_EQ(SplitHandedOverArguments(L"a.Gal\0/next"sv), (Args{L"a.Gal", L"/next"}));
  EXPECT_EQ(SplitHandedOverArguments(L"/exit"sv), Args{L"/exit"});
  EXPECT_EQ(SplitHandedOverArguments(L"\0\0"sv), (Args{L"", L""}));
  EXPECT_EQ(SplitHandedOverArguments(L""sv), Args{});
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
