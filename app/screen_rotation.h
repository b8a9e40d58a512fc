#pragma once
// The pictures for the monitors after the first when every screen shows its
// own: the checked entries that follow the one the tick chose.
#include <vector>

#include "app/playlist.h"
#include "toolkit/random.h"

namespace skyloom {

// Indices of up to `count` checked entries: in order, the next ones after
// `from` (wrapping at the end, `from` itself only when the list has no
// other); at random, each from a draw as the tick draws. Empty when nothing
// is checked.
std::vector<int> FollowingChecked(const IPlaylist& list, int from, int count, bool random, TRandom& draws);

}  // namespace skyloom
