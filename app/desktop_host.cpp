#include "app/desktop_host.h"

namespace skyloom {
namespace {

// Sent to Progman, it makes the shell put a WorkerW window behind the
// desktop icons (the one that follows the window holding the icon view).
constexpr UINT kSpawnWorker = 0x052C;
constexpr UINT kSpawnTimeoutMs = 1000;

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

BOOL CALLBACK FindIconViewOwner(HWND window, LPARAM found) {
  if (!FindWindowExW(window, nullptr, L"SHELLDLL_DefView", nullptr)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Two layouts: up to Windows 11 23H2 the worker is a top-level window that
// follows the one holding the icon view; from 24H2 on it is a child of
// Progman, which keeps the icon view itself. A top-level worker after
// Progman is then no desktop window at all, so it is not taken.
HWND FindWorkerBehindIcons(HWND progman) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(progman, kSpawnWorker, 0, 0, SMTO_NORMAL, kSpawnTimeoutMs, &ignored);
  HWND iconViewOwner = nullptr;
  EnumWindows(FindIconViewOwner, reinterpret_cast<LPARAM>(&iconViewOwner));
  if (iconViewOwner && iconViewOwner != progman) {
    if (HWND worker = FindWindowExW(nullptr, iconViewOwner, L"WorkerW", nullptr)) return worker;
  }
  return FindWindowExW(progman, nullptr, L"WorkerW", nullptr);
}

}  // namespace

HWND FindDescendantByClass(HWND parent, const std::wstring& className) {
  struct Search {
    const std::wstring& className;
    HWND found = nullptr;
  } search{className};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        if (ClassOf(window) != s.className) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindDesktopHostWindow() {
  HWND progman = FindWindowW(L"Progman", L"Program Manager");
  if (!progman) return nullptr;
  if (HWND content = FindDescendantByClass(progman, L"Internet Explorer_Server")) return content;
  if (HWND worker = FindWorkerBehindIcons(progman)) return worker;
  return progman;
}

}  // namespace skyloom
