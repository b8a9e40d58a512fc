#include "toolkit/application.h"

#include <commctrl.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <utility>

#include "toolkit/errors.h"
#include "toolkit/text_win.h"
#include "toolkit/window.h"

namespace skyloom {
namespace {

// A doorbell only: it carries nothing, so a message forged by another
// program can at most make the loop look at its own queue of calls.
constexpr UINT kSynchronizeMessage = WM_APP + 1;
constexpr wchar_t kUtilityClass[] = L"TSkyloomUtility";
TApplication* g_application = nullptr;  // the one instance, set by its constructor

}  // namespace

// A call handed to the main thread; the caller waits on it until done.
struct TApplication::SyncCall {
  explicit SyncCall(const std::function<void()>& c) : call(&c) {}
  const std::function<void()>* call;
  std::exception_ptr error;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;

  void Run() {
    try {
      (*call)();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(mutex);
    done = true;
    finished.notify_all();
  }
};

TApplication::TApplication() : mainThread_(GetCurrentThreadId()) {
  g_application = this;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  // The doorbell needs no handling of its own: when a loop other than the
  // top-level one (a modal loop inside a handler) dispatches it, the calls
  // wait in the queue until that handler has returned.
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kUtilityClass;
  RegisterClassExW(&wc);
  utility_.reset(CreateWindowExW(0, kUtilityClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
}

TApplication::~TApplication() {
  utility_.reset();
  if (g_application == this) g_application = nullptr;
}

TApplication& TApplication::Instance() { return *g_application; }

int TApplication::Run() {
  RunWaitingCalls();  // from an error box shown before the loop started
  MSG msg{};
  bool reported = false;
  for (;;) {
    const BOOL got = MessageSource ? MessageSource(msg) : GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got > 0) {
      HandleTopLevel(msg);
      continue;
    }
    // A message the system could not hand over (Wine fails on a huge
    // WM_COPYDATA) is lost, not the program. A failure that repeats must not
    // spin the processor, nor fill the screen with boxes.
    if (!std::exchange(reported, true)) ReportQueueFailure(GetLastError());
    Sleep(10);
  }
}

void TApplication::ProcessMessages() {
  RunWaitingCalls();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HandleTopLevel(msg);
  }
}

void TApplication::HandleTopLevel(MSG& msg) {
  const bool doorbell = msg.hwnd == utility_.get() && msg.message == kSynchronizeMessage;
  // Tab, Enter and the like go through the window's keyboard order.
  if (!doorbell && !DialogKey(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The doorbell's calls, and those whose doorbell a modal loop inside that
  // handler took.
  RunWaitingCalls();
}

bool TApplication::DialogKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  TForm* form = TForm::FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
  return form && form->DialogKey(msg);
}

void TApplication::RunWaitingCalls() {
  while (SyncCall* sync = TakeWaitingCall()) sync->Run();
}

TApplication::SyncCall* TApplication::TakeWaitingCall() {
  std::lock_guard lock(waitingMutex_);
  if (waiting_.empty()) return nullptr;
  SyncCall* sync = waiting_.front();
  waiting_.pop_front();
  return sync;
}

void TApplication::ReportQueueFailure(DWORD code) {
  const auto number = static_cast<long long>(code);
  ShowException(EError(FormatMessage1("Cannot read the message queue (system error %d)", number)));
}

void TApplication::ShowException(const std::exception& error) {
  const std::wstring text = Widen(ErrorBoxText(error.what()));
  if (ErrorReporter) {
    ErrorReporter(text);
    return;
  }
  MessageBoxW(mainWindow_, text.c_str(), Title.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::HandleCurrentException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    ShowException(EOutOfMemory());  // any refused allocation, in the box's own words
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowException(EError("Unknown error"));
  }
}

void TApplication::Synchronize(const std::function<void()>& call) {
  if (GetCurrentThreadId() == mainThread_) {
    call();
    return;
  }
  // Posted, not sent: a sent message would be answered by any modal loop
  // or waiting send inside a handler, running the call in the middle of it.
  SyncCall sync(call);
  {
    std::lock_guard lock(waitingMutex_);
    waiting_.push_back(&sync);
  }
  if (!PostMessageW(utility_.get(), kSynchronizeMessage, 0, 0) && Withdraw(&sync))
    throw EError("Cannot hand the call to the main thread");
  std::unique_lock lock(sync.mutex);
  sync.finished.wait(lock, [&] { return sync.done; });
  if (sync.error) std::rethrow_exception(sync.error);
}

// False when the main thread has taken the call already (another call's
// doorbell rang for it): then it runs, and the caller waits as usual.
bool TApplication::Withdraw(SyncCall* sync) {
  std::lock_guard lock(waitingMutex_);
  const auto found = std::find(waiting_.begin(), waiting_.end(), sync);
  if (found == waiting_.end()) return false;
  waiting_.erase(found);
  return true;
}

void TApplication::AnswerSynchronizeCalls() { RunWaitingCalls(); }

}  // namespace skyloom
