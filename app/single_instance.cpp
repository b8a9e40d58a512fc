#include "app/single_instance.h"

#include <shellapi.h>

#include "app/main_form.h"

namespace skyloom {
namespace {

bool IsSwitch(const std::wstring& argument) {
  return !argument.empty() && (argument[0] == L'/' || argument[0] == L'-');
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), needed, full.data(), nullptr));
  return full;
}

HWND WaitForMainWindow() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (HWND window = FindWindowW(TMainForm::kClassName, L"Skyloom")) return window;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace

TSingleInstance::TSingleInstance(const wchar_t* name) : mutex_(CreateMutexW(nullptr, FALSE, name)) {
  first_ = GetLastError() != ERROR_ALREADY_EXISTS;
}

bool HandOverCommandLine(const std::vector<std::wstring>& arguments) {
  std::wstring payload;
  for (const auto& argument : arguments) {
    payload += IsSwitch(argument) ? argument : FullPath(argument);
    payload.push_back(L'\0');
  }
  HWND window = WaitForMainWindow();
  if (!window) return false;
  COPYDATASTRUCT data{TMainForm::kCommandLineData, static_cast<DWORD>(payload.size() * sizeof(wchar_t)),
                      payload.data()};
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                             &result) != 0 &&
         result != 0;
}

std::vector<std::wstring> ProcessArguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i]);
  LocalFree(argv);
  return arguments;
}

}  // namespace skyloom
