#pragma once
// The application object: title, main window, message loop, error box, and
// the synchronous call onto the main thread.
#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "toolkit/handles.h"

namespace skyloom {

class TFileDialog;
class TFolderDialog;

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The one application object of the process.
  static TApplication& Instance();

  std::wstring Title = L"Skyloom";

  void SetMainWindow(HWND window) { mainWindow_ = window; }
  HWND MainWindow() const { return mainWindow_; }

  // Runs the message loop until the main window closes (WM_QUIT).
  int Run();
  // Dispatches what is queued and returns. Like Run, it is a top-level loop:
  // call it between handlers, never from inside one.
  void ProcessMessages();

  // The error box: error icon, the title as caption, the message with "."
  // appended when it ends in a character that sorts after ".".
  void ShowException(const std::exception& error);
  // For use inside a catch block: reports whatever is being handled.
  void HandleCurrentException();

  // Seams for tests and automation: when set, they replace the modal error
  // box and the common file dialogs.
  std::function<void(const std::wstring& text)> ErrorReporter;
  std::function<std::optional<std::wstring>(const TFileDialog& dialog)> FileDialogRunner;
  // Sets the dialog's folder and choice and answers whether it was confirmed.
  std::function<bool(TFolderDialog& dialog)> FolderDialogRunner;
  // Where Run takes its messages, GetMessageW's way (1 a message, 0 the
  // end, -1 a failure); GetMessageW itself when unset.
  std::function<BOOL(MSG& msg)> MessageSource;

  // Runs call on the main thread and waits for it; an exception it raises
  // is raised again in the calling thread. The call runs from the top-level
  // message loop only, between two messages: never inside a handler, nor
  // inside a modal loop (error box, file dialog, a broadcast that waits) that
  // a handler runs, so it cannot overlap a command. A call that arrives
  // meanwhile waits until the handler has returned.
  void Synchronize(const std::function<void()>& call);
  // Runs the main-thread calls other threads are waiting in, now, wherever
  // the main thread is, and nothing else (no queued input or paint
  // messages). Only for tearing down a thread that may be waiting in one.
  void AnswerSynchronizeCalls();

 private:
  struct SyncCall;
  // Handles one retrieved message: synchronised calls run (top level), all
  // else is dispatched.
  void HandleTopLevel(MSG& msg);
  // The keyboard order of the form the key goes to; answers whether used.
  static bool DialogKey(MSG& msg);
  void RunWaitingCalls();
  void ReportQueueFailure(DWORD code);
  SyncCall* TakeWaitingCall();
  bool Withdraw(SyncCall* sync);

  HWND mainWindow_ = nullptr;
  DWORD mainThread_ = 0;
  UniqueWindow utility_;
  // Calls handed over by other threads, oldest first; the posted message
  // only wakes the loop.
  std::mutex waitingMutex_;
  std::deque<SyncCall*> waiting_;
};

}  // namespace skyloom
