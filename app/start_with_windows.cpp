#include "app/start_with_windows.h"

#include <windows.h>

#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Skyloom";

std::wstring ReadRunValue() {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return L"";
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
      ERROR_SUCCESS)
    return L"";
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

}  // namespace

std::wstring StartCommand(const std::wstring& programPath) { return L"\"" + programPath + L"\" /hide"; }

// Paths on Windows compare without regard to case.
bool StartsWithWindows(const std::wstring& programPath) {
  const std::wstring value = ReadRunValue();
  const std::wstring wanted = StartCommand(programPath);
  return CompareStringOrdinal(value.c_str(), static_cast<int>(value.size()), wanted.c_str(),
                              static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
}

void SetStartWithWindows(const std::wstring& programPath, bool start) {
  LSTATUS status = ERROR_SUCCESS;
  if (start) {
    const std::wstring command = StartCommand(programPath);
    status = RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueName, REG_SZ, command.c_str(),
                             static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  } else {
    status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueName);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  if (status != ERROR_SUCCESS)
    throw EError("Cannot change whether Skyloom starts with Windows: " + SystemErrorText(static_cast<DWORD>(status)));
}

}  // namespace skyloom
