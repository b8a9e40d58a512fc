#include "state/app_state.h"

#include <charconv>

namespace skyloom {

namespace {
const std::string* Find(const TAppState& state, const std::string& name) {
  const auto found = state.values.find(name);
  return found == state.values.end() ? nullptr : &found->second;
}
}  // namespace

bool StateBool(const TAppState& state, const std::string& name, bool fallback) {
  const std::string* text = Find(state, name);
  if (!text) return fallback;
  if (*text == "1") return true;
  if (*text == "0") return false;
  return fallback;
}

int StateInt(const TAppState& state, const std::string& name, int fallback) {
  const std::string* text = Find(state, name);
  if (!text) return fallback;
  int value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size()) return fallback;
  return value;
}

std::string StateText(const TAppState& state, const std::string& name, const std::string& fallback) {
  const std::string* text = Find(state, name);
  return text ? *text : fallback;
}

void SetStateBool(TAppState& state, const std::string& name, bool value) { state.values[name] = value ? "1" : "0"; }
void SetStateInt(TAppState& state, const std::string& name, int value) { state.values[name] = std::to_string(value); }
void SetStateText(TAppState& state, const std::string& name, const std::string& value) { state.values[name] = value; }

}  // namespace skyloom
