// The thumbnail browser on a directory tree the tests build: which files the
// grid shows, hover and double-click over it, the LZW hooks on activation
// and the modal showing from the main window.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include "app/thumb_form.h"
#include "image/lzw_hooks.h"
#include "tests/win/form_fixture.h"
#include "tests/win/tiny_pictures.h"
#include "toolkit/text_win.h"

namespace skyloom::testing {
namespace {

// Maps a drive letter to a folder: DefineDosDevice on Windows; under Wine,
// whose file system ignores that, the mount manager's request that makes a
// drive letter of a host directory. Answers whether the folder shows.
struct WineUnixDrive {  // the mount manager's request record
  ULONG size, type, fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset, deviceOffset, labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// A null path removes the drive.
bool WineDefineDrive(wchar_t letter, const char* unixPath, ULONG type = DRIVE_FIXED) {
  std::string request(sizeof(WineUnixDrive), '\0');
  WineUnixDrive drive{};
  drive.type = unixPath ? type : DRIVE_NO_ROOT_DIR;
  drive.letter = letter;
  if (unixPath) {
    drive.mountPointOffset = static_cast<USHORT>(request.size());
    request.append(unixPath).push_back('\0');
  }
  drive.size = static_cast<ULONG>(request.size());
  std::memcpy(request.data(), &drive, sizeof drive);
  UniqueHandle manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (manager.get() == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  return DeviceIoControl(manager.get(), kDefineUnixDrive, request.data(), drive.size, nullptr, 0, &returned,
                         nullptr);
}

// A CD drive without a disc: listed by the system, nothing readable on it.
bool MapDriveWithoutMedium(wchar_t letter) {
  const std::wstring device{letter, L':'};
  const bool made = WineDefineDrive(letter, "/nonexistent/skyloom-no-medium", DRIVE_CDROM) ||
                    DefineDosDeviceW(DDD_RAW_TARGET_PATH, device.c_str(), L"\\Device\\SkyloomNoMedium");
  return made && (GetLogicalDrives() & (1u << (letter - L'A'))) &&
         GetFileAttributesW((device + L"\\").c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool MapDrive(wchar_t letter, const std::filesystem::path& folder, const std::wstring& marker) {
  const std::wstring device{letter, L':'};
  const std::wstring probe = device + L"\\" + marker;
  if (DefineDosDeviceW(0, device.c_str(), folder.c_str()) && GetFileAttributesW(probe.c_str()) != INVALID_FILE_ATTRIBUTES)
    return true;
  DefineDosDeviceW(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
  using UnixName = char*(CDECL*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  char* path = unixName(folder.c_str());
  if (!path) return false;
  const bool made = WineDefineDrive(letter, path);
  HeapFree(GetProcessHeap(), 0, path);
  return made && GetFileAttributesW(probe.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void UnmapDrive(wchar_t letter) {
  const std::wstring device{letter, L':'};
  DefineDosDeviceW(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
  WineDefineDrive(letter, nullptr);
}

class ThumbFormTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    thumbForm->Beep = [this] { ++beeps; };
    HoverFileName().clear();
  }

  std::wstring Put(const std::filesystem::path& folder, const std::wstring& name, const std::string& bytes,
                   DWORD attributes = 0) {
    std::filesystem::create_directories(folder);
    const auto path = folder / name;
    std::ofstream(path, std::ios::binary) << bytes;
    if (attributes) SetFileAttributesW(path.c_str(), attributes);
    return path.wstring();
  }

  std::vector<std::wstring> Shown() const {
    std::vector<std::wstring> names;
    auto& grid = *thumbForm->ImageMView1;
    for (int i = 0; i < grid.ImageCount(); ++i) names.push_back(Widen(grid.GetImageFileName(i)));
    return names;
  }

  void Move(int x, int y) { SendMessageW(thumbForm->ImageMView1->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  // What the system sends for a double click.
  void DoubleClick(int x, int y) {
    const HWND grid = thumbForm->ImageMView1->Handle();
    SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    SendMessageW(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  int beeps = 0;
};

TEST_F(ThumbFormTest, RefillShowsPlainPicturesInFileSystemOrder) {
  const auto pictures = dir / L"pictures";
  const std::wstring d = pictures.wstring();
  std::set<std::wstring> expected = {
      Put(pictures, L"a.bmp", TinyBmp()),
      Put(pictures, L"b.GIF", kTinyGif),
      Put(pictures, L"read-only.bmp", TinyBmp(), FILE_ATTRIBUTE_READONLY),
      Put(pictures, L"\u753b\u50cf\u0416.bmp", TinyBmp()),  // outside any 8-bit code page
  };
  Put(pictures, L"bmp-inside.jpg", TinyBmp());  // extension and content disagree
  Put(pictures, L"hidden.bmp", TinyBmp(), FILE_ATTRIBUTE_HIDDEN);
  Put(pictures, L"system.bmp", TinyBmp(), FILE_ATTRIBUTE_SYSTEM);
  Put(pictures, L"empty.bmp", "");
  Put(pictures, L"notes.txt", "not a picture");
  std::filesystem::create_directories(pictures / L"folder.bmp");
  // Held open without sharing: the known-image test cannot open it.
  const std::wstring locked = Put(pictures, L"locked.bmp", TinyBmp());
  UniqueHandle lock(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);

  thumbForm->DirectoryListBox1->SetDirectory(d);
  const auto shown = Shown();
  EXPECT_EQ(std::set<std::wstring>(shown.begin(), shown.end()), expected);
  // The order of a second, independent enumeration of the directory.
  std::vector<std::wstring> order;
  for (const auto& entry : std::filesystem::directory_iterator(pictures))
    if (expected.count(entry.path().wstring())) order.push_back(entry.path().wstring());
  EXPECT_EQ(shown, order);
  EXPECT_TRUE(errors.empty());

  // The list shows the parents, the directory and its subdirectory.
  auto& list = *thumbForm->DirectoryListBox1;
  EXPECT_EQ(list.ItemPath(list.Count() - 1), d + L"\\folder.bmp");
  EXPECT_EQ(list.ItemPath(list.Count() - 2), d);
  EXPECT_EQ(list.ItemPath(0), d.substr(0, 3));

  // Double-clicking the subdirectory opens it with one change; no pictures
  // there, and a directory that has gone leaves the grid empty too, without
  // an error box.
  int changes = 0;
  list.OnChange = [&changes, inner = list.OnChange](void* sender) {
    ++changes;
    inner(sender);
  };
  list.SetDirectory(d + L"\\");
  EXPECT_EQ(changes, 0);
  SendMessageW(list.Handle(), LB_SETCURSEL, list.Count() - 1, 0);
  SendMessageW(thumbForm->Handle(), WM_COMMAND, MAKEWPARAM(list.Id(), LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list.Handle()));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.Directory(), d + L"\\folder.bmp");
  EXPECT_TRUE(Shown().empty());
  thumbForm->DirectoryListBox1->SetDirectory(d);
  EXPECT_EQ(Shown().size(), 4u);
  thumbForm->DirectoryListBox1->SetDirectory(d + L"\\gone");
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(errors.empty());
  SetCurrentDirectoryW(dir.c_str());
}

TEST_F(ThumbFormTest, ANewDirectoryOpensAtTheTop) {
  for (int i = 0; i < 200; ++i) Put(dir / L"many", std::to_wstring(i) + L".bmp", TinyBmp());
  for (int i = 0; i < 120; ++i) Put(dir / L"fewer", std::to_wstring(i) + L".bmp", TinyBmp());
  auto& grid = *thumbForm->ImageMView1;
  thumbForm->DirectoryListBox1->SetDirectory((dir / L"many").wstring());
  ASSERT_EQ(grid.ImageCount(), 200);
  grid.ScrollTo(0, 3000);
  ASSERT_EQ(grid.ViewY(), 3000);
  thumbForm->DirectoryListBox1->SetDirectory((dir / L"fewer").wstring());
  ASSERT_EQ(grid.ImageCount(), 120);
  EXPECT_EQ(grid.ViewY(), 0);
  EXPECT_EQ(grid.VisibilityOf(0), 2);
  SetCurrentDirectoryW(dir.c_str());
}

// A real wheel notch with the pointer over the grid while the directory
// list has the focus: the system's lines, each a row of 100 + 4 pixels.
TEST_F(ThumbFormTest, TheWheelOverTheGridScrollsItsRows) {
  for (int i = 0; i < 60; ++i) Put(dir / L"many", std::to_wstring(i) + L".bmp", TinyBmp());
  thumbForm->DirectoryListBox1->SetDirectory((dir / L"many").wstring());
  auto& grid = *thumbForm->ImageMView1;
  ShowWindow(thumbForm->Handle(), SW_SHOW);
  SetForegroundWindow(thumbForm->Handle());
  SetFocus(thumbForm->DirectoryListBox1->Handle());
  RECT r{};
  GetWindowRect(grid.Handle(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
  ASSERT_EQ(SendInput(1, &wheel, sizeof wheel), 1u);
  const DWORD start = GetTickCount();
  while (grid.ViewY() == 0 && GetTickCount() - start < 5000) {
    TestApplication().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  UINT lines = 0;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(grid.ViewY(), static_cast<int>(lines) * 104);  // 15 rows: room for a few lines
  SetCurrentDirectoryW(dir.c_str());
}

// Drives mapped after the window was made show up when the selector drops
// down; choosing one opens it with one change. In a root the stored paths
// hold two backslashes; a drive without a medium leaves the grid empty.
TEST_F(ThumbFormTest, ChoosingADriveOpensItsRoot) {
  const auto root = dir / L"root";
  Put(root, L"a.bmp", TinyBmp());
  ASSERT_TRUE(MapDrive(L'Q', root, L"a.bmp"));
  ASSERT_TRUE(MapDriveWithoutMedium(L'X'));
  auto& drives = *thumbForm->DriveComboBox1;
  auto& list = *thumbForm->DirectoryListBox1;
  int changes = 0;
  list.OnChange = [&changes, inner = list.OnChange](void* sender) {
    ++changes;
    inner(sender);
  };
  auto command = [&](int code) {
    SendMessageW(thumbForm->Handle(), WM_COMMAND, MAKEWPARAM(drives.Id(), code),
                 reinterpret_cast<LPARAM>(drives.Handle()));
  };
  auto choose = [&](wchar_t letter) {
    command(CBN_DROPDOWN);
    int row = 0;
    while (row < drives.Count() && drives.DriveAt(row) != letter) ++row;
    ASSERT_LT(row, drives.Count());
    SendMessageW(drives.Handle(), CB_SETCURSEL, row, 0);
    command(CBN_SELCHANGE);
  };

  choose(L'Q');
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.Directory(), L"Q:\\");
  EXPECT_EQ(Shown(), std::vector<std::wstring>{L"Q:\\\\a.bmp"});
  choose(L'X');
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(list.Directory(), L"X:\\");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(errors.empty());

  SetCurrentDirectoryW(dir.c_str());
  UnmapDrive(L'Q');
  UnmapDrive(L'X');
  command(CBN_DROPDOWN);
  for (int row = 0; row < drives.Count(); ++row) EXPECT_NE(drives.DriveAt(row), L'Q');
  EXPECT_EQ(drives.Drive(), L'\0');  // the list's drive has gone
}

TEST_F(ThumbFormTest, HoverAndDoubleClickAddTheFileUnderTheMouse) {
  const auto pictures = dir / L"hover";
  const std::wstring picture = Put(pictures, L"\u753b\u50cf.bmp", TinyBmp());
  Put(dir / L"nothing", L"notes.txt", "");
  auto& grid = *thumbForm->ImageMView1;
  auto& status = *thumbForm->StatusBar1;
  thumbForm->DirectoryListBox1->SetDirectory(pictures.wstring());
  ASSERT_EQ(grid.ImageCount(), 1);
  // The default cell: 100 x 100 after a 4-pixel gap.
  ASSERT_EQ(grid.GetImageX(0), 4);
  ASSERT_EQ(grid.GetImageY(0), 4);

  Move(103, 103);  // the cell's last pixel
  EXPECT_EQ(HoverFileName(), picture);
  EXPECT_EQ(status.Text(), picture);
  DoubleClick(103, 103);
  DoubleClick(103, 103);
  EXPECT_EQ(form->ImageListBox->Items(), (std::vector<std::wstring>{picture, picture}));
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{true, true}));
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(status.Text(), picture + L" - Added to List");

  // An empty grid keeps the remembered name: a double-click adds it again.
  thumbForm->DirectoryListBox1->SetDirectory((dir / L"nothing").wstring());
  Move(50, 50);
  EXPECT_EQ(status.Text(), picture);
  DoubleClick(50, 50);
  EXPECT_EQ(form->ImageListBox->Count(), 3);

  // A gap clears it, and a double-click there adds nothing.
  thumbForm->DirectoryListBox1->SetDirectory(pictures.wstring());
  Move(104, 50);
  EXPECT_EQ(HoverFileName(), L"");
  EXPECT_EQ(status.Text(), L"");
  DoubleClick(104, 50);
  EXPECT_EQ(form->ImageListBox->Count(), 3);
  EXPECT_EQ(beeps, 3);

  // The directory vanishes while shown: the cell stays empty, no error box.
  SetCurrentDirectoryW(dir.c_str());
  std::filesystem::remove_all(pictures);
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  grid.PaintTo(dc.get());
  EXPECT_EQ(grid.ImageCount(), 1);
  EXPECT_EQ(grid.PictureCount(), 0);
  EXPECT_TRUE(errors.empty());
}

// Checked from inside the modal loop; then the keyboard opens the directory
// list's last entry (Enter) and closes the window (Escape).
struct ModalProbe {
  HWND mainWindow = nullptr, browser = nullptr, list = nullptr;
  bool ran = false, mainEnabled = true, browserVisible = false, listFocused = false;
};
ModalProbe g_probe;

void CALLBACK ProbeModal(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_probe.ran = true;
  g_probe.mainEnabled = IsWindowEnabled(g_probe.mainWindow);
  g_probe.browserVisible = IsWindowVisible(g_probe.browser);
  g_probe.listFocused = GetFocus() == g_probe.list;
  SendMessageW(g_probe.list, LB_SETCURSEL, SendMessageW(g_probe.list, LB_GETCOUNT, 0, 0) - 1, 0);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) PostMessageW(g_probe.list, WM_KEYDOWN, key, 0);
}

TEST_F(ThumbFormTest, AddFilesShowsTheBrowserModallyOverADisabledMainWindow) {
  EXPECT_FALSE(thumbForm->Visible());
  // Its activation fills the engine's LZW slots.
  auto& hooks = GlobalLzwHooks();
  const TLzwHooks saved = hooks;
  hooks = {};
  const auto start = dir / L"modal";
  std::filesystem::create_directories(start / L"inner");
  thumbForm->DirectoryListBox1->SetDirectory(start.wstring());
  g_probe = {form->Handle(), thumbForm->Handle(), thumbForm->DirectoryListBox1->Handle()};
  ShowWindow(form->Handle(), SW_SHOW);
  SetForegroundWindow(form->Handle());
  SetTimer(nullptr, 0, 50, ProbeModal);
  ClickButton(*form->ToolBar1, L"Add Files to List");
  EXPECT_TRUE(g_probe.ran);
  EXPECT_FALSE(g_probe.mainEnabled);
  EXPECT_TRUE(g_probe.browserVisible);
  EXPECT_TRUE(g_probe.listFocused);
  EXPECT_EQ(thumbForm->DirectoryListBox1->Directory(), (start / L"inner").wstring());
  SetCurrentDirectoryW(dir.c_str());
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_FALSE(thumbForm->Visible());
  EXPECT_EQ(GetActiveWindow(), form->Handle());  // closing gives the activation back
  EXPECT_TRUE(hooks.GifDecoder && hooks.GifEncoder && hooks.TiffDecoder && hooks.TiffEncoder);
  hooks = saved;
  EXPECT_TRUE(errors.empty());
  RECT outer{};
  GetWindowRect(thumbForm->Handle(), &outer);
  EXPECT_EQ(outer.right - outer.left, 665);
  EXPECT_EQ(outer.bottom - outer.top, 500);
}

}  // namespace
}  // namespace skyloom::testing
