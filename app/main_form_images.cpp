// The image playlist: rotation tick, previous, double-click, editing.
#include "app/check_list_playlist.h"
#include "app/main_form.h"
#include "toolkit/random.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {

// Every step goes through the portable rotation: the tick, two back, or
// from the clicked entry.
template <typename Step, typename... Extra>
void TMainForm::Rotate(Step step, Extra... extra) {
  rotation_.random = randomcheck->Checked();
  TCheckListPlaylist list(*ImageListBox);
  step(extra..., list, rotation_, AppRandom(), [this](const std::string& path) { SetWallpaperFromFile(path); });
}

void TMainForm::Timer1Timer(void*) { Rotate(RotationTick); }
void TMainForm::NextImage1Click(void*) { Rotate(RotationTick); }
void TMainForm::PrevImage1Click(void*) { Rotate(RotatePrevious); }
void TMainForm::ImageListBoxDblClick(void*) { Rotate(RotateFrom, ImageListBox->ItemIndex()); }

// Loads the selected entry into the snapshot preview;
// the bar runs during the load and drops back to 0 at its end.
void TMainForm::ImageListBoxClick(void*) {
  const int index = ImageListBox->ItemIndex();
  if (index < 0) return;
  const std::string path = Narrow(ImageListBox->Strings(index));
  if (FileExists(path)) ImageIO1.LoadFromFile(path);
  ProgressBar->SetPosition(0);
}

void TMainForm::ToolButton4Click(void*) { CheckAll(*ImageListBox, true); }
void TMainForm::ToolButton7Click(void*) { CheckAll(*ImageListBox, false); }
void TMainForm::DeleteImage1Click(void*) { DeleteSelected(*ImageListBox); }

void TMainForm::AddCheckedImage(const std::wstring& path) {
  const int index = ImageListBox->Add(path);
  ImageListBox->SetChecked(index, true);
}

void TMainForm::CheckAll(TCheckListBox& list, bool checked) {
  for (int i = 0; i < list.Count(); ++i) list.SetChecked(i, checked);
}

// Deletes the selected entry and selects the one before it; the cursor is
// left alone (the next tick brings it back into range).
void TMainForm::DeleteSelected(TCheckListBox& list) {
  const int index = list.ItemIndex();
  list.Delete(index);
  if (index - 1 >= 0) list.SetItemIndex(index - 1);
}

}  // namespace skyloom
