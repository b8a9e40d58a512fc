// Remembering between runs: the main window's side of the state. Changes
// reach StateChanged from the controls' events (hooked here) and from the
// commands; the recorder writes them a short while later and at the end.
#include <algorithm>

#include "app/main_form.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

void CollectPlaylist(const TCheckListBox& list, int cursor, TPlaylistState& state) {
  state = {};
  const auto items = list.Items();
  state.entries.reserve(items.size());
  state.checked.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    state.entries.push_back(Narrow(items[i]));
    state.checked.push_back(list.Checked(static_cast<int>(i)));
  }
  if (list.ItemIndex() >= 0) state.selected.push_back(list.ItemIndex());
  state.cursor = cursor;
}

// Entries whose files are missing stay: a removable drive may be absent.
void RestorePlaylist(TCheckListBox& list, const TPlaylistState& state) {
  std::vector<std::wstring> items;
  items.reserve(state.entries.size());
  for (const auto& entry : state.entries) items.push_back(Widen(entry));
  list.Assign(std::move(items));
  for (std::size_t i = 0; i < state.checked.size() && i < state.entries.size(); ++i) {
    if (state.checked[i]) list.SetChecked(static_cast<int>(i), true);
  }
  const bool selectable = !state.selected.empty() && state.selected.front() >= 0 &&
                          state.selected.front() < list.Count();
  list.SetItemIndex(selectable ? state.selected.front() : -1);
}

// Runs the event's handler, if any, and then the addition.
void Chain(TNotifyEvent& event, std::function<void()> addition) {
  event = [previous = event, addition = std::move(addition)](void* sender) {
    if (previous) previous(sender);
    addition();
  };
}

}  // namespace

void TMainForm::CollectState(TAppState& state) const {
  CollectPlaylist(*ImageListBox, rotation_.cursor, state.images);
  CollectPlaylist(*VideoCheck, VideoCursor, state.videos);
  state.intervalMinutes = timeredit->Value();
  state.random = randomcheck->Checked();
  state.filter = ResizeBox->ItemIndex();
  state.activeTab = PageControl1->ActivePageIndex();
  state.timerRunning = Timer1->Active();
  state.videoPlaying = VideoRunning();
  state.playingVideo = state.videoPlaying ? Narrow(MediaPlayer21->FileName) : "";
  CollectWindowState(state.window);
  CollectScreenState(state);
  CollectFolderState(state);
  CollectPauseState(state);
}

// Whether the timer ran and the video played comes back in ResumeRunning,
// after every setting is in place.
void TMainForm::RestoreState(const TAppState& state) {
  RestorePlaylist(*ImageListBox, state.images);
  rotation_.cursor = state.images.cursor;
  RestorePlaylist(*VideoCheck, state.videos);
  VideoCursor = state.videos.cursor;
  timeredit->SetValue(std::clamp(state.intervalMinutes, timeredit->MinValue(), timeredit->MaxValue()));
  Timer1->SetDelay(timeredit->Value() * 60000);
  randomcheck->SetChecked(state.random);
  if (state.filter >= 0 && state.filter < ResizeBox->Count()) ResizeBox->SetItemIndex(state.filter);
  if (state.activeTab >= 0 && state.activeTab < PageControl1->PageCount())
    PageControl1->SetActivePageIndex(state.activeTab);
  RestoreWindowState(state.window);
  RestoreScreenState(state);
  RestoreFolderState(state);
  RestorePauseState(state);
}

void TMainForm::StateChanged() {
  if (stateRecorder_) stateRecorder_->Changed();
}

// What the start shows counts as written: a start that changes nothing
// writes nothing.
void TMainForm::StartRemembering(std::unique_ptr<TStateStore> store, bool restore) {
  TLoadedState loaded = restore ? store->Load() : TLoadedState{};
  // The recorder is made after the restore, so what it changes is no change to write.
  if (restore) RestoreState(loaded.state);
  stateRecorder_ = std::make_unique<TStateRecorder>(
      std::move(store), Handle(), loaded.state, [this](TAppState& state) { CollectState(state); },
      [this](const std::wstring& text) { StatusBar1->SetText(text); });
  if (restore) {
    PreviewRestoredSelection();
    ResumeRunning(loaded.state);
  }
  if (!(restore && loaded.state.window.known && loaded.state.window.hidden)) Show();
  stateRecorder_->TakeAsWritten();
  if (!loaded.note.empty()) StatusBar1->SetText(loaded.note);
}

// The snapshot shows the selected picture again, as it did; one that cannot
// be read leaves it empty, without a box at start.
void TMainForm::PreviewRestoredSelection() {
  const int index = ImageListBox->ItemIndex();
  if (index < 0 || !FileExists(Narrow(ImageListBox->Strings(index)))) return;
  try {
    ImageListBoxClick(nullptr);
  } catch (const std::exception&) {
    ProgressBar->SetPosition(0);
  }
}

// A timer that ran starts again with its full interval; a video that
// played plays again from its start, and the list goes on after it as before.
void TMainForm::ResumeRunning(const TAppState& state) {
  if (state.timerRunning) ToolButton11Click(nullptr);
  if (state.videoPlaying) ResumeRestoredVideo(state);
}

void TMainForm::ResumeRestoredVideo(const TAppState& state) {
  const std::wstring path = Widen(state.playingVideo);
  const auto items = VideoCheck->Items();
  // The row before the cursor played last; another row of the same path will do.
  int row = VideoCursor - 1;
  if (row < 0 || row >= static_cast<int>(items.size()) || items[static_cast<std::size_t>(row)] != path)
    row = static_cast<int>(std::find(items.begin(), items.end(), path) - items.begin());
  if (row >= static_cast<int>(items.size())) return;
  if (!FileExists(state.playingVideo)) return StatusBar1->SetText(L"File not found: " + path);
  const int cursor = VideoCursor;
  VideoCursor = row;
  try {
    ToolButton24Click(nullptr);
  } catch (const std::exception& error) {
    StatusBar1->SetText(Widen(error.what()));  // no box at start: the user may be away
  }
  VideoCursor = std::max(cursor, row + 1);
}

// Only the place: the window's size follows the DPI. A place on a screen
// that is gone is left to the centring.
void TMainForm::CollectWindowState(TWindowState& window) const {
  WINDOWPLACEMENT placement{sizeof placement};
  GetWindowPlacement(Handle(), &placement);
  const RECT& r = placement.rcNormalPosition;
  window = {true, r.left, r.top, r.right - r.left, r.bottom - r.top, IsZoomed(Handle()) != FALSE,
            !IsWindowVisible(Handle())};
}

void TMainForm::RestoreWindowState(const TWindowState& window) {
  if (!window.known) return;
  WINDOWPLACEMENT placement{sizeof placement};
  GetWindowPlacement(Handle(), &placement);
  RECT& r = placement.rcNormalPosition;
  OffsetRect(&r, window.left - r.left, window.top - r.top);
  if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return;
  placement.flags = 0;
  placement.showCmd = window.maximized ? SW_SHOWMAXIMIZED : window.hidden ? SW_HIDE : SW_SHOWNORMAL;
  SetWindowPlacement(Handle(), &placement);
  if (window.maximized && window.hidden) Hide();
}

void TMainForm::WatchStateChanges() {
  const auto changed = [this] { StateChanged(); };
  for (TCheckListBox* list : {ImageListBox.get(), VideoCheck.get()}) {
    Chain(list->OnClick, changed);
    Chain(list->OnClickCheck, changed);
  }
  Chain(randomcheck->OnClick, changed);
  Chain(ResizeBox->OnChange, changed);
  Chain(timeredit->OnChange, changed);
  Chain(PageControl1->OnChange, changed);
}

// The recorder's timer; the end of the program and of the session write at
// once. Closing the window collects before it is hidden to be destroyed.
bool TMainForm::StateMessage(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_TIMER:
      return stateRecorder_ && stateRecorder_->Timer(wParam);
    case WM_MOVE:
    case WM_SIZE:
    case WM_SHOWWINDOW:
      StateChanged();
      return false;
    case WM_QUERYENDSESSION:
      if (stateRecorder_) stateRecorder_->Flush();
      return false;
    case WM_ENDSESSION:
      if (stateRecorder_ && wParam) stateRecorder_->Finish();
      return false;
    case WM_CLOSE:
      if (stateRecorder_) stateRecorder_->Finish();
      return false;
    default:
      return false;
  }
}

}  // namespace skyloom
