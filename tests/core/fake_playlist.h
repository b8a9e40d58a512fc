#pragma once
#include <string>
#include <vector>

#include "app/playlist.h"

namespace skyloom::testing {

// A playlist held in memory: "x" is an unchecked entry named x, "+x" a
// checked one.
class FakePlaylist : public IPlaylist {
 public:
  explicit FakePlaylist(std::vector<std::string> entries) {
    for (auto& s : entries) {
      const bool checked = !s.empty() && s[0] == '+';
      names.push_back(checked ? s.substr(1) : s);
      checks.push_back(checked);
    }
  }
  int Count() const override { return static_cast<int>(names.size()); }
  bool Checked(int i) const override { return checks.at(static_cast<std::size_t>(i)); }
  std::string Item(int i) const override { return names.at(static_cast<std::size_t>(i)); }
  void Select(int i) override { selected = i; }

  std::vector<std::string> names;
  std::vector<bool> checks;
  int selected = -1;
};

}  // namespace skyloom::testing
