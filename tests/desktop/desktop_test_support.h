#pragma once
// Raw access to the registry, files and windows, so that the tests check
// what the desktop settings left in the system without going through them.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "desktop/system_folders.h"
#include "toolkit/handles.h"
#include "toolkit/text_win.h"

namespace skyloom::testing {

inline std::optional<std::wstring> RegText(const std::wstring& key, const std::wstring& name) {
  wchar_t text[2048] = L"";
  DWORD bytes = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text, &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(text);
}

inline void SetRegText(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

inline void SetRegDword(const std::wstring& key, const std::wstring& name, DWORD value) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_DWORD, &value, sizeof value),
            ERROR_SUCCESS);
}

inline void DeleteRegValue(const std::wstring& key, const std::wstring& name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}

inline void DeleteRegTree(const std::wstring& key) {
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

inline bool RegKeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  const bool exists = RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
  const UniqueKey closer(handle);
  return exists;
}

// Denies storing values in a key for the scope.
class DenyValueWrites {
 public:
  explicit DenyValueWrites(const std::wstring& key) {
    HKEY handle = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &handle, nullptr);
    key_.reset(handle);
    SetAccess(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)");
  }
  ~DenyValueWrites() { SetAccess(L"D:(A;;KA;;;WD)"); }
  DenyValueWrites(const DenyValueWrites&) = delete;
  DenyValueWrites& operator=(const DenyValueWrites&) = delete;

 private:
  void SetAccess(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    EXPECT_EQ(RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    LocalFree(descriptor);
  }
  UniqueKey key_;
};

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::filesystem::path WindowsDir() { return std::filesystem::path(Widen(WindowsDirectory())); }

// A fresh folder per test, removed afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          (L"skyloom desktop " + Widen(info->test_suite_name()) + L"." + Widen(info->name()));
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir, ignored); }

  std::string PathOf(const std::wstring& name) const { return Narrow((dir / name).wstring()); }

  std::filesystem::path dir;
  std::error_code ignored;
};

// Top-level windows of this thread that count the settings-changed message
// sent with both parameters 0 (the system's own notices carry a parameter).
class CountingWindows {
 public:
  explicit CountingWindows(int count) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SkyloomSettingsCounter";
    RegisterClassW(&windowClass);
    counts_.assign(static_cast<std::size_t>(count), 0);
    for (auto& counter : counts_) {
      windows_.emplace_back(CreateWindowExW(0, windowClass.lpszClassName, L"counter", WS_OVERLAPPEDWINDOW, 0, 0,
                                            50, 50, nullptr, nullptr, windowClass.hInstance, &counter));
    }
  }
  const std::vector<int>& Counts() const { return counts_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message == WM_WININICHANGE && wParam == 0 && lParam == 0) {
      if (auto* counter = reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA))) ++*counter;
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  std::vector<int> counts_;
  std::vector<UniqueWindow> windows_;
};

}  // namespace skyloom::testing
