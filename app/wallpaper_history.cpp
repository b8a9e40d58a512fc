#include "app/wallpaper_history.h"

#include <algorithm>

namespace skyloom {

void TWallpaperHistory::Add(std::string path, std::int64_t time) {
  entries_.push_back({std::move(path), time});
  if (entries_.size() > kCapacity) entries_.erase(entries_.begin(), entries_.end() - kCapacity);
  position_ = entries_.size() - 1;
}

std::optional<std::string> TWallpaperHistory::Back() {
  if (entries_.empty() || position_ == 0) return std::nullopt;
  return entries_[--position_].path;
}

std::optional<std::string> TWallpaperHistory::Forward() {
  if (AtNewest()) return std::nullopt;
  return entries_[++position_].path;
}

void TWallpaperHistory::Restore(std::vector<THistoryEntry> entries, std::size_t position) {
  entries_ = std::move(entries);
  if (entries_.size() > kCapacity) entries_.erase(entries_.begin(), entries_.end() - kCapacity);
  position_ = entries_.empty() ? 0 : std::min(position, entries_.size() - 1);
}

}  // namespace skyloom
