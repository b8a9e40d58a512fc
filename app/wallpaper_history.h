#pragma once
// The wallpapers last applied, newest last, with a position for going back
// and forward through them as a browser does.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skyloom {

struct THistoryEntry {
  std::string path;
  std::int64_t time = 0;  // seconds since 1970, UTC
};

class TWallpaperHistory {
 public:
  static constexpr std::size_t kCapacity = 100;

  // A newly chosen wallpaper: becomes the newest, and the position moves
  // to it. The oldest entry goes beyond the capacity.
  void Add(std::string path, std::int64_t time);
  // The one before / after the position, which moves to it; nothing at the
  // ends.
  std::optional<std::string> Back();
  std::optional<std::string> Forward();
  bool AtNewest() const { return position_ + 1 >= entries_.size(); }

  const std::vector<THistoryEntry>& Entries() const { return entries_; }
  std::size_t Position() const { return position_; }
  void Restore(std::vector<THistoryEntry> entries, std::size_t position);

 private:
  std::vector<THistoryEntry> entries_;
  std::size_t position_ = 0;  // the entry shown
};

}  // namespace skyloom
