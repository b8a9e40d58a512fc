#pragma once
// The state file: UTF-8 text, one record a line, so that a user can read it
// and a later release can still read what an earlier one wrote.
//
//   Skyloom state 1              the version line
//   value NAME TEXT              a named value
//   list NAME COUNT              a named list; its COUNT items follow, one a line
//   ITEM
//   end                          nothing may follow; a file without it was cut short
//
// Names and texts escape '%', the control characters and bytes that are not
// UTF-8 as %XX, names also the blank, so every string comes back byte for
// byte. The main window's fields are named values and lists like the
// features' ("interval", "images", ...); those names are the state's own, and
// a feature value of such a name is not written.
#include <string>
#include <string_view>

#include "state/app_state.h"
#include "toolkit/errors.h"

namespace skyloom {

// A file that cannot be read as state: the message says why.
class EStateFileError : public EError {
 public:
  using EError::EError;
};

constexpr int kStateFileVersion = 1;

std::string WriteStateText(const TAppState& state);
// Raises EStateFileError on anything but a whole, well-formed file of this
// version or an older one.
TAppState ReadStateText(std::string_view text);

}  // namespace skyloom
