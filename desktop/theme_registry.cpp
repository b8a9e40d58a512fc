#include "desktop/theme_registry.h"

#include <algorithm>
#include <vector>

#include "toolkit/text_win.h"

namespace skyloom {

namespace {

constexpr REGSAM kWriteAccess = KEY_SET_VALUE | KEY_QUERY_VALUE;

std::string WithoutTerminators(const std::wstring& text) {
  const auto end = text.find(L'\0');
  return Narrow(end == std::wstring::npos ? text : text.substr(0, end));
}

}  // namespace

std::optional<TThemeKey> TThemeKey::OpenForRead(const std::string& path, TRegistryProblems* problems) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  return TThemeKey(key, path, problems);
}

std::optional<std::string> TThemeKey::WrongType(const std::string& name) const {
  if (problems_)
    problems_->push_back("The value \"" + name + "\" of HKEY_CURRENT_USER\\" + path_ +
                         " is not text; it was read as missing");
  return std::nullopt;
}

TThemeKey TThemeKey::OpenForWrite(const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    key = nullptr;
  return TThemeKey(key);
}

std::optional<TThemeKey> TThemeKey::OpenExistingForWrite(const std::string& path) {
  HKEY key = nullptr;
  const LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, kWriteAccess, &key);
  if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
  return TThemeKey(status == ERROR_SUCCESS ? key : nullptr);
}

std::optional<std::string> TThemeKey::ReadString(const std::string& name) const {
  if (!key_) return std::nullopt;
  const std::wstring wideName = Widen(name);
  DWORD type = 0;
  DWORD bytes = 0;
  LONG status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &bytes);
  // The value can grow between the two calls: ask again until it fits.
  std::vector<BYTE> data;
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return WrongType(name);
    data.resize(bytes);
    status = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, data.data(), &bytes);
    if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) return WrongType(name);
    if (status == ERROR_SUCCESS) {
      std::wstring text(bytes / sizeof(wchar_t), L'\0');
      std::copy_n(data.data(), text.size() * sizeof(wchar_t), reinterpret_cast<BYTE*>(text.data()));
      return WithoutTerminators(text);
    }
  }
  return std::nullopt;
}

void TThemeKey::WriteString(const std::string& name, const std::string& value) const {
  const std::wstring text = Widen(value);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  if (!key_ || RegSetValueExW(key_.get(), Widen(name).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()), bytes) != ERROR_SUCCESS)
    throw ERegistryException(FormatMessage1("Failed to set data for '%s'", name));
}

}  // namespace skyloom
