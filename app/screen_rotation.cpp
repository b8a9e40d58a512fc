#include "app/screen_rotation.h"

namespace skyloom {
namespace {

// The first checked entry at or after `start`, wrapping; -1 when none.
int CheckedFrom(const IPlaylist& list, int start) {
  const int count = list.Count();
  for (int step = 0; step < count; ++step) {
    const int index = (start + step) % count;
    if (list.Checked(index)) return index;
  }
  return -1;
}

}  // namespace

std::vector<int> FollowingChecked(const IPlaylist& list, int from, int count, bool random, TRandom& draws) {
  std::vector<int> picked;
  const int entries = list.Count();
  if (entries <= 0) return picked;
  int cursor = from;
  for (int i = 0; i < count; ++i) {
    // The last entry is never drawn directly, as in the tick.
    const int start = random ? draws.Draw(entries - 1) : (cursor + 1) % entries;
    const int index = CheckedFrom(list, start < 0 ? 0 : start);
    if (index < 0) break;
    picked.push_back(index);
    cursor = index;
  }
  return picked;
}

}  // namespace skyloom
