// The pictures for the further monitors: the checked entries after the one
// the tick chose, in turn or drawn.
#include "app/screen_rotation.h"

#include <gtest/gtest.h>

#include "fake_playlist.h"

namespace skyloom {
namespace {

using testing::FakePlaylist;

TEST(ScreenRotation, TheNextCheckedEntriesInTurnWrappingAtTheEnd) {
  FakePlaylist list({"+a", "b", "+c", "+d", "e"});
  TRandom draws;
  // After "c" (2): "d" (3), then past "e" around to "a" (0), then "c".
  EXPECT_EQ(FollowingChecked(list, 2, 3, false, draws), (std::vector<int>{3, 0, 2}));
  // One checked entry: every monitor shows it.
  FakePlaylist one({"a", "+b", "c"});
  EXPECT_EQ(FollowingChecked(one, 1, 2, false, draws), (std::vector<int>{1, 1}));
  FakePlaylist none({"a", "b"});
  EXPECT_TRUE(FollowingChecked(none, 0, 2, false, draws).empty());
  EXPECT_TRUE(FollowingChecked(FakePlaylist({}), 0, 2, false, draws).empty());
}

TEST(ScreenRotation, DrawnEntriesScanOnToTheNextChecked) {
  FakePlaylist list({"a", "+b", "c", "+d"});
  TRandom draws, model;
  draws.Seed(7);
  model.Seed(7);
  const std::vector<int> picked = FollowingChecked(list, 1, 4, true, draws);
  ASSERT_EQ(picked.size(), 4u);
  for (const int index : picked) {
    // A draw of 0 or 1 lands on "b", 2 scans on to "d".
    const int drawn = model.Draw(3);
    EXPECT_EQ(index, drawn <= 1 ? 1 : 3);
  }
}

}  // namespace
}  // namespace skyloom
