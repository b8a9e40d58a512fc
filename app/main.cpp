// Start-up: one instance per session; initialise the toolkit, create the
// main window and the hidden thumbnail browser, run the command line, run
// the message loop.
#include <windows.h>

#include <memory>

#include "app/exit_deadline.h"
#include "app/main_form.h"
#include "app/single_instance.h"
#include "app/status_console.h"
#include "app/thumb_form.h"
#include "state/state_location.h"
#include "toolkit/application.h"
#include "toolkit/text_win.h"

namespace {
constexpr DWORD kExitDeadlineMs = 10000;

// A command line that does not parse restores as usual: running it says
// what is wrong with it.
bool StartsFresh(const std::vector<std::wstring>& arguments) {
  try {
    return skyloom::TMainForm::ParseArguments(arguments).fresh;
  } catch (const skyloom::EError&) {
    return false;
  }
}

// Shows the window as it was. Without a state folder the program runs on
// and says that it cannot remember.
void StartRemembering(skyloom::TMainForm& form, bool fresh) {
  try {
    auto store = std::make_unique<skyloom::TStateStore>(skyloom::StateFolder(form.AppDir()));
    form.StartRemembering(std::move(store), !fresh);
  } catch (const std::exception& error) {
    form.Show();
    form.StatusBar1->SetText(L"Settings cannot be saved: " + skyloom::Widen(error.what()));
  }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  using namespace skyloom;
  const auto arguments = ProcessArguments();
  TSingleInstance instance(L"Local\\Skyloom.SingleInstance");
  if (!instance.IsFirst()) {
    const TStatusRequest status(arguments);
    if (HandOverCommandLine(status.Arguments(), instance)) return status.PrintWhenWritten() ? 0 : 1;
    MessageBoxW(nullptr, HandOverFailureText(arguments).c_str(), L"Skyloom", MB_OK | MB_ICONERROR);
    return 1;
  }

  TApplication application;
  application.Title = L"Skyloom";
  // A window that cannot be made (a damaged registry value read by the
  // desktop settings, say) is reported, and the program leaves cleanly.
  std::unique_ptr<TMainForm> mainForm;
  std::unique_ptr<Tthumbform> thumbForm;  // destroyed before the main window
  try {
    mainForm = std::make_unique<TMainForm>();
    thumbForm = std::make_unique<Tthumbform>(*mainForm);
    mainForm->ThumbForm = thumbForm.get();
  } catch (...) {
    application.HandleCurrentException();
    return 1;
  }
  application.SetMainWindow(mainForm->Handle());
  // The remembered state comes back first; a list file given replaces its
  // playlist after it.
  StartRemembering(*mainForm, StartsFresh(arguments));
  try {
    mainForm->RunCommandLine(arguments);
  } catch (...) {
    application.HandleCurrentException();
  }
  const int code = application.Run();
  // The window has closed the video device already (bounded on its own);
  // the rest of the clean-up gets some seconds, then the process ends anyway.
  TExitDeadline deadline(kExitDeadlineMs, static_cast<UINT>(code));
  thumbForm.reset();
  mainForm.reset();
  return code;
}
