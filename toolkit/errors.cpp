#include "toolkit/errors.h"

#include <vector>

namespace skyloom {

static std::string Substitute(const std::string& pattern, const char* token, const std::string& arg) {
  const auto at = pattern.find(token);
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + arg + pattern.substr(at + 2);
}

std::string FormatMessage1(const std::string& pattern, const std::string& arg) {
  return Substitute(pattern, "%s", arg);
}

std::string FormatMessage1(const std::string& pattern, long long arg) {
  return Substitute(pattern, "%d", std::to_string(arg));
}

namespace {

constexpr std::size_t kLongestRun = 96;
constexpr std::size_t kMostLines = 30;
constexpr std::size_t kLongestText = 2000;

bool Continues(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Keeps about limit bytes, the first and last halves, never splitting a
// UTF-8 character.
std::string ShortenMiddle(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t head = limit / 2, tail = text.size() - (limit - head - 3);
  while (head > 0 && Continues(text[head])) --head;
  while (tail < text.size() && Continues(text[tail])) ++tail;
  return text.substr(0, head) + "..." + text.substr(tail);
}

std::string ShortenRuns(const std::string& line) {
  std::string out;
  std::size_t at = 0;
  while (at < line.size()) {
    const bool blank = line[at] == ' ' || line[at] == '\t';
    std::size_t end = at;
    while (end < line.size() && (line[end] == ' ' || line[end] == '\t') == blank) ++end;
    const std::string run = line.substr(at, end - at);
    out += blank ? run : ShortenMiddle(run, kLongestRun);
    at = end;
  }
  return out;
}

std::string FitTheScreen(const std::string& message) {
  std::vector<std::string> lines;
  for (std::size_t at = 0;;) {
    const auto end = message.find('\n', at);
    lines.push_back(ShortenRuns(message.substr(at, end == std::string::npos ? end : end - at)));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  if (lines.size() > kMostLines) {
    lines.erase(lines.begin() + kMostLines / 2, lines.end() - (kMostLines / 2 - 1));
    lines.insert(lines.begin() + kMostLines / 2, "...");
  }
  std::string text = lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) text += "\n" + lines[i];
  return ShortenMiddle(text, kLongestText);
}

}  // namespace

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
    return FitTheScreen(message + ".");
  return FitTheScreen(message);
}

}  // namespace skyloom
