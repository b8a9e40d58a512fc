#include "toolkit/application.h"

#include <commctrl.h>

#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

constexpr UINT kSynchronizeMessage = WM_APP + 1;
constexpr wchar_t kUtilityClass[] = L"TSkyloomUtility";
TApplication* g_application = nullptr;  // the one instance, set by its constructor

struct SyncCall {
  const std::function<void()>* call;
  std::exception_ptr error;
};

}  // namespace

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
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
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
  SyncCall sync{&call, nullptr};
  SendMessageW(utility_.get(), kSynchronizeMessage, 0, reinterpret_cast<LPARAM>(&sync));
  if (sync.error) std::rethrow_exception(sync.error);
}

void TApplication::AnswerSynchronizeCalls() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

LRESULT CALLBACK TApplication::UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kSynchronizeMessage) return DefWindowProcW(window, message, wParam, lParam);
  auto* sync = reinterpret_cast<SyncCall*>(lParam);
  try {
    (*sync->call)();
  } catch (...) {
    sync->error = std::current_exception();
  }
  return 0;
}

}  // namespace skyloom
