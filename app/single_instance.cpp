#include "app/single_instance.h"

#include <shellapi.h>

#include "app/main_form.h"

namespace skyloom {
namespace {

bool IsSwitch(const std::wstring& argument) {
  return !argument.empty() && (argument[0] == L'/' || argument[0] == L'-');
}

bool IsDevicePath(const std::wstring& path) { return path.starts_with(L"\\\\.\\"); }

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), needed, full.data(), nullptr));
  return full;
}

// The window appears soon after the first start takes the name; an instance
// that ends before making it (a start-up error) gives up the name.
HWND WaitForMainWindow(const TSingleInstance& instance) {
  for (;;) {
    if (HWND window = FindWindowW(TMainForm::kClassName, L"Skyloom")) return window;
    if (!instance.FirstRuns()) return nullptr;
    Sleep(50);
  }
}

}  // namespace

// The first start owns the mutex until its process ends; the system then
// marks it abandoned, which a second start's wait sees.
TSingleInstance::TSingleInstance(const wchar_t* name) : mutex_(CreateMutexW(nullptr, TRUE, name)) {
  first_ = GetLastError() != ERROR_ALREADY_EXISTS;
}

bool TSingleInstance::FirstRuns() const {
  return !first_ && mutex_ && WaitForSingleObject(mutex_.get(), 0) == WAIT_TIMEOUT;
}

// The running instance has its own working folder: a status file's path
// is made absolute like a list's.
std::wstring HandOverArgument(const std::wstring& argument) {
  constexpr std::size_t kStatusPrefix = 8;  // "/status="
  if (IsSwitch(argument) && argument.size() > kStatusPrefix &&
      CompareStringOrdinal(argument.c_str() + 1, 7, L"status=", 7, TRUE) == CSTR_EQUAL)
    return argument.substr(0, kStatusPrefix) + FullPath(argument.substr(kStatusPrefix));
  if (IsSwitch(argument)) return argument;
  const std::wstring full = FullPath(argument);
  return IsDevicePath(full) && !IsDevicePath(argument) ? argument : full;
}

bool HandOverCommandLine(const std::vector<std::wstring>& arguments, const TSingleInstance& instance) {
  std::wstring payload;
  for (const auto& argument : arguments) {
    payload += HandOverArgument(argument);
    payload.push_back(L'\0');
  }
  HWND window = WaitForMainWindow(instance);
  if (!window) return false;
  // A plain second start brings the window to the front: let it.
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  AllowSetForegroundWindow(process);
  COPYDATASTRUCT data{TMainForm::kCommandLineData, static_cast<DWORD>(payload.size() * sizeof(wchar_t)),
                      payload.data()};
  // No time limit: a busy instance answers once it is done. The send returns
  // at once when the window or its process goes.
  return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) != 0;
}

std::wstring HandOverFailureText(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return L"The running Skyloom could not be reached";
  std::wstring line;
  for (const auto& argument : arguments) line += (line.empty() ? L"" : L" ") + argument;
  return L"The running Skyloom could not take the command line; these were not run: " + line;
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
