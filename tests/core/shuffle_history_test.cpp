#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/rotation.h"
#include "fake_playlist.h"

namespace skyloom {
namespace {

using testing::FakePlaylist;
using Paths = std::vector<std::string>;

Paths Draw(TShuffleRound& round, const Paths& checked, TRandom& random, int n) {
  Paths drawn;
  for (int i = 0; i < n; ++i) drawn.push_back(*round.Next(checked, random));
  return drawn;
}

TEST(ShuffleRound, EveryEntryOncePerRoundAndNoRepeatAcrossTheBorder) {
  const Paths checked{"a", "b", "c", "d", "e"};
  TShuffleRound round;
  TRandom random;
  random.Seed(2024);
  for (int r = 0; r < 500; ++r) {
    const Paths one = Draw(round, checked, random, 5);
    ASSERT_EQ(std::set<std::string>(one.begin(), one.end()).size(), 5u) << "round " << r;
    const std::string last = one.back();
    const Paths next = Draw(round, checked, random, 1);
    ASSERT_NE(next.front(), last) << "round " << r;
    Draw(round, checked, random, 4);
  }
  TShuffleRound pair;
  const Paths two = Draw(pair, {"a", "b"}, random, 40);
  for (std::size_t i = 1; i < two.size(); ++i) ASSERT_NE(two[i], two[i - 1]);
  EXPECT_FALSE(pair.Next({}, random));
}

// 3000 rounds of 4 entries: each entry stands in each place 750 times on
// average; the chi-square of the 16 counts (9 degrees of freedom) stays below
// 27.9, its 0.1 % point, and no count strays by more than 15 %.
TEST(ShuffleRound, EveryPlaceIsFairOverManyRounds) {
  const Paths checked{"a", "b", "c", "d"};
  TShuffleRound round;
  TRandom random;
  random.Seed(31337);
  std::map<std::pair<std::string, int>, int> counts;
  constexpr int kRounds = 3000;
  for (int r = 0; r < kRounds; ++r) {
    const Paths one = Draw(round, checked, random, 4);
    for (int place = 0; place < 4; ++place) ++counts[{one[static_cast<std::size_t>(place)], place}];
  }
  const double expected = kRounds / 4.0;
  double chiSquare = 0;
  for (const auto& [cell, count] : counts) {
    chiSquare += (count - expected) * (count - expected) / expected;
    EXPECT_NEAR(count, expected, expected * 0.15) << cell.first << " at " << cell.second;
  }
  EXPECT_EQ(counts.size(), 16u);
  EXPECT_LT(chiSquare, 27.9);
}

TEST(ShuffleRound, CheckingAndUncheckingDuringARoundAdjustsItWithoutRepeats) {
  TShuffleRound round;
  TRandom random;
  random.Seed(5);
  const Paths before = Draw(round, {"a", "b", "c", "d"}, random, 2);
  // One not yet shown leaves, a new one joins: the rest of the round is the
  // other one not yet shown and the new one.
  std::set<std::string> left{"a", "b", "c", "d"};
  for (const auto& shown : before) left.erase(shown);
  const std::string dropped = *left.begin(), kept = *left.rbegin();
  Paths now{"e", kept};
  now.insert(now.end(), before.begin(), before.end());
  const Paths rest = Draw(round, now, random, 2);
  EXPECT_EQ(std::set<std::string>(rest.begin(), rest.end()), (std::set<std::string>{"e", kept}));
  const Paths nextRound = Draw(round, now, random, 4);
  EXPECT_EQ(std::set<std::string>(nextRound.begin(), nextRound.end()).size(), 4u);
  EXPECT_EQ(std::count(nextRound.begin(), nextRound.end(), dropped), 0);
}

TEST(WallpaperHistory, GoesBackAndForwardAndKeepsTheLastHundred) {
  TWallpaperHistory history;
  EXPECT_FALSE(history.Back());
  for (int i = 0; i < 105; ++i) history.Add("p" + std::to_string(i), 1000 + i);
  ASSERT_EQ(history.Entries().size(), 100u);
  EXPECT_EQ(history.Entries().front().path, "p5");
  EXPECT_EQ(history.Entries().front().time, 1005);
  EXPECT_EQ(history.Back(), "p103");
  EXPECT_EQ(history.Back(), "p102");
  EXPECT_EQ(history.Forward(), "p103");
  EXPECT_EQ(history.Forward(), "p104");
  EXPECT_FALSE(history.Forward());
  for (int i = 0; i < 99; ++i) history.Back();
  EXPECT_FALSE(history.Back());
}

TEST(RandomRotation, PreviousGoesBackThroughWhatWasShownAndNextReturns) {
  FakePlaylist list({"+a", "+b", "+c", "+d", "+e", "+f"});
  TRotationState state;
  state.random = true;
  TRandom random;
  random.Seed(77);
  Paths shown;
  const TShowImage show = [&](const std::string& path) { shown.push_back(path); };
  for (int i = 0; i < 4; ++i) RotationTick(list, state, random, show);
  const Paths first = shown;
  RotatePrevious(list, state, random, show);
  RotatePrevious(list, state, random, show);
  EXPECT_EQ(shown[4], first[2]);
  EXPECT_EQ(shown[5], first[1]);
  EXPECT_EQ(list.selected, first[1][0] - 'a');
  RotationTick(list, state, random, show);
  RotationTick(list, state, random, show);
  EXPECT_EQ(shown[6], first[2]);
  EXPECT_EQ(shown[7], first[3]);
  RotationTick(list, state, random, show);  // a new choice, not yet shown this round
  EXPECT_EQ(std::count(first.begin(), first.end(), shown[8]), 0);
  EXPECT_EQ(state.history.Entries().size(), 5u);
}

TEST(OrderRotation, PreviousKeepsItsRowByRowMeaningAndHistoryRecords) {
  FakePlaylist list({"+a", "+b", "+c"});
  TRotationState state;
  TRandom random;
  Paths shown;
  const TShowImage show = [&](const std::string& path) { shown.push_back(path); };
  RotationTick(list, state, random, show);
  RotationTick(list, state, random, show);
  RotatePrevious(list, state, random, show);
  EXPECT_EQ(shown, (Paths{"a", "b", "a"}));
  ASSERT_EQ(state.history.Entries().size(), 3u);
  EXPECT_EQ(state.history.Entries().back().path, "a");
  EXPECT_GT(state.history.Entries().back().time, 1700000000);
}

}  // namespace
}  // namespace skyloom
