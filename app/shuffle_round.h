#pragma once
// "Random Image" as a round: every checked entry once, in random order,
// before any entry comes again, and a new round never opens with the entry
// that closed the one before. Entries are known by their text, so the round
// survives rows moving; what is checked is read afresh at every draw, so
// entries checked during a round join the part still to come and unchecked
// ones leave it.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "toolkit/random.h"

namespace skyloom {

class TShuffleRound {
 public:
  // The next entry of the round among the checked entries given; nothing
  // when none is checked.
  std::optional<std::string> Next(const std::vector<std::string>& checked, TRandom& random);
  // Takes the entry Next gave back: it comes first again.
  void Undo();

  // The order still to come, then what this round has shown: remembered
  // across restarts.
  const std::vector<std::string>& Remaining() const { return remaining_; }
  std::vector<std::string> Shown() const { return {shown_.begin(), shown_.end()}; }
  const std::string& Last() const { return last_; }
  void Restore(std::vector<std::string> remaining, const std::vector<std::string>& shown, std::string last);

 private:
  void Adjust(const std::set<std::string>& checked, TRandom& random);
  void Begin(const std::set<std::string>& checked, TRandom& random);

  std::vector<std::string> remaining_;  // next first
  std::set<std::string> shown_;
  std::string last_, lastBefore_;
};

// Fisher-Yates with the program's generator.
void Shuffle(std::vector<std::string>& items, TRandom& random);

}  // namespace skyloom
