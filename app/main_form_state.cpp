// Remembering between runs: the main window's side of the state.
#include "app/main_form.h"

namespace skyloom {

// TODO: collect, restore and the debounced write are being built.
void TMainForm::CollectState(TAppState& state) const { CollectFolderState(state); }
void TMainForm::RestoreState(const TAppState& state) { RestoreFolderState(state); }
void TMainForm::StateChanged() {}

}  // namespace skyloom
