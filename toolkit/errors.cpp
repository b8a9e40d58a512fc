#include "toolkit/errors.h"

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

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
    return message + ".";
  return message;
}

}  // namespace skyloom
