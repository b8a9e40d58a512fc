#pragma once
// The real skyloom.exe of the same build, started as a process of its own.
#include <windows.h>

#include <filesystem>
#include <string>

#include "toolkit/handles.h"

namespace skyloom::testing {

struct Process {
  UniqueHandle handle;
  // The exit code, or STILL_ACTIVE when it did not end within ms.
  DWORD Wait(DWORD ms) const {
    if (WaitForSingleObject(handle.get(), ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(handle.get(), &code);
    return code;
  }
  void Kill() const {
    if (handle && Wait(0) == STILL_ACTIVE) TerminateProcess(handle.get(), 1);
    Wait(10000);
  }
};

// skyloom.exe of the same build: app/ beside tests/.
inline std::wstring SkyloomExe() {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  return (std::filesystem::path(self).parent_path().parent_path().parent_path() / L"app" / L"skyloom.exe").wstring();
}

// output, when given, receives the program's standard output.
inline Process StartProgram(const std::wstring& program, const std::wstring& arguments, HANDLE output = nullptr) {
  std::wstring line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
  }
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &startup, &info))
    return {};
  CloseHandle(info.hThread);
  return {UniqueHandle(info.hProcess)};
}

inline HWND WaitForMainWindow() {
  for (int i = 0; i < 200; ++i) {
    if (HWND window = FindWindowW(L"TMainForm", L"Skyloom")) return window;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace skyloom::testing
