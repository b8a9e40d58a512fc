#include "toolkit/dialogs.h"

#include <commdlg.h>

#include <vector>

#include "toolkit/application.h"

namespace skyloom {

std::wstring TFileDialog::FilterBuffer(const std::wstring& filter) {
  std::wstring buffer = filter;
  for (auto& c : buffer)
    if (c == L'|') c = L'\0';
  buffer.push_back(L'\0');
  buffer.push_back(L'\0');
  return buffer;
}

bool TFileDialog::Execute(HWND owner) {
  auto& application = TApplication::Instance();
  if (application.FileDialogRunner) {
    const auto chosen = application.FileDialogRunner(*this);
    if (!chosen) return false;
    fileName_ = *chosen;
    return true;
  }
  const std::wstring filter = FilterBuffer(filter_);
  // The common dialog wants the extension without its dot.
  const std::wstring extension = defaultExt_.starts_with(L".") ? defaultExt_.substr(1) : defaultExt_;
  std::vector<wchar_t> name(32768, L'\0');
  fileName_.copy(name.data(), name.size() - 1);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // Any name is allowed: an opened file need not exist, a saved one is
  // replaced without asking.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  const BOOL confirmed = kind_ == Kind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!confirmed) return false;
  fileName_ = name.data();
  return true;
}

}  // namespace skyloom
