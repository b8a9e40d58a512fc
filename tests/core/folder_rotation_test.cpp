#include <gtest/gtest.h>

#include <set>

#include "app/list_file.h"
#include "app/rotation.h"
#include "fake_folders.h"
#include "fake_playlist.h"

namespace skyloom {
namespace {

using testing::FakeFolders;
using testing::FakePlaylist;
using Paths = std::vector<std::string>;

struct FolderRotation : ::testing::Test {
  TRotationState state;
  TRandom random;
  FakeFolders folders;
  Paths shown;
  TShowImage show = [this](const std::string& path) { shown.push_back(path); };

  Paths Ticks(FakePlaylist& list, int n) {
    shown.clear();
    for (int i = 0; i < n; ++i) RotationTick(list, state, random, show, folders.Reader());
    return shown;
  }
};

TEST(FolderRows, ParseAndWriteTheTwoMarks) {
  EXPECT_FALSE(ParseFolderRow("C:\\a.jpg"));
  const auto plain = ParseFolderRow("C:\\Pics\\");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->folder, "C:\\Pics\\");
  EXPECT_FALSE(plain->recursive);
  const auto deep = ParseFolderRow("D:\\**");
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->folder, "D:\\");
  EXPECT_TRUE(deep->recursive);
  EXPECT_EQ(FolderRowText("C:\\Pics", false), "C:\\Pics\\");
  EXPECT_EQ(FolderRowText("C:\\Pics\\", true), "C:\\Pics\\**");
  EXPECT_EQ(FolderRowText("D:\\", true), "D:\\**");
}

// An older reader sees a path it cannot open; ours reads the row back as written.
TEST(FolderRows, SurviveAGalleryFile) {
  const Paths entries{"C:\\a.jpg", "C:\\Pics\\", "C:\\Deep\\**"};
  const std::string bytes = ListFileBytes(entries);
  EXPECT_EQ(bytes, "C:\\a.jpg\r\nC:\\Pics\\\r\nC:\\Deep\\**\r\n");
  EXPECT_EQ(ParseListFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), entries);
}

TEST_F(FolderRotation, StepsThroughAFolderInNameOrderThenMovesOn) {
  folders.files["P:\\"] = {"b.png", "A.jpg", "notes.txt", "c.gif"};
  FakePlaylist list({"+x", "+P:\\", "y", "+z"});
  EXPECT_EQ(Ticks(list, 6), (Paths{"x", "P:\\A.jpg", "P:\\b.png", "P:\\c.gif", "z", "x"}));
  EXPECT_EQ(folders.listings, 1);
}

TEST_F(FolderRotation, NestedFoldersComeDepthFirstEachFilesBeforeItsSubfolders) {
  folders.files["P:\\"] = {"top.jpg"};
  folders.files["P:\\b\\"] = {"b1.jpg"};
  folders.files["P:\\a\\"] = {"a2.jpg", "a1.jpg"};
  folders.files["P:\\a\\deep\\"] = {"d.jpg"};
  FakePlaylist list({"+P:\\**"});
  EXPECT_EQ(Ticks(list, 6),
            (Paths{"P:\\top.jpg", "P:\\a\\a1.jpg", "P:\\a\\a2.jpg", "P:\\a\\deep\\d.jpg", "P:\\b\\b1.jpg",
                   "P:\\top.jpg"}));
  FakePlaylist flat({"+P:\\"});
  EXPECT_EQ(Ticks(flat, 2), (Paths{"P:\\top.jpg", "P:\\top.jpg"}));
}

TEST_F(FolderRotation, TheFolderIsReadAgainOnEveryEntry) {
  folders.files["P:\\"] = {"1.jpg", "2.jpg"};
  FakePlaylist list({"+P:\\", "+f"});
  EXPECT_EQ(Ticks(list, 3), (Paths{"P:\\1.jpg", "P:\\2.jpg", "f"}));
  folders.files["P:\\"] = {"2.jpg", "3.jpg", "0.jpg"};  // 1 removed, 0 and 3 added
  EXPECT_EQ(Ticks(list, 4), (Paths{"P:\\0.jpg", "P:\\2.jpg", "P:\\3.jpg", "f"}));
}

TEST_F(FolderRotation, MissingOrPictureLessFoldersArePassedOverAndReported) {
  folders.files["E:\\"] = {"readme.txt"};
  FakePlaylist list({"+Gone:\\", "+E:\\", "+f"});
  EXPECT_EQ(Ticks(list, 2), (Paths{"f", "f"}));
  EXPECT_EQ(folders.unreadable, (Paths{"Gone:\\", "Gone:\\"}));
  FakePlaylist onlyGone({"+Gone:\\", "g"});
  EXPECT_FALSE(RotationTick(onlyGone, state, random, show, folders.Reader()));
}

TEST_F(FolderRotation, PreviousGoesBackPictureByPictureAndIntoAFolderFromItsEnd) {
  folders.files["P:\\"] = {"1.jpg", "2.jpg", "3.jpg"};
  FakePlaylist list({"+P:\\", "+f"});
  Ticks(list, 3);  // 1, 2, 3
  RotatePrevious(list, state, random, show, folders.Reader());
  EXPECT_EQ(shown.back(), "P:\\2.jpg");
  EXPECT_EQ(list.selected, 0);
  Ticks(list, 2);  // 3, f
  RotatePrevious(list, state, random, show, folders.Reader());
  EXPECT_EQ(shown.back(), "P:\\3.jpg");
}

TEST_F(FolderRotation, AnEditedOrUncheckedRowEndsThePass) {
  folders.files["P:\\"] = {"1.jpg", "2.jpg", "3.jpg"};
  FakePlaylist list({"+P:\\", "+f"});
  Ticks(list, 1);
  list.checks[0] = false;
  EXPECT_EQ(Ticks(list, 1), (Paths{"f"}));
}

TEST_F(FolderRotation, ShuffledFolderShowsEachPictureOnceBeforeTheRoundGoesOn) {
  for (int i = 0; i < 20; ++i) folders.files["P:\\"].push_back(std::to_string(i) + ".jpg");
  FakePlaylist list({"+P:\\"});
  state.random = true;
  random.Seed(7);
  const Paths first = Ticks(list, 20);
  EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 20u);
  Paths sorted = first;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_NE(first, sorted);
  EXPECT_EQ(list.selected, 0);
}

// A folder read elsewhere: the tick stops at the row, changes nothing, and
// goes on from there when the files are ready, in order, backwards or shuffled.
TEST_F(FolderRotation, AFolderStillBeingReadHoldsTheTickUntilItIsReady) {
  bool ready = false;
  TFolderReader reader = folders.Reader();
  reader.read = [&](const TFolderRow& row) -> TFolderFiles {
    if (!ready) return {TFolderFiles::TStatus::Pending, {}};
    return {TFolderFiles::TStatus::Ready, {row.folder + "1.jpg", row.folder + "2.jpg"}};
  };
  FakePlaylist list({"+f", "+P:\\"});
  RotationTick(list, state, random, show, reader);
  EXPECT_FALSE(RotationTick(list, state, random, show, reader));
  EXPECT_TRUE(state.waiting);
  EXPECT_EQ(shown, (Paths{"f"}));
  EXPECT_EQ(state.cursor, 1);
  EXPECT_FALSE(RotateResume(list, state, random, show, reader));  // still pending
  ready = true;
  EXPECT_EQ(RotateResume(list, state, random, show, reader), 1);
  EXPECT_EQ(shown.back(), "P:\\1.jpg");
  EXPECT_FALSE(state.waiting);
  EXPECT_FALSE(RotateResume(list, state, random, show, reader));  // nothing waits

  ready = false;
  RotationTick(list, state, random, show, reader);  // 2.jpg, from the pass
  RotationTick(list, state, random, show, reader);  // f
  RotatePrevious(list, state, random, show, reader);  // back into the folder: pending
  ready = true;
  RotateResume(list, state, random, show, reader);
  EXPECT_EQ(shown.back(), "P:\\2.jpg");

  state = {};
  state.random = true;
  ready = false;
  shown.clear();
  for (int i = 0; shown.size() < 2 && i < 10; ++i) RotationTick(list, state, random, show, reader);
  ASSERT_TRUE(state.waiting);  // f was drawn and shown, the folder waits
  const auto remaining = state.round.Remaining();
  EXPECT_EQ(remaining, (Paths{"P:\\"}));
  ready = true;
  RotateResume(list, state, random, show, reader);
  EXPECT_EQ(shown.size(), 2u);
}

}  // namespace
}  // namespace skyloom
