#pragma once
// What the wallpaper tests share: skyloom-img of the same build, the test
// pictures and the desktop settings in the registry.
#include <windows.h>

#include <filesystem>
#include <string>

#include "toolkit/handles.h"

namespace skyloom::testing {

inline std::filesystem::path BuildDir() {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  return std::filesystem::path(self).parent_path().parent_path().parent_path();
}

inline std::filesystem::path TestData(const char* relative) {
  return std::filesystem::path(SKYLOOM_TESTDATA_DIR) / relative;
}

// Runs skyloom-img.exe of the same build; answers its exit code.
inline DWORD RunTool(const std::wstring& arguments) {
  std::wstring line = L"\"" + (BuildDir() / L"tools" / L"skyloom-img" / L"skyloom-img.exe").wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 999;
  UniqueHandle process(info.hProcess), thread(info.hThread);
  WaitForSingleObject(process.get(), 120000);
  DWORD code = 999;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

inline std::wstring RegistryText(const wchar_t* key, const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"?";
  return value;
}

}  // namespace skyloom::testing
