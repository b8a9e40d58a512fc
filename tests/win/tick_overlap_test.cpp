// Timer ticks never run inside another tick or a command: not while the
// settings broadcast waits for a slow window, not while a command's error
// box runs its modal loop. A tick that falls due meanwhile runs after the
// command has returned.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "form_fixture.h"

namespace skyloom {
namespace {

using testing::FormTest;
using testing::TestApplication;
using Clock = std::chrono::steady_clock;

// A top-level window on a thread of its own that takes its time over every
// settings change.
class SlowRecipient {
 public:
  SlowRecipient() {
    thread_ = std::thread([this] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_WININICHANGE) Sleep(400);
        return DefWindowProcW(window, message, wParam, lParam);
      };
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"SkyloomSlowRecipient";
      RegisterClassW(&wc);
      HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                    wc.hInstance, nullptr);
      threadId_ = GetCurrentThreadId();
      ready_ = true;
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      DestroyWindow(window);
    });
    while (!ready_) Sleep(5);
  }
  ~SlowRecipient() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false};
  DWORD threadId_ = 0;
};

// Pumps the way a modal box does: every message, through any window.
void RunModalLoopFor(std::chrono::milliseconds length) {
  const auto end = Clock::now() + length;
  while (Clock::now() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

struct TickOverlapTest : FormTest {
  bool inCommand = false;
  bool nested = false;
  int ticks = 0;

  void StartRecordingTimer(int delay) {
    form->Timer1->SetOnTimer([this](void*) {
      if (inCommand) nested = true;
      ++ticks;
    });
    form->Timer1->SetDelay(delay);
    form->Timer1->SetActive(true);
  }
  void WaitForATick() {
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (ticks == 0 && Clock::now() < end) {
      TestApplication().ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    form->Timer1->SetActive(false);
  }
};

TEST_F(TickOverlapTest, NotWhileTheBroadcastWaitsForASlowWindow) {
  SlowRecipient slow;
  form->AddCheckedImage((std::filesystem::path(SKYLOOM_TESTDATA_DIR) / "bmpsuite/g/rgb24.bmp").wstring());
  StartRecordingTimer(50);
  inCommand = true;
  form->NextImage1Click(nullptr);  // the broadcast waits 400 ms on the slow window
  inCommand = false;
  WaitForATick();
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(nested);
  EXPECT_GE(ticks, 1);
}

TEST_F(TickOverlapTest, NotWhileACommandsErrorBoxIsOpen) {
  TestApplication().ErrorReporter = [this](const std::wstring& text) {
    errors.push_back(text);
    RunModalLoopFor(std::chrono::milliseconds(400));
  };
  StartRecordingTimer(30);
  inCommand = true;
  answers = {(dir / L"missing.Gal").wstring()};
  ClickButton(*form->ToolBar1, L"Open Gallery File");  // "Cannot open file ..."
  inCommand = false;
  ASSERT_EQ(errors.size(), 1u);
  WaitForATick();
  EXPECT_FALSE(nested);
  EXPECT_GE(ticks, 1);
}

}  // namespace
}  // namespace skyloom
