#include "widgets/menu_letters.h"

#include <windows.h>

#include <algorithm>

namespace skyloom {
namespace {

wchar_t Upper(wchar_t c) {
  // The one-character form of the system's case mapping: the character in
  // the low word of the pointer argument.
  const auto upper = CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(c)));
  return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(upper));
}

}  // namespace

wchar_t AcceleratorOf(const std::wstring& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] != L'&') return caption[i + 1];
    ++i;
  }
  return 0;
}

TLetterChoice ChooseByLetter(const std::vector<std::wstring>& captions, wchar_t key, int highlighted) {
  std::vector<int> matches;
  for (std::size_t i = 0; i < captions.size(); ++i) {
    const wchar_t letter = AcceleratorOf(captions[i]);
    if (letter != 0 && Upper(letter) == Upper(key)) matches.push_back(static_cast<int>(i));
  }
  if (matches.empty()) return {};
  if (matches.size() == 1) return {TLetterChoice::Action::Run, matches.front()};
  const auto next = std::upper_bound(matches.begin(), matches.end(), highlighted);
  return {TLetterChoice::Action::Select, next == matches.end() ? matches.front() : *next};
}

}  // namespace skyloom
