#include "app/rotation.h"

namespace skyloom {
namespace {

// Only the upper end wraps to 0. A negative cursor (Previous from the first
// entry, or a double-click with nothing selected) wraps to the last entry,
// which is what users expect of "previous" at the start of a list.
int BringIntoRange(int cursor, int count) {
  if (cursor > count - 1) return 0;
  if (cursor < 0) return count - 1;
  return cursor;
}

// Scans forward to the first checked entry at or after cursor, wrapping at
// the end and re-reading the count at every step. Gives up after one full
// pass, so a list without checked entries does not hang the tick.
std::optional<int> ScanToChecked(const IPlaylist& list, int cursor) {
  for (int steps = 0; steps <= list.Count(); ++steps) {
    const int count = list.Count();
    if (count <= 0) return std::nullopt;
    if (cursor > count - 1) cursor = 0;
    if (list.Checked(cursor)) return cursor;
    ++cursor;
    if (cursor > count - 1) cursor = 0;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> RotationTick(IPlaylist& list, TRotationState& state, TRandom& random,
                                const TShowImage& show) {
  const int count = list.Count();
  if (count <= 0) return std::nullopt;
  state.cursor = BringIntoRange(state.cursor, count);
  // The last entry is never drawn directly; the scan can still move onto it.
  if (state.random) state.cursor = random.Draw(count - 1);
  const auto found = ScanToChecked(list, state.cursor);
  if (!found) return std::nullopt;
  state.cursor = *found;
  state.currentFile = list.Item(state.cursor);
  if (show) show(state.currentFile);
  list.Select(state.cursor);
  return state.cursor++;
}

std::optional<int> RotatePrevious(IPlaylist& list, TRotationState& state, TRandom& random,
                                  const TShowImage& show) {
  state.cursor -= 2;
  return RotationTick(list, state, random, show);
}

std::optional<int> RotateFrom(int selected, IPlaylist& list, TRotationState& state, TRandom& random,
                              const TShowImage& show) {
  state.cursor = selected;
  return RotationTick(list, state, random, show);
}

}  // namespace skyloom
