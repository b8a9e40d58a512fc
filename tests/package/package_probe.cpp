// Reads what the shipped program shows to Windows, for the packaging test:
//   package_probe version FILE   the version resource, as Explorer reads it
//   package_probe list           how many entries the running Skyloom's lists hold
// Prints UTF-8 lines; exits 1 when there is nothing to read.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

void PrintFixed(const char* name, DWORD high, DWORD low) {
  std::printf("%s=%u.%u.%u.%u\n", name, unsigned{HIWORD(high)}, unsigned{LOWORD(high)}, unsigned{HIWORD(low)},
              unsigned{LOWORD(low)});
}

int PrintVersion(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  std::vector<unsigned char> block(size);
  if (size == 0 || !GetFileVersionInfoW(file, 0, size, block.data())) return 1;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    PrintFixed("FILEVERSION", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    PrintFixed("PRODUCTVERSION", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"CompanyName", L"FileDescription"}) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value)
      std::printf("%s=%s\n", Utf8(name).c_str(), Utf8(value).c_str());
  }
  return 0;
}

// The lists hold no text of their own (the window draws each row from its
// playlist), so the entries are counted.
BOOL CALLBACK CountEntries(HWND child, LPARAM total) {
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (_wcsicmp(name, L"ListBox") == 0)
    *reinterpret_cast<LRESULT*>(total) += SendMessageW(child, LB_GETCOUNT, 0, 0);
  return TRUE;
}

// The window may still be starting, or loading the list it was given.
int PrintLists() {
  HWND window = nullptr;
  for (int i = 0; i < 200 && !window; ++i, Sleep(50)) window = FindWindowW(L"TMainForm", L"Skyloom");
  if (!window) return 1;
  Sleep(500);
  LRESULT total = 0;
  EnumChildWindows(window, CountEntries, reinterpret_cast<LPARAM>(&total));
  std::printf("%ld\n", static_cast<long>(total));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"version" && argc > 2) return PrintVersion(argv[2]);
  if (command == L"list") return PrintLists();
  std::fprintf(stderr, "usage: package_probe version FILE | list\n");
  return 2;
}
