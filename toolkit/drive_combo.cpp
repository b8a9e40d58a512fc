#include "toolkit/drive_combo.h"

#include <cwctype>

#include "toolkit/directory_list.h"

namespace skyloom {

namespace {

// "c:", and " [label]" for fixed drives; removable drives are not asked for
// a label, which could wait for the medium.
std::wstring DriveText(wchar_t letter) {
  std::wstring text{static_cast<wchar_t>(std::towlower(letter)), L':'};
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  if (GetDriveTypeW(root) != DRIVE_FIXED) return text;
  wchar_t label[MAX_PATH + 1] = {};
  if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) && label[0])
    text += std::wstring(L" [") + label + L"]";
  return text;
}

}  // namespace

TDriveComboBox::TDriveComboBox(HWND parent, int left, int top, int width, int height) {
  CreateControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, parent, left, top, width, height + 200);
  Refresh();
  // The drive of the process's current directory.
  wchar_t current[MAX_PATH] = {};
  if (GetCurrentDirectoryW(MAX_PATH, current) && current[1] == L':') Select(current[0]);
}

void TDriveComboBox::Refresh() {
  const DWORD mask = GetLogicalDrives();
  if (mask == mask_ && !drives_.empty()) return;
  const wchar_t selected = DirList && DirList->Drive() ? DirList->Drive() : Drive();
  mask_ = mask;
  drives_.clear();
  SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
  for (int bit = 0; bit < 26; ++bit) {
    if (!(mask & (1u << bit))) continue;
    const auto letter = static_cast<wchar_t>(L'A' + bit);
    drives_.push_back(letter);
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveText(letter).c_str()));
  }
  if (selected) Select(selected);
}

wchar_t TDriveComboBox::DriveAt(int index) const {
  if (index < 0 || index >= Count()) return L'\0';
  return drives_[static_cast<std::size_t>(index)];
}

wchar_t TDriveComboBox::Drive() const {
  return DriveAt(static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)));
}

void TDriveComboBox::Select(wchar_t letter) {
  letter = static_cast<wchar_t>(std::towupper(letter));
  for (int i = 0; i < Count(); ++i)
    if (DriveAt(i) == letter) SendMessageW(Handle(), CB_SETCURSEL, i, 0);
}

bool TDriveComboBox::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message != WM_COMMAND) return false;
  switch (HIWORD(wParam)) {
    case CBN_DROPDOWN:
      Refresh();
      return true;
    case CBN_SELCHANGE:
      if (DirList && Drive()) DirList->SetDrive(Drive());
      return true;
    default:
      return false;
  }
}

}  // namespace skyloom
