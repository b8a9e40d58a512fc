// The image playlist: rotation tick, previous, double-click, editing.
#include "app/check_list_playlist.h"
#include "app/main_form.h"
#include "toolkit/random.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {

namespace {
constexpr wchar_t kNoPictureChecked[] = L"No picture is checked: use Check all Files";
}  // namespace

// Every step goes through the portable rotation: the tick, two back, or
// from the clicked entry. What the user may not see happen (nothing to
// show, a listed file gone) is said in the status bar, never in a box that
// would stop an unattended timer.
template <typename Step, typename... Extra>
void TMainForm::Rotate(Step step, Extra... extra) {
  rotation_.random = randomcheck->Checked();
  TCheckListPlaylist list(*ImageListBox);
  std::wstring folderNote;
  const TFolderReader folders = FolderReader(folderNote);
  // With a picture per screen the tick's picture is kept for the first
  // monitor and the next ones are picked before anything is applied.
  const std::size_t screens = ScreensToFill();
  std::vector<std::string> pictures;
  const TShowImage show = [this, screens, &pictures](const std::string& path) {
    if (!FileExists(path)) return StatusBar1->SetText(L"File not found: " + Widen(path));
    if (screens < 2) return SetWallpaperFromFile(path);
    pictures.push_back(path);
  };
  const auto shown = step(extra..., list, rotation_, AppRandom(), show, folders);
  if (shown && !pictures.empty()) {
    PickMoreForScreens(list, folders, screens, pictures);
    ApplyPictures(pictures);
  }
  if (!shown && ImageListBox->Count() > 0 && !AnyChecked(*ImageListBox)) StatusBar1->SetText(kNoPictureChecked);
  if (!folderNote.empty()) StatusBar1->SetText(folderNote);
  if (shown) StateChanged();  // the round and the history moved on
}

// Starting the timer over a list without a checked entry would tick in
// vain; the user hears why at once.
void TMainForm::SayIfNothingChecked() {
  if (ImageListBox->Count() > 0 && !AnyChecked(*ImageListBox)) StatusBar1->SetText(kNoPictureChecked);
}

void TMainForm::Timer1Timer(void*) { Rotate(RotationTick); }
void TMainForm::NextImage1Click(void*) { Rotate(RotationTick); }
void TMainForm::PrevImage1Click(void*) { Rotate(RotatePrevious); }
void TMainForm::ImageListBoxDblClick(void*) { Rotate(RotateFrom, ImageListBox->ItemIndex()); }
void TMainForm::ResumeRotation() { Rotate(RotateResume); }

// Loads the selected entry into the snapshot preview;
// the bar runs during the load and drops back to 0 at its end.
void TMainForm::ImageListBoxClick(void*) {
  const int index = ImageListBox->ItemIndex();
  if (index < 0) return;
  const std::string path = Narrow(ImageListBox->Strings(index));
  if (ParseFolderRow(path))
    StatusBar1->SetText(L"");  // a folder row has no single picture to preview
  else if (FileExists(path))
    ImageIO1.LoadFromFile(path);
  else
    StatusBar1->SetText(L"File not found: " + Widen(path));
  ProgressBar->SetPosition(0);
}

void TMainForm::ToolButton4Click(void*) {
  CheckAll(*ImageListBox, true);
  if (StatusBar1->Text() == kNoPictureChecked) StatusBar1->SetText(L"");
  StateChanged();
}
void TMainForm::ToolButton7Click(void*) {
  CheckAll(*ImageListBox, false);
  StateChanged();
}
void TMainForm::DeleteImage1Click(void*) { DeleteSelected(*ImageListBox); }

void TMainForm::AddCheckedImage(const std::wstring& path) {
  const int index = ImageListBox->Add(path);
  ImageListBox->SetChecked(index, true);
  StateChanged();
}

void TMainForm::CheckAll(TCheckListBox& list, bool checked) {
  for (int i = 0; i < list.Count(); ++i) list.SetChecked(i, checked);
}

bool TMainForm::AnyChecked(const TCheckListBox& list) {
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Checked(i)) return true;
  }
  return false;
}

// Deletes the selected entry and selects the one before it; the cursor is
// left alone (the next tick brings it back into range). Without a
// selection there is nothing to delete.
void TMainForm::DeleteSelected(TCheckListBox& list) {
  const int index = list.ItemIndex();
  if (index < 0) return;
  list.Delete(index);
  if (index - 1 >= 0) list.SetItemIndex(index - 1);
  StateChanged();
}

}  // namespace skyloom
