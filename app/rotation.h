#pragma once
// The rotation tick over the image playlist: picks the next checked entry,
// in order or at random, hands its path on, and moves the cursor past it.
#include <functional>
#include <optional>
#include <string>

#include "app/playlist.h"
#include "toolkit/random.h"

namespace skyloom {

struct TRotationState {
  int cursor = 0;            // ImageCursor: index of the next entry to consider
  bool random = false;       // "Random Image"
  std::string currentFile;   // CurrentImageFile
};

using TShowImage = std::function<void(const std::string& path)>;

// One tick. Returns the index shown, or nothing when the list is empty or
// has no checked entry. An exception from show ends the tick before the
// selection and cursor steps.
std::optional<int> RotationTick(IPlaylist& list, TRotationState& state, TRandom& random,
                                const TShowImage& show);

// Previous: two back (the cursor stands one past the entry last shown).
std::optional<int> RotatePrevious(IPlaylist& list, TRotationState& state, TRandom& random,
                                  const TShowImage& show);

// Double-click: start the scan at the clicked (selected) index.
std::optional<int> RotateFrom(int selected, IPlaylist& list, TRotationState& state, TRandom& random,
                              const TShowImage& show);

}  // namespace skyloom
