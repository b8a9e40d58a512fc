#pragma once
// What Skyloom remembers between runs: both playlists with their check marks,
// cursors and selections, the main window's settings, whether the wallpaper
// was changing, and where the window stood. Features keep their own settings
// as named values and named lists, so each adds its own without touching the
// file format, and a value this release does not know survives a rewrite.
#include <map>
#include <string>
#include <vector>

namespace skyloom {

struct TPlaylistState {
  std::vector<std::string> entries;  // UTF-8, in list order (files, folder rows)
  std::vector<bool> checked;         // one per entry
  std::vector<int> selected;         // selected rows
  int cursor = 0;                    // ImageCursor / VideoCursor
};

struct TWindowState {
  bool known = false;  // false: the window opens where it always did
  int left = 0, top = 0, width = 0, height = 0;  // normal bounds, physical pixels
  bool maximized = false;
  bool hidden = false;  // only the tray icon showed
};

struct TAppState {
  TPlaylistState images, videos;
  int intervalMinutes = 5;  // timeredit
  bool random = false;      // randomcheck
  int filter = 3;           // ResizeBox's index ("Bell")
  int activeTab = 0;
  bool timerRunning = false;
  bool videoPlaying = false;
  std::string playingVideo;  // the video that played, UTF-8
  TWindowState window;
  // Settings of features, by name ("fit", "per_monitor", "mute", ...), as text.
  std::map<std::string, std::string> values;
  // Lists of features, by name ("history", "shuffle", ...), one text line each.
  std::map<std::string, std::vector<std::string>> lists;
};

// Typed access to the named values; a missing or malformed value gives the
// fallback, so a hand-edited or older file never stops the start.
bool StateBool(const TAppState& state, const std::string& name, bool fallback);
int StateInt(const TAppState& state, const std::string& name, int fallback);
std::string StateText(const TAppState& state, const std::string& name, const std::string& fallback);
void SetStateBool(TAppState& state, const std::string& name, bool value);
void SetStateInt(TAppState& state, const std::string& name, int value);
void SetStateText(TAppState& state, const std::string& name, const std::string& value);

}  // namespace skyloom
