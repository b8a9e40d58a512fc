#include "toolkit/application.h"

#include <commctrl.h>

#include <condition_variable>
#include <new>
#include <mutex>

#include "toolkit/errors.h"
#include "toolkit/text_win.h"
#include "toolkit/window.h"

namespace skyloom {
namespace {

constexpr UINT kSynchronizeMessage = WM_APP + 1;
constexpr wchar_t kUtilityClass[] = L"TSkyloomUtility";
TApplication* g_application = nullptr;  // the one instance, set by its constructor

}  // namespace

// A call handed to the main thread; the caller waits on it until done.
struct TApplication::SyncCall {
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
  wc.lpfnWndProc = UtilityProc;
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
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) HandleTopLevel(msg);
  return static_cast<int>(msg.wParam);
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
  if (msg.hwnd == utility_.get() && msg.message == kSynchronizeMessage) {
    reinterpret_cast<SyncCall*>(msg.lParam)->Run();
  } else if (DialogKey(msg)) {
    // Tab, Enter and the like, used by the window's keyboard order.
  } else {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // Calls that a modal loop inside that handler took from the queue.
  RunWaitingCalls();
}

bool TApplication::DialogKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  TForm* form = TForm::FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
  return form && form->DialogKey(msg);
}

void TApplication::RunWaitingCalls() {
  while (!waiting_.empty()) {
    SyncCall* sync = waiting_.front();
    waiting_.pop_front();
    sync->Run();
  }
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
  SyncCall sync{&call, nullptr};
  if (!PostMessageW(utility_.get(), kSynchronizeMessage, 0, reinterpret_cast<LPARAM>(&sync)))
    throw EError("Cannot hand the call to the main thread");
  std::unique_lock lock(sync.mutex);
  sync.finished.wait(lock, [&] { return sync.done; });
  if (sync.error) std::rethrow_exception(sync.error);
}

void TApplication::AnswerSynchronizeCalls() {
  TakeQueuedCalls();
  RunWaitingCalls();
}

void TApplication::TakeQueuedCalls() {
  MSG msg;
  while (PeekMessageW(&msg, utility_.get(), kSynchronizeMessage, kSynchronizeMessage, PM_REMOVE))
    waiting_.push_back(reinterpret_cast<SyncCall*>(msg.lParam));
}

// Reached only when a loop other than the top-level one dispatches the call
// (a modal loop inside a handler): it waits until that handler has returned.
LRESULT CALLBACK TApplication::UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kSynchronizeMessage || !g_application) return DefWindowProcW(window, message, wParam, lParam);
  g_application->waiting_.push_back(reinterpret_cast<SyncCall*>(lParam));
  return 0;
}

}  // namespace skyloom
