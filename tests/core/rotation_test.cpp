#include "app/rotation.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "fake_playlist.h"

namespace skyloom {
namespace {

using testing::FakePlaylist;

struct Rotation : ::testing::Test {
  TRotationState state;
  TRandom random;
  std::vector<std::string> shown;
  TShowImage show = [this](const std::string& path) { shown.push_back(path); };

  std::vector<std::string> Ticks(FakePlaylist& list, int n) {
    for (int i = 0; i < n; ++i) RotationTick(list, state, random, show);
    return shown;
  }
};

TEST_F(Rotation, EmptyListDoesNothingForEveryCommand) {
  FakePlaylist list({});
  state.cursor = 3;
  EXPECT_FALSE(RotationTick(list, state, random, show));
  EXPECT_FALSE(RotatePrevious(list, state, random, show));
  EXPECT_FALSE(RotateFrom(-1, list, state, random, show));
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(list.selected, -1);
}

TEST_F(Rotation, StepsOverCheckedEntriesInOrderAndWrapsAtTheEnd) {
  FakePlaylist list({"+a", "b", "+c", "+d"});
  EXPECT_EQ(Ticks(list, 5), (std::vector<std::string>{"a", "c", "d", "a", "c"}));
  EXPECT_EQ(state.cursor, 3);  // post-incremented past "c"
  EXPECT_EQ(list.selected, 2);
  EXPECT_EQ(state.currentFile, "c");
}

TEST_F(Rotation, PreviousLandsOnTheEntryBeforeAndSkipsUncheckedForwards) {
  FakePlaylist list({"+a", "b", "+c"});
  state.cursor = 2;
  RotationTick(list, state, random, show);  // shows c, cursor 3
  RotatePrevious(list, state, random, show);  // 1 is b (unchecked) -> c again
  EXPECT_EQ(shown, (std::vector<std::string>{"c", "c"}));
}

TEST_F(Rotation, NegativeCursorWrapsToTheLastEntry) {
  FakePlaylist list({"+a", "+b", "+c"});
  RotationTick(list, state, random, show);    // a, cursor 1
  RotatePrevious(list, state, random, show);  // -1 -> last
  EXPECT_EQ(shown.back(), "c");
  state.cursor = 0;
  RotatePrevious(list, state, random, show);  // -2 -> last as well
  EXPECT_EQ(shown.back(), "c");
  RotateFrom(-1, list, state, random, show);  // double-click with nothing selected
  EXPECT_EQ(shown.back(), "c");
}

TEST_F(Rotation, CursorBeyondTheEndAfterDeletesRestartsAtZero) {
  FakePlaylist list({"+a", "+b"});
  state.cursor = 7;
  RotationTick(list, state, random, show);
  EXPECT_EQ(shown, (std::vector<std::string>{"a"}));
  EXPECT_EQ(state.cursor, 1);
}

TEST_F(Rotation, NoCheckedEntryEndsAfterOnePassAndLeavesEverythingAlone) {
  FakePlaylist list({"a", "b", "c"});
  state.cursor = 1;
  EXPECT_FALSE(RotationTick(list, state, random, show));
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(list.selected, -1);
  EXPECT_TRUE(state.currentFile.empty());
}

TEST_F(Rotation, DoubleClickStartsAtTheClickedEntryOrTheNextCheckedOne) {
  FakePlaylist list({"+a", "b", "+c", "+d"});
  RotateFrom(3, list, state, random, show);
  RotateFrom(1, list, state, random, show);
  EXPECT_EQ(shown, (std::vector<std::string>{"d", "c"}));
}

TEST_F(Rotation, DoubleClickInRandomModeDrawsLikeATick) {
  FakePlaylist list({"+a", "+b", "+c", "+d"});
  state.random = true;
  random.Seed(7);
  for (int i = 0; i < 4; ++i) RotateFrom(2, list, state, random, show);
  EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()), (std::set<std::string>{"a", "b", "c", "d"}));
}

TEST_F(Rotation, AFailingShowSkipsTheSelectionAndCursorSteps) {
  FakePlaylist list({"+a", "+b"});
  state.cursor = 1;
  TShowImage failing = [](const std::string&) { throw std::runtime_error("disk full"); };
  EXPECT_THROW(RotationTick(list, state, random, failing), std::runtime_error);
  EXPECT_EQ(state.cursor, 1);
  EXPECT_EQ(state.currentFile, "b");  // recorded before the wallpaper step runs
  EXPECT_EQ(list.selected, -1);
}

TEST_F(Rotation, RandomOneCheckedEntryAlwaysShowsIt) {
  FakePlaylist list({"+only"});
  state.random = true;
  EXPECT_EQ(Ticks(list, 20), std::vector<std::string>(20, "only"));
}

TEST(Random, DrawsStayInRangeAndRangeZeroGivesZero) {
  TRandom random;
  random.Seed(1);
  std::set<int> values;
  for (int i = 0; i < 1000; ++i) {
    const int v = random.Draw(5);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 5);
    values.insert(v);
  }
  EXPECT_EQ(values.size(), 5u);
  EXPECT_EQ(random.Draw(0), 0);
  EXPECT_EQ(random.Draw(-3), 0);
}

}  // namespace
}  // namespace skyloom
