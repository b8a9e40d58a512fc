#include "app/rotation.h"

#include <ctime>

namespace skyloom {
namespace {

enum class TDirection { Forward, Backward };

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

// The pass goes on only while its row stands as it was entered, checked.
bool PassGoesOn(const IPlaylist& list, const TFolderPass& pass) {
  return pass.row >= 0 && pass.row < list.Count() && list.Checked(pass.row) && list.Item(pass.row) == pass.entry;
}

// Moves the pass to the next file, either way, whose content is a picture;
// false at the end of the folder.
bool StepPass(TFolderPass& pass, TDirection direction, const TFolderReader& folders) {
  const int step = direction == TDirection::Forward ? 1 : -1;
  for (int i = pass.index + step; i >= 0 && i < static_cast<int>(pass.files.size()); i += step) {
    if (folders.isPicture && !folders.isPicture(pass.files[static_cast<std::size_t>(i)])) continue;
    pass.index = i;
    return true;
  }
  return false;
}

TFolderFiles ReadFiles(const TFolderRow& row, const TFolderReader& folders) {
  if (folders.read) return folders.read(row);
  auto files = ListFolderFiles(row, folders.list);
  if (!files) return {};
  return {TFolderFiles::TStatus::Ready, std::move(*files)};
}

// The picture a row stands for: the file itself, or the first (last, going
// back) picture of the folder, read afresh. Nothing for a folder that cannot
// be read or holds no picture.
std::optional<std::string> EnterRow(const IPlaylist& list, int row, TRotationState& state, TRandom& random,
                                    const TFolderReader& folders, TDirection direction) {
  state.folder = {};
  std::string entry = list.Item(row);
  const auto folder = ParseFolderRow(entry);
  if (!folder) return entry;
  auto files = ReadFiles(*folder, folders);
  if (files.status == TFolderFiles::TStatus::Pending) {
    state.waiting = true;
    return std::nullopt;
  }
  if (files.status == TFolderFiles::TStatus::Missing) {
    if (folders.unreadable) folders.unreadable(folder->folder);
    return std::nullopt;
  }
  if (state.random) Shuffle(files.files, random);
  const int start = direction == TDirection::Forward ? -1 : static_cast<int>(files.files.size());
  TFolderPass pass{row, std::move(entry), std::move(files.files), start};
  if (!StepPass(pass, direction, folders)) return std::nullopt;
  state.folder = std::move(pass);
  return state.folder.files[static_cast<std::size_t>(state.folder.index)];
}

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

// Hands the picture on, then selects its row; the history records it when it
// is a new choice, not a step through the history.
int Show(const std::string& path, int row, IPlaylist& list, TRotationState& state, const TShowImage& show,
         bool record) {
  state.currentFile = path;
  if (show) show(path);
  if (row >= 0) list.Select(row);
  if (record) state.history.Add(path, Now());
  return row;
}

// The next picture of the folder being stepped through, if any.
std::optional<int> ContinuePass(IPlaylist& list, TRotationState& state, const TShowImage& show,
                                const TFolderReader& folders, TDirection direction) {
  if (!PassGoesOn(list, state.folder) || !StepPass(state.folder, direction, folders)) return std::nullopt;
  const auto& pass = state.folder;
  return Show(pass.files[static_cast<std::size_t>(pass.index)], pass.row, list, state, show, true);
}

// In list order from the cursor. A folder row that gives no picture is
// passed over; the scan stops when it comes back to one it passed over.
std::optional<int> InOrder(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                           const TFolderReader& folders, TDirection direction) {
  state.cursor = BringIntoRange(state.cursor, list.Count());
  std::optional<int> firstPassedOver;
  for (;;) {
    const auto found = ScanToChecked(list, state.cursor);
    if (!found || found == firstPassedOver) return std::nullopt;
    const auto picture = EnterRow(list, *found, state, random, folders, direction);
    if (picture) {
      state.cursor = *found;
      Show(*picture, *found, list, state, show, true);
      return state.cursor++;
    }
    if (state.waiting) {
      state.cursor = *found;  // run again from this row when it is read
      state.resume = direction == TDirection::Forward ? TRotationState::TResume::InOrder
                                                      : TRotationState::TResume::Backward;
      return std::nullopt;
    }
    if (!firstPassedOver) firstPassedOver = found;
    state.cursor = *found + 1;
  }
}

std::vector<std::string> CheckedEntries(const IPlaylist& list) {
  std::vector<std::string> checked;
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Checked(i)) checked.push_back(list.Item(i));
  }
  return checked;
}

// The row holding a picture: its own row, else a checked folder row above it.
int RowOf(const IPlaylist& list, const std::string& path) {
  int folderRow = -1;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string entry = list.Item(i);
    if (entry == path) return i;
    const auto folder = ParseFolderRow(entry);
    if (folderRow < 0 && folder && list.Checked(i) && path.starts_with(folder->folder)) folderRow = i;
  }
  return folderRow;
}

// A shuffled round over the checked rows; a folder row drawn is stepped
// through in shuffled order before the round goes on.
std::optional<int> Shuffled(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                            const TFolderReader& folders) {
  const auto checked = CheckedEntries(list);
  for (std::size_t tries = 0; tries < checked.size(); ++tries) {
    const auto entry = state.round.Next(checked, random);
    if (!entry) break;
    const int row = RowOf(list, *entry);
    const auto picture = EnterRow(list, row, state, random, folders, TDirection::Forward);
    if (state.waiting) {
      state.round.Undo();  // drawn again when the folder is read
      state.resume = TRotationState::TResume::Shuffled;
      return std::nullopt;
    }
    if (!picture) continue;
    state.cursor = row + 1;
    return Show(*picture, row, list, state, show, true);
  }
  return std::nullopt;
}

// A step through the history: shown again, not recorded again.
std::optional<int> Replay(const std::optional<std::string>& path, IPlaylist& list, TRotationState& state,
                          const TShowImage& show) {
  if (!path) return std::nullopt;
  return Show(*path, RowOf(list, *path), list, state, show, false);
}

}  // namespace

std::optional<int> RotateResume(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                                const TFolderReader& folders) {
  if (!state.waiting || list.Count() <= 0) return std::nullopt;
  state.waiting = false;
  using TResume = TRotationState::TResume;
  if (state.resume == TResume::Shuffled) return Shuffled(list, state, random, show, folders);
  const auto direction = state.resume == TResume::Backward ? TDirection::Backward : TDirection::Forward;
  return InOrder(list, state, random, show, folders, direction);
}

std::optional<int> RotationTick(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                                const TFolderReader& folders) {
  state.waiting = false;
  if (list.Count() <= 0) return std::nullopt;
  if (state.random && !state.history.AtNewest()) return Replay(state.history.Forward(), list, state, show);
  if (auto shown = ContinuePass(list, state, show, folders, TDirection::Forward)) return shown;
  if (state.random) return Shuffled(list, state, random, show, folders);
  return InOrder(list, state, random, show, folders, TDirection::Forward);
}

std::optional<int> RotatePrevious(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                                  const TFolderReader& folders) {
  state.waiting = false;
  if (list.Count() <= 0) return std::nullopt;
  if (state.random) return Replay(state.history.Back(), list, state, show);
  if (auto shown = ContinuePass(list, state, show, folders, TDirection::Backward)) return shown;
  state.cursor -= 2;
  return InOrder(list, state, random, show, folders, TDirection::Backward);
}

std::optional<int> RotateFrom(int selected, IPlaylist& list, TRotationState& state, TRandom& random,
                              const TShowImage& show, const TFolderReader& folders) {
  state.waiting = false;
  if (list.Count() <= 0) return std::nullopt;
  state.cursor = selected;
  // With "Random Image" the double-click shows the round's next picture, not
  // the clicked one, as the tick would.
  if (state.random) return RotationTick(list, state, random, show, folders);
  return InOrder(list, state, random, show, folders, TDirection::Forward);
}

}  // namespace skyloom
