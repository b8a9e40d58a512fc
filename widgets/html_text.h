#pragma once
// Text handling of the info panel's formatted text, before layout: entity
// replacement, the "<#" rule, line-break conversion, tag and attribute
// reading and colour values. Portable (no windows.h).
#include <cstdint>
#include <string>
#include <string_view>

namespace skyloom::html {

using TColor = std::uint32_t;  // 0x00BBGGRR; 0x80000000 + n is system colour n
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x000000;

// Whole-text preparation: named entities (any case, repeated until none is
// left), the first "<#" shown as plain text, CR -> "<BR>", LF dropped.
std::string PrepareText(std::string_view source);

// Per text run: the lower-case "&nbsp;", "&lt;", "&gt;" become " ", "<", ">".
std::string ReplaceRunEntities(std::string_view run);

// What the platform's prefix processing shows: "&&" -> "&", a lone "&" hidden.
std::string StripAccelerators(std::string_view text);

// One tag's text between "<" and ">": its upper-cased copy for matching and
// the original for values whose letter case matters (link targets).
class TTag {
 public:
  explicit TTag(std::string_view text);
  bool Closing() const { return closing_; }
  // The tag name matched by its first letters, without the slash.
  bool StartsWith(std::string_view upperName) const;
  // The value after "NAME=" (quotes removed), or empty; found returns
  // whether the attribute is there at all.
  std::string Attribute(std::string_view upperName, bool* found = nullptr) const;
  std::string UpperAttribute(std::string_view upperName) const;

 private:
  std::string original_;
  std::string upper_;
  bool closing_ = false;
  std::size_t nameStart_ = 0;
};

// "#RRGGBB" (short pairs count 0, non-hex digits 0) or a toolkit colour name
// in any case; unknown names give black.
TColor ParseColor(std::string_view value);

// FONT SIZE: 1..5 map to 8..16 points, other numbers are the point size,
// anything unparsable 0. Kept in 0..1000 so pixel arithmetic stays in range.
int ParseFontSize(std::string_view value);

// A decimal integer as the toolkit's conversion reads it; fallback when the
// text is not a number or out of range.
int ParseInt(std::string_view value, int fallback);

}  // namespace skyloom::html
