#pragma once
// The rotation tick over the image playlist: picks the next checked entry,
// in order or as a shuffled round, hands its path on, and moves the cursor
// past it. A checked folder row is stepped through picture by picture
// (name order, or shuffled) before the rotation moves on to the next row.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/folder_source.h"
#include "app/playlist.h"
#include "app/shuffle_round.h"
#include "app/wallpaper_history.h"
#include "toolkit/random.h"

namespace skyloom {

// The folder row being stepped through, read when the rotation entered it.
struct TFolderPass {
  int row = -1;
  std::string entry;  // the row's text: an edited row ends the pass
  std::vector<std::string> files;
  int index = -1;  // the file shown last
};

struct TRotationState {
  int cursor = 0;            // ImageCursor: index of the next entry to consider
  bool random = false;       // "Random Image"
  std::string currentFile;   // CurrentImageFile
  TFolderPass folder;
  TShuffleRound round;
  TWallpaperHistory history;
  bool waiting = false;  // the last tick stopped at a folder still being read
  enum class TResume { InOrder, Backward, Shuffled } resume = TResume::InOrder;  // how it goes on
};

using TShowImage = std::function<void(const std::string& path)>;

// One tick. Returns the row shown (for a history step in random mode the row
// that holds the picture, or -1), or nothing when the list is empty or has
// no checked entry that gives a picture, or when it stopped at a folder still
// being read (waiting is then set). An exception from show ends the tick
// before the selection, cursor and history steps.
std::optional<int> RotationTick(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                                const TFolderReader& folders = {});

// Previous: in order, the picture before inside a folder, else two rows back
// (the cursor stands one past the row last shown); in random mode, back
// through the wallpapers actually shown.
std::optional<int> RotatePrevious(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                                  const TFolderReader& folders = {});

// Double-click: the clicked (selected) row, or the next checked one after it;
// with "Random Image", the tick's draw from there.
std::optional<int> RotateFrom(int selected, IPlaylist& list, TRotationState& state, TRandom& random,
                              const TShowImage& show, const TFolderReader& folders = {});

// Runs the tick that stopped at a folder still being read again, the way it
// ran (forward, backward or shuffled), once the folder has been read.
std::optional<int> RotateResume(IPlaylist& list, TRotationState& state, TRandom& random, const TShowImage& show,
                                const TFolderReader& folders = {});

}  // namespace skyloom
