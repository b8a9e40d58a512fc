#pragma once
// Owning wrappers for Windows handles: each frees its handle exactly once.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace skyloom {

template <typename T, typename Traits>
class UniqueWinHandle {
 public:
  UniqueWinHandle() = default;
  explicit UniqueWinHandle(T handle) : handle_(handle) {}
  ~UniqueWinHandle() { reset(); }
  UniqueWinHandle(UniqueWinHandle&& other) noexcept : handle_(other.release()) {}
  UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueWinHandle(const UniqueWinHandle&) = delete;
  UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;

  T get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  T release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(T handle = Traits::Invalid()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static bool Valid(HWND h) { return h != nullptr; }
  static void Close(HWND h) { DestroyWindow(h); }
};
struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static bool Valid(HGDIOBJ h) { return h != nullptr; }
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct RegistryKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static bool Valid(HKEY h) { return h != nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static bool Valid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};

struct ImageListTraits {
  static HIMAGELIST Invalid() { return nullptr; }
  static bool Valid(HIMAGELIST h) { return h != nullptr; }
  static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct IconTraits {
  static HICON Invalid() { return nullptr; }
  static bool Valid(HICON h) { return h != nullptr; }
  static void Close(HICON h) { DestroyIcon(h); }
};

struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { FindClose(h); }
};

using UniqueHandle = UniqueWinHandle<HANDLE, KernelHandleTraits>;
using UniqueWindow = UniqueWinHandle<HWND, WindowTraits>;
using UniqueGdiObject = UniqueWinHandle<HGDIOBJ, GdiObjectTraits>;
using UniqueKey = UniqueWinHandle<HKEY, RegistryKeyTraits>;
using UniqueMemoryDc = UniqueWinHandle<HDC, MemoryDcTraits>;
using UniqueFindHandle = UniqueWinHandle<HANDLE, FindHandleTraits>;
using UniqueImageList = UniqueWinHandle<HIMAGELIST, ImageListTraits>;
using UniqueIcon = UniqueWinHandle<HICON, IconTraits>;

// A window's device context, released to its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The paint DC of a WM_PAINT, ended with the scope.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects an object into a DC for the scope and puts the old one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, old_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace skyloom
