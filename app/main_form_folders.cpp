// Pictures by folder and by drag and drop: folder rows in the image list,
// files and folders dropped from the shell, and what the rotation remembers
// of them (the shuffled round, the history, the browser's folder).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwctype>

#include "app/folder_listing.h"
#include "app/main_form.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

constexpr wchar_t kVideoExtensions[][6] = {L".avi", L".mpg", L".mpeg", L".wmv", L".asf", L".mp4", L".m4v", L".mov",
                                           L".mkv"};

std::wstring LowerExtension(const std::wstring& path) {
  const auto dot = path.find_last_of(L".\\/");
  if (dot == std::wstring::npos || path[dot] != L'.') return L"";
  std::wstring extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(), [](wchar_t c) { return std::towlower(c); });
  return extension;
}

bool VideoExtension(const std::wstring& extension) {
  return std::find(std::begin(kVideoExtensions), std::end(kVideoExtensions), extension) != std::end(kVideoExtensions);
}

// The shell's drop data is released when the drop has been read.
class DropData {
 public:
  explicit DropData(HDROP drop) : drop_(drop) {}
  ~DropData() { DragFinish(drop_); }
  DropData(const DropData&) = delete;
  DropData& operator=(const DropData&) = delete;

  std::vector<std::wstring> Paths() const {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring path(DragQueryFileW(drop_, i, nullptr, 0) + 1, L'\0');
      path.resize(DragQueryFileW(drop_, i, path.data(), static_cast<UINT>(path.size())));
      paths.push_back(std::move(path));
    }
    return paths;
  }

 private:
  HDROP drop_;
};

constexpr char kNextMark[] = "next\t", kShownMark[] = "shown\t", kLastMark[] = "last\t";

}  // namespace

void TMainForm::AddFolder1Click(void*) {
  if (AddFolderDialog.Execute(Handle())) AddFolder(AddFolderDialog.Folder(), AddFolderDialog.IncludeSubfolders());
}

void TMainForm::AddFolder(const std::wstring& folder, bool includeSubfolders) {
  AddCheckedImage(Widen(FolderRowText(Narrow(folder), includeSubfolders)));
  StateChanged();
}

// A folder that cannot be read is passed over like a missing file: a note,
// never a box that would stop an unattended timer. The note is said after
// the tick, which may go on to apply a picture and clear the status bar.
// Folders are read off the window's thread; a tick that reaches one still
// being read runs on when the reader says it is done.
TFolderReader TMainForm::FolderReader(std::wstring& note) {
  auto reader =
      FileSystemFolderReader([&note](const std::string& folder) { note = L"Folder not found: " + Widen(folder); });
  if (!folderScan_) folderScan_ = std::make_unique<TFolderScan>(Handle(), kFolderRead);
  reader.read = [this](const TFolderRow& row) { return folderScan_->Read(row); };
  return reader;
}

// Drops also come from programs running at another integrity level, where
// the system lets their messages through.
void TMainForm::AcceptDrops() {
  DragAcceptFiles(Handle(), TRUE);
  constexpr UINT kCopyGlobalData = 0x0049;
  for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
    ChangeWindowMessageFilterEx(Handle(), message, MSGFLT_ALLOW, nullptr);
}

void TMainForm::DropFiles(HDROP drop) { AddDroppedFiles(DropData(drop).Paths()); }

// Folders become folder rows with their subfolders, gallery files load as
// "Open Gallery File" does, pictures join checked, videos join the video
// list when its page is showing; the rest is counted once in the status bar.
void TMainForm::AddDroppedFiles(const std::vector<std::wstring>& paths) {
  const bool videoPage = PageControl1->ActivePageIndex() == 1;
  int skipped = 0;
  for (const auto& path : paths) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const std::wstring extension = LowerExtension(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      ++skipped;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      AddCheckedImage(Widen(FolderRowText(Narrow(path), true)));
    } else if (extension == L".gal") {
      LoadImageList(path);
    } else if (extension == L".vgl") {
      LoadVideoList(path);
    } else if (videoPage && VideoExtension(extension)) {
      VideoCheck->SetChecked(VideoCheck->Add(path), true);
    } else if (IsPictureFile(Narrow(path))) {
      AddCheckedImage(path);
    } else {
      ++skipped;
    }
  }
  if (skipped > 0)
    StatusBar1->SetText(std::to_wstring(skipped) + (skipped == 1 ? L" dropped file was" : L" dropped files were") +
                        L" skipped: not a picture, folder or gallery file");
  StateChanged();
}

// The round as lines "next\t", "shown\t" and "last\t" before the entry (no
// path holds a tab); the history as "seconds\tpath", oldest first.
void TMainForm::CollectFolderState(TAppState& state) const {
  auto& shuffle = state.lists["shuffle"];
  shuffle.clear();
  for (const auto& entry : rotation_.round.Remaining()) shuffle.push_back(kNextMark + entry);
  for (const auto& entry : rotation_.round.Shown()) shuffle.push_back(kShownMark + entry);
  if (!rotation_.round.Last().empty()) shuffle.push_back(kLastMark + rotation_.round.Last());
  auto& history = state.lists["history"];
  history.clear();
  for (const auto& entry : rotation_.history.Entries())
    history.push_back(std::to_string(entry.time) + "\t" + entry.path);
  SetStateInt(state, "history_position", static_cast<int>(rotation_.history.Position()));
  if (!BrowseFolder.empty()) SetStateText(state, "browse_folder", Narrow(BrowseFolder));
}

void TMainForm::RestoreFolderState(const TAppState& state) {
  std::vector<std::string> remaining, shown;
  std::string last;
  if (const auto it = state.lists.find("shuffle"); it != state.lists.end()) {
    for (const auto& line : it->second) {
      if (line.starts_with(kNextMark)) remaining.push_back(line.substr(sizeof kNextMark - 1));
      if (line.starts_with(kShownMark)) shown.push_back(line.substr(sizeof kShownMark - 1));
      if (line.starts_with(kLastMark)) last = line.substr(sizeof kLastMark - 1);
    }
  }
  rotation_.round.Restore(std::move(remaining), shown, std::move(last));
  std::vector<THistoryEntry> history;
  if (const auto it = state.lists.find("history"); it != state.lists.end()) {
    for (const auto& line : it->second) {
      const auto tab = line.find('\t');
      if (tab == std::string::npos) continue;
      history.push_back({line.substr(tab + 1), std::strtoll(line.substr(0, tab).c_str(), nullptr, 10)});
    }
  }
  const int position = StateInt(state, "history_position", static_cast<int>(history.size()) - 1);
  rotation_.history.Restore(std::move(history), static_cast<std::size_t>(std::max(0, position)));
  BrowseFolder = Widen(StateText(state, "browse_folder", ""));
}

}  // namespace skyloom
