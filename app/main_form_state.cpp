// Remembering between runs: the main window's side of the state.
#include "app/main_form.h"

namespace skyloom {

// TODO: collect, restore and the debounced write are being built.
void TMainForm::CollectState(TAppState& state) const { CollectScreenState(state); }
void TMainForm::RestoreState(const TAppState& state) { RestoreScreenState(state); }
void TMainForm::StateChanged() {}

}  // namespace skyloom
