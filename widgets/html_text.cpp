#include "widgets/html_text.h"

#include <array>
#include <cctype>
#include <limits>

namespace skyloom::html {
namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

struct Entity {
  std::string_view name;
  std::string_view text;
};
// Windows-1252 code points of the named characters.
constexpr std::array<Entity, 9> kEntities{{{"&amp;", "&&"},
                                           {"&quot;", "\""},
                                           {"&sect;", "\xA7"},
                                           {"&permil;", "\x89"},
                                           {"&reg;", "\xAE"},
                                           {"&copy;", "\xA9"},
                                           {"&para;", "\xB6"},
                                           {"&trade;", "\x99"},
                                           {"&euro;", "\x80"}}};

// When out ends in an entity, replaces it. A replacement never ends in ";",
// so one check per appended ";" reaches the same fixed point as replacing
// over and over, in linear time.
void ReplaceTrailingEntity(std::string& out) {
  for (const Entity& e : kEntities) {
    if (out.size() < e.name.size()) continue;
    std::string_view tail(out.data() + out.size() - e.name.size(), e.name.size());
    if (!EqualsNoCase(tail, e.name)) continue;
    out.resize(out.size() - e.name.size());
    out += e.text;
    return;
  }
}

std::string ReplaceEntities(std::string_view source) {
  std::string out;
  out.reserve(source.size());
  for (char c : source) {
    out += c;
    if (c == ';') ReplaceTrailingEntity(out);
  }
  return out;
}

// The first "<#": its "<" and the next ">" go, so the tag shows as text.
void ShowFirstHashTag(std::string& text) {
  std::size_t at = text.find("<#");
  if (at == std::string::npos) return;
  text.erase(at, 1);
  std::size_t close = text.find('>', at);
  if (close != std::string::npos) text.erase(close, 1);
}

std::string ConvertLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\r') {
      out += "<BR>";
    } else if (c != '\n') {
      out += c;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Upper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int HexPair(std::string_view digits, std::size_t at) {
  if (at + 2 > digits.size()) return 0;
  int high = HexDigit(digits[at]);
  int low = HexDigit(digits[at + 1]);
  if (high < 0 || low < 0) return 0;
  return high * 16 + low;
}

struct NamedColor {
  std::string_view name;
  TColor color;
};
constexpr std::array<NamedColor, 16> kNamedColors{{{"clred", 0x0000FF},
                                                   {"clblack", 0x000000},
                                                   {"clblue", 0xFF0000},
                                                   {"clgreen", 0x008000},
                                                   {"claqua", 0xFFFF00},
                                                   {"clyellow", 0x00FFFF},
                                                   {"clfuchsia", 0xFF00FF},
                                                   {"clwhite", 0xFFFFFF},
                                                   {"cllime", 0x00FF00},
                                                   {"clsilver", 0xC0C0C0},
                                                   {"clgray", 0x808080},
                                                   {"clolive", 0x008080},
                                                   {"clnavy", 0x800000},
                                                   {"clpurple", 0x800080},
                                                   {"clteal", 0x808000},
                                                   {"clmaroon", 0x000080}}};
// System colours 1..24 in the platform's numbering.
constexpr std::array<std::string_view, 24> kSystemColorNames{
    "clbackground",   "clactivecaption",  "clinactivecaption", "clmenu",
    "clwindow",       "clwindowframe",    "clmenutext",        "clwindowtext",
    "clcaptiontext",  "clactiveborder",   "clinactiveborder",  "clappworkspace",
    "clhighlight",    "clhighlighttext",  "clbtnface",         "clbtnshadow",
    "clgraytext",     "clbtntext",        "clinactivecaptiontext", "clbtnhighlight",
    "cl3ddkshadow",   "cl3dlight",        "clinfotext",        "clinfobk"};

}  // namespace

std::string PrepareText(std::string_view source) {
  std::string text = ReplaceEntities(source);
  ShowFirstHashTag(text);
  return ConvertLineBreaks(text);
}

std::string ReplaceRunEntities(std::string_view run) {
  std::string out;
  out.reserve(run.size());
  for (std::size_t i = 0; i < run.size();) {
    std::string_view rest = run.substr(i);
    if (rest.starts_with("&nbsp;")) {
      out += ' ';
      i += 6;
    } else if (rest.starts_with("&lt;")) {
      out += '<';
      i += 4;
    } else if (rest.starts_with("&gt;")) {
      out += '>';
      i += 4;
    } else {
      out += run[i++];
    }
  }
  return out;
}

std::string StripAccelerators(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

TTag::TTag(std::string_view text) : original_(text), upper_(text) {
  for (char& c : upper_) c = Upper(c);
  while (nameStart_ < upper_.size() && upper_[nameStart_] == ' ') ++nameStart_;
  if (nameStart_ < upper_.size() && upper_[nameStart_] == '/') {
    closing_ = true;
    ++nameStart_;
  }
}

bool TTag::StartsWith(std::string_view upperName) const {
  return std::string_view(upper_).substr(nameStart_).starts_with(upperName);
}

std::string TTag::Attribute(std::string_view upperName, bool* found) const {
  if (found) *found = false;
  // The name must start a word, so COLOR is not found inside BGCOLOR.
  std::size_t at = upper_.find(upperName, nameStart_);
  while (at != std::string::npos && at > 0 && IsLetter(upper_[at - 1])) {
    at = upper_.find(upperName, at + 1);
  }
  if (at == std::string::npos) return {};
  std::size_t i = at + upperName.size();
  while (i < upper_.size() && upper_[i] == ' ') ++i;
  if (i >= upper_.size() || upper_[i] != '=') return {};
  ++i;
  while (i < upper_.size() && upper_[i] == ' ') ++i;
  if (found) *found = true;
  std::size_t end;
  if (i < upper_.size() && upper_[i] == '"') {
    ++i;
    end = upper_.find('"', i);
  } else {
    end = upper_.find(' ', i);
  }
  if (end == std::string::npos) end = upper_.size();
  return original_.substr(i, end - i);
}

std::string TTag::UpperAttribute(std::string_view upperName) const {
  std::string value = Attribute(upperName);
  for (char& c : value) c = Upper(c);
  return value;
}

TColor ParseColor(std::string_view value) {
  if (!value.empty() && value[0] == '#') {
    std::string_view digits = value.substr(1);
    TColor r = static_cast<TColor>(HexPair(digits, 0));
    TColor g = static_cast<TColor>(HexPair(digits, 2));
    TColor b = static_cast<TColor>(HexPair(digits, 4));
    return r + g * 256 + b * 65536;
  }
  for (const NamedColor& named : kNamedColors) {
    if (EqualsNoCase(value, named.name)) return named.color;
  }
  for (std::size_t i = 0; i < kSystemColorNames.size(); ++i) {
    if (EqualsNoCase(value, kSystemColorNames[i])) return 0x80000000u + static_cast<TColor>(i + 1);
  }
  return clBlack;
}

int ParseInt(std::string_view value, int fallback) {
  std::size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  if (i >= value.size()) return fallback;
  long long n = 0;
  for (; i < value.size(); ++i) {
    if (value[i] < '0' || value[i] > '9') return fallback;
    n = n * 10 + (value[i] - '0');
    if (n > std::numeric_limits<int>::max()) return fallback;
  }
  return static_cast<int>(negative ? -n : n);
}

int ParseFontSize(std::string_view value) {
  static constexpr std::array<int, 5> kSizes{8, 10, 12, 14, 16};
  int n = ParseInt(value, 0);
  if (n >= 1 && n <= 5) return kSizes[static_cast<std::size_t>(n - 1)];
  if (n < 0 || n > 1000) return 0;
  return n;
}

}  // namespace skyloom::html
