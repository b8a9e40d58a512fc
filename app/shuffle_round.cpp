#include "app/shuffle_round.h"

#include <algorithm>
#include <utility>

namespace skyloom {

void Shuffle(std::vector<std::string>& items, TRandom& random) {
  for (std::size_t i = items.size(); i > 1; --i)
    std::swap(items[i - 1], items[static_cast<std::size_t>(random.Draw(static_cast<int>(i)))]);
}

std::optional<std::string> TShuffleRound::Next(const std::vector<std::string>& checked, TRandom& random) {
  const std::set<std::string> now(checked.begin(), checked.end());
  if (now.empty()) return std::nullopt;
  Adjust(now, random);
  if (remaining_.empty()) Begin(now, random);
  lastBefore_ = last_;
  last_ = remaining_.front();
  remaining_.erase(remaining_.begin());
  shown_.insert(last_);
  return last_;
}

// Unchecked entries leave the part to come; newly checked ones that this
// round has not shown join it at random places.
void TShuffleRound::Adjust(const std::set<std::string>& checked, TRandom& random) {
  std::erase_if(remaining_, [&](const std::string& entry) { return !checked.contains(entry); });
  const std::set<std::string> coming(remaining_.begin(), remaining_.end());
  for (const auto& entry : checked) {
    if (shown_.contains(entry) || coming.contains(entry)) continue;
    const auto at = random.Draw(static_cast<int>(remaining_.size()) + 1);
    remaining_.insert(remaining_.begin() + at, entry);
  }
}

// A fresh order of everything checked. When it would open with the entry
// shown last, that entry changes places with another drawn at random.
void TShuffleRound::Begin(const std::set<std::string>& checked, TRandom& random) {
  remaining_.assign(checked.begin(), checked.end());
  shown_.clear();
  Shuffle(remaining_, random);
  if (remaining_.size() < 2 || remaining_.front() != last_) return;
  const auto other = 1 + static_cast<std::size_t>(random.Draw(static_cast<int>(remaining_.size()) - 1));
  std::swap(remaining_.front(), remaining_[other]);
}

void TShuffleRound::Undo() {
  if (last_.empty()) return;
  shown_.erase(last_);
  remaining_.insert(remaining_.begin(), last_);
  last_ = lastBefore_;
}

void TShuffleRound::Restore(std::vector<std::string> remaining, const std::vector<std::string>& shown,
                            std::string last) {
  remaining_ = std::move(remaining);
  shown_ = {shown.begin(), shown.end()};
  last_ = std::move(last);
}

}  // namespace skyloom
