// Start-up: one instance per session; initialise the toolkit, create the
// main window, run the command line, run the message loop.
#include <windows.h>

#include "app/main_form.h"
#include "app/single_instance.h"
#include "toolkit/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  using namespace skyloom;
  const auto arguments = ProcessArguments();
  TSingleInstance instance(L"Local\\Skyloom.SingleInstance");
  if (!instance.IsFirst()) return HandOverCommandLine(arguments) ? 0 : 1;

  TApplication application;
  application.Title = L"Skyloom";
  TMainForm mainForm;
  application.SetMainWindow(mainForm.Handle());
  mainForm.Show();
  try {
    mainForm.RunCommandLine(arguments);
  } catch (...) {
    application.HandleCurrentException();
  }
  return application.Run();
}
