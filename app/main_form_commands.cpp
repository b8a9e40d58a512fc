// Window-level commands and the command line (ours, or one handed over by a
// second start of the program).
#include <algorithm>

#include "app/main_form.h"
#include "app/thumb_form.h"
#include "toolkit/application.h"
#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {
void TMainForm::ToolButton1Click(void*) {
  if (ThumbForm) ThumbForm->ShowModal();
}
// A typed interval outside 1..2000 minutes (the spin edit corrects it only
// when it loses the focus, which the toolbar never takes) is brought into
// range here and shown corrected.
void TMainForm::ToolButton11Click(void*) {
  const int minutes = std::clamp(timeredit->Value(), timeredit->MinValue(), timeredit->MaxValue());
  if (minutes != timeredit->Value() || timeredit->Caption() != std::to_wstring(minutes)) timeredit->SetValue(minutes);
  timeredit->SetEnabledBoth(false);
  Timer1->SetDelay(minutes * 60000);
  Timer1->SetActive(true);
  WatchScreen();
  SetTimerControls(true);
  SayIfNothingChecked();
}

void TMainForm::ToolButton3Click(void*) {
  Timer1->SetActive(false);
  SetTimerControls(false);
  timeredit->SetEnabledBoth(true);
}

// The toolbar buttons and the tray menu items of the timer, both ways.
void TMainForm::SetTimerControls(bool running) {
  StopTimer1->Enabled = running;
  StartTimer1->Enabled = !running;
  ToolBar1->SetButtonEnabled(StartButton, !running);
  ToolBar1->SetButtonEnabled(StopButton, running);
  StateChanged();
}

// Theme values the system holds in a form the program cannot read are
// named once, at start, and read as missing; the next change of wallpaper
// writes them back as text.
void TMainForm::ReportThemeProblems() const {
  const auto& problems = DesktopTheme->ReadProblems;
  if (problems.empty()) return;
  std::string text = problems.front();
  for (std::size_t i = 1; i < problems.size(); ++i) text += ".\n" + problems[i];
  TApplication::Instance().ShowException(EError(text));
}

TCommandLine TMainForm::ParseArguments(const std::vector<std::wstring>& arguments) {
  std::vector<std::string> utf8;
  for (const auto& argument : arguments) utf8.push_back(Narrow(argument));
  return ParseCommandLine(utf8);  // refuses the whole line on an unknown switch
}

void TMainForm::RunCommandLine(const std::vector<std::wstring>& arguments) {
  const TCommandLine line = ParseArguments(arguments);
  for (const auto& list : line.lists) {
    if (list.kind == TListKind::Images) LoadImageList(Widen(list.path));
    if (list.kind == TListKind::Videos) LoadVideoList(Widen(list.path));
  }
  for (const auto command : line.commands) RunCommand(command, line);
}

// The video switches leave a video that is not there alone: /startvideo
// does not toggle a running one off, /stopvideo and /nextvideo need one open.
void TMainForm::RunCommand(TCommand command, const TCommandLine& line) {
  switch (command) {
    case TCommand::Next: return NextImage1Click(nullptr);
    case TCommand::Prev: return PrevImage1Click(nullptr);
    case TCommand::Start: return ToolButton11Click(nullptr);
    case TCommand::Stop: return ToolButton3Click(nullptr);
    case TCommand::Show: return OpenDialog1Click(nullptr);
    case TCommand::Hide: return ToolButton15Click(nullptr);
    case TCommand::Exit: return Exit1Click(nullptr);
    case TCommand::CheckAllImages: return ToolButton4Click(nullptr);
    case TCommand::CheckAllVideos: return ToolButton21Click(nullptr);
    case TCommand::StartVideo: return VideoRunning() ? void() : ToolButton24Click(nullptr);
    case TCommand::StopVideo: return MediaPlayer21->IsOpen() ? ToolButton25Click(nullptr) : void();
    case TCommand::NextVideo: return MediaPlayer21->IsOpen() ? NextVideo1Click(nullptr) : void();
    case TCommand::Pause: return SetUserPause(true);
    case TCommand::Resume: return SetUserPause(false);
    case TCommand::Mute: return SetMuted(true);
    case TCommand::Unmute: return SetMuted(false);
    case TCommand::Status: return WriteStatus(line.statusPath);
  }
}

// The arguments arrive as wide strings, each ended by a NUL. They run from
// the queue, so that the sending process is released at once even when a
// command shows the error box. Data with another tag is not ours.
bool TMainForm::OnCopyData(const COPYDATASTRUCT& data) {
  if (data.dwData != kCommandLineData || (data.cbData != 0 && !data.lpData)) return false;
  const std::wstring_view payload(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
  pendingCommandLines_.push_back(SplitHandedOverArguments(payload));
  PostMessageW(Handle(), WM_APP, 0, 0);
  return true;
}

// The message carries nothing: a forged one runs at most what is queued.
// A second start without arguments asks for the window.
void TMainForm::RunHandedOverCommandLine() {
  if (pendingCommandLines_.empty()) return;
  const auto arguments = std::move(pendingCommandLines_.front());
  pendingCommandLines_.erase(pendingCommandLines_.begin());
  if (arguments.empty()) return ShowForm();
  RunCommandLine(arguments);
}

}  // namespace skyloom
