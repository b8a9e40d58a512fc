// Saving and loading the playlists as gallery list files.
#include "app/list_file.h"
#include "app/main_form.h"
#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {

void TMainForm::SaveGallery1Click(void*) { SaveList(SaveDialog1, *ImageListBox); }
void TMainForm::ToolButton30Click(void*) { SaveList(SaveVidGal, *VideoCheck); }

void TMainForm::LoadGallery1Click(void*) {
  if (OpenDialog2.Execute(Handle())) LoadImageList(OpenDialog2.FileName());
}

void TMainForm::ToolButton29Click(void*) {
  if (OpenVidGal.Execute(Handle())) LoadVideoList(OpenVidGal.FileName());
}

void TMainForm::LoadImageList(const std::wstring& path) {
  LoadList(path, *ImageListBox);
  rotation_.cursor = ImageListBox->TopIndex();
}

void TMainForm::LoadVideoList(const std::wstring& path) {
  LoadList(path, *VideoCheck);
  VideoCursor = VideoCheck->TopIndex();
}

// Gallery files hold 8-bit text in the system code page. An entry that the
// code page cannot hold would come back as a different path, so the save is
// refused before the file is touched, naming the entry.
void TMainForm::SaveList(TFileDialog& dialog, const TCheckListBox& list) {
  if (!dialog.Execute(Handle())) return;
  std::vector<std::string> entries;
  for (const auto& item : list.Items()) {
    auto bytes = ToCodePage(item);
    if (!bytes)
      throw EError(FormatMessage1("Cannot save the gallery file: the entry \"%s\" has characters that the "
                                  "system code page cannot hold",
                                  Narrow(item)));
    entries.push_back(std::move(*bytes));
  }
  SaveListFile(Narrow(dialog.FileName()), entries);
}

// The entries are converted in steps; a long list shows its progress in
// the status bar after each, and the window keeps answering the messages
// other programs send it meanwhile. The control takes the whole list in one
// step at the end.
void TMainForm::LoadList(const std::wstring& path, TCheckListBox& list) {
  const auto bytes = ReadListFile(Narrow(path));  // raises before the list is touched
  const auto entries = SplitListFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  constexpr std::size_t kStep = 100000;
  if (entries.size() > kStep) ShowLoadProgress(0);
  std::vector<std::wstring> items;
  items.reserve(entries.size());
  for (const auto entry : entries) {
    items.push_back(FromCodePage(entry));
    if (items.size() % kStep == 0) ShowLoadProgress(static_cast<int>(items.size() * 100 / entries.size()));
  }
  list.Assign(std::move(items));
  list.SetItemIndex(-1);
  StatusBar1->SetText(L"");
  StateChanged();
}

void TMainForm::ShowLoadProgress(int percent) {
  StatusBar1->SetText(L"Loading the list: " + std::to_wstring(percent) + L" %");
  RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // what waits to be painted
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // answers sent messages, takes nothing
}

}  // namespace skyloom
