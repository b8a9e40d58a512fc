#include "toolkit/directory_list.h"

#include <algorithm>

#include "toolkit/handles.h"
#include "toolkit/quiet_drive_errors.h"

namespace skyloom {

namespace {

bool IsRoot(const std::wstring& path) { return path.size() == 3 && path[1] == L':' && path[2] == L'\\'; }

std::wstring Join(const std::wstring& dir, const std::wstring& name) {
  return IsRoot(dir) ? dir + name : dir + L"\\" + name;
}

// Visible subdirectories in name order; none when the directory cannot be read.
std::vector<std::wstring> Subdirectories(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  const UniqueFindHandle find(FindFirstFileW(Join(dir, L"*").c_str(), &data));
  if (!find) return names;
  do {
    const DWORD attributes = data.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
      continue;
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find.get(), &data));
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
  return names;
}

}  // namespace

std::wstring NormalizeDirectory(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0) return path;
  full.resize(length);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (full.size() == 2 && full[1] == L':') full += L'\\';
  return full;
}

TDirectoryListBox::TDirectoryListBox(HWND parent, int left, int top, int width, int height, int itemHeight) {
  CreateControl(L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, parent,
                left, top, width, height);
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, itemHeight);
  directory_ = NormalizeDirectory(L".");
  Fill();
}

void TDirectoryListBox::SetDirectory(const std::wstring& path) {
  const std::wstring next = NormalizeDirectory(path);
  if (lstrcmpiW(next.c_str(), directory_.c_str()) == 0) return;
  directory_ = next;
  // As the platform's own list does; the browser uses Directory(), not this.
  SetCurrentDirectoryW(directory_.c_str());
  Fill();
  if (OnChange) OnChange(this);
}

void TDirectoryListBox::SetDrive(wchar_t letter) {
  const wchar_t drive[] = {letter, L':', L'\0'};
  SetDirectory(drive);
}

std::wstring TDirectoryListBox::ItemPath(int index) const {
  if (index < 0 || index >= Count()) return {};
  return paths_[static_cast<std::size_t>(index)];
}

int TDirectoryListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

// Opening the directory already shown asks for it again: OnChange once more,
// so that what shows it reads it afresh.
void TDirectoryListBox::OpenItem(int index) {
  if (index < 0 || index >= Count()) return;
  const std::wstring path = ItemPath(index);
  if (path != directory_) return SetDirectory(path);
  if (OnChange) OnChange(this);
}

void TDirectoryListBox::Fill() {
  QuietDriveErrors quiet;
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
  paths_.clear();
  int depth = 0;
  auto add = [this, &depth](const std::wstring& text, const std::wstring& path) {
    const std::wstring row = std::wstring(static_cast<std::size_t>(depth) * 2, L' ') + text;
    SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    paths_.push_back(path);
  };
  // Parents from the root down, then the directory itself. A path that
  // does not start with a drive (a network share) is shown as one row.
  const bool drive = directory_.size() >= 3 && directory_[1] == L':';
  std::wstring path = drive ? directory_.substr(0, 3) : directory_;
  add(path, path);
  std::size_t start = drive ? 3 : directory_.size();
  while (start < directory_.size()) {
    const std::size_t end = std::min(directory_.find(L'\\', start), directory_.size());
    ++depth;
    path = directory_.substr(0, end);
    add(directory_.substr(start, end - start), path);
    start = end + 1;
  }
  const int current = Count() - 1;
  ++depth;
  for (const auto& name : Subdirectories(directory_)) add(name, Join(directory_, name));
  SendMessageW(Handle(), LB_SETCURSEL, current, 0);
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool TDirectoryListBox::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message != WM_COMMAND || HIWORD(wParam) != LBN_DBLCLK) return false;
  OpenItem(ItemIndex());
  return true;
}

}  // namespace skyloom
