#pragma once
// What the rotation needs of a playlist control: entries with check marks,
// and a selection that can be moved without raising the click handler.
#include <string>

namespace skyloom {

class IPlaylist {
 public:
  virtual ~IPlaylist() = default;
  virtual int Count() const = 0;
  virtual bool Checked(int index) const = 0;
  virtual std::string Item(int index) const = 0;  // UTF-8
  virtual void Select(int index) = 0;
};

}  // namespace skyloom
