#pragma once
// The keyboard letters of owner-drawn menu items: the system cannot search
// their captions, so the menu answers the typed letter itself.
#include <string>
#include <vector>

namespace skyloom {

// The character after the first single "&" of the caption ("&&" is a plain
// ampersand), or 0 when it has none.
wchar_t AcceleratorOf(const std::wstring& caption);

struct TLetterChoice {
  enum class Action { None, Run, Select } action = Action::None;
  int index = -1;
};

// Which item a typed key picks, given each item's caption (empty for items
// that cannot be chosen) and the highlighted index (-1 for none): the one
// item with that letter, compared without regard to case, runs; of several,
// the next after the highlighted one is selected, wrapping to the first.
TLetterChoice ChooseByLetter(const std::vector<std::wstring>& captions, wchar_t key, int highlighted);

}  // namespace skyloom
