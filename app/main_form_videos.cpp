// The video playlist's editing commands.
#include "app/main_form.h"

namespace skyloom {

void TMainForm::ToolButton18Click(void*) {
  if (!OpenVideo.Execute(Handle())) return;
  const int index = VideoCheck->Add(OpenVideo.FileName());
  VideoCheck->SetChecked(index, true);
}

void TMainForm::ToolButton19Click(void*) { DeleteSelected(*VideoCheck); }
void TMainForm::DeleteImage2Click(void*) { DeleteSelected(*VideoCheck); }
void TMainForm::ToolButton21Click(void*) { CheckAll(*VideoCheck, true); }
void TMainForm::ToolButton22Click(void*) { CheckAll(*VideoCheck, false); }

}  // namespace skyloom
