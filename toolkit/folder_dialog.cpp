#include "toolkit/folder_dialog.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <memory>

#include "toolkit/application.h"
#include "toolkit/com_scope.h"

namespace skyloom {
namespace {

constexpr DWORD kSubfoldersCheck = 1;

template <typename T>
using ComPtr = std::unique_ptr<T, ReleaseInterface>;

struct FreeTaskMemory {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

}  // namespace

bool TFolderDialog::Execute(HWND owner) {
  if (auto& runner = TApplication::Instance().FolderDialogRunner) return runner(*this);
  const ComScope com;
  bool available = false;
  const bool confirmed = ExecuteItemDialog(owner, available);
  return available ? confirmed : ExecuteOldDialog(owner);
}

// The item dialog in folder mode, with a check box for the subfolders.
bool TFolderDialog::ExecuteItemDialog(HWND owner, bool& available) {
  IFileOpenDialog* raw = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&raw)))) return false;
  const ComPtr<IFileOpenDialog> dialog(raw);
  available = true;
  DWORD options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  IFileDialogCustomize* customizeRaw = nullptr;
  dialog->QueryInterface(IID_PPV_ARGS(&customizeRaw));
  const ComPtr<IFileDialogCustomize> customize(customizeRaw);
  if (customize) customize->AddCheckButton(kSubfoldersCheck, subfoldersText_.c_str(), includeSubfolders_);
  IShellItem* startRaw = nullptr;
  if (!folder_.empty() && SUCCEEDED(SHCreateItemFromParsingName(folder_.c_str(), nullptr, IID_PPV_ARGS(&startRaw)))) {
    const ComPtr<IShellItem> start(startRaw);
    dialog->SetFolder(start.get());
  }
  if (FAILED(dialog->Show(owner))) return false;
  IShellItem* resultRaw = nullptr;
  if (FAILED(dialog->GetResult(&resultRaw))) return false;
  const ComPtr<IShellItem> result(resultRaw);
  wchar_t* path = nullptr;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) return false;
  const std::unique_ptr<wchar_t, FreeTaskMemory> owned(path);
  folder_ = path;
  BOOL checked = includeSubfolders_;
  if (customize && SUCCEEDED(customize->GetCheckButtonState(kSubfoldersCheck, &checked)))
    includeSubfolders_ = checked != FALSE;
  return true;
}

// Older systems: the folder browser, then the subfolder choice as a question.
bool TFolderDialog::ExecuteOldDialog(HWND owner) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  const std::unique_ptr<ITEMIDLIST, FreeTaskMemory> chosen(SHBrowseForFolderW(&info));
  if (!chosen) return false;
  wchar_t path[MAX_PATH]{};
  if (!SHGetPathFromIDListW(chosen.get(), path)) return false;
  folder_ = path;
  const std::wstring question = subfoldersText_ + L"?";
  includeSubfolders_ = MessageBoxW(owner, question.c_str(), TApplication::Instance().Title.c_str(),
                                   MB_YESNO | MB_ICONQUESTION) == IDYES;
  return true;
}

}  // namespace skyloom
