// Messages another program can send or post to our windows: whatever their
// parameters hold, nothing is called through them and nothing crashes. And
// the top-level loop outlives a message the system fails to hand over.
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "form_fixture.h"
#include "toolkit/handles.h"

namespace skyloom {
namespace {

using testing::FormTest;
using testing::TestApplication;

constexpr wchar_t kForeignClass[] = L"SkyloomForeignMarkedWindow";

// Not a test: started in a second process by the test below, it shows a
// window marked as one of our controls and carrying a chosen value.
TEST(DISABLED_ForeignWindow, Host) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kForeignClass;
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, kForeignClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  SetPropW(window, L"TSkyloomControl", reinterpret_cast<HANDLE>(1));
  SetWindowLongPtrW(window, GWLP_USERDATA, 0x1234);
  MSG msg;
  while (IsWindow(window) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_CLOSE) break;
    DispatchMessageW(&msg);
  }
}

UniqueHandle StartForeignHost() {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  std::wstring line = L"\"" + self + L"\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_ForeignWindow.Host";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return {};
  CloseHandle(info.hThread);
  return UniqueHandle(info.hProcess);
}

HWND WaitForForeignWindow() {
  for (int i = 0; i < 400; ++i) {
    if (HWND window = FindWindowW(kForeignClass, nullptr)) return window;
    Sleep(50);
  }
  return nullptr;
}

// The hand-over's doorbell with garbage, a forged command-line doorbell,
// menu and copy-data messages with garbage: none runs anything; a worker's
// call still arrives afterwards.
TEST_F(FormTest, ForgedMessagesWithGarbageDoNothing) {
  HWND utility = FindWindowExW(HWND_MESSAGE, nullptr, L"TSkyloomUtility", nullptr);
  ASSERT_NE(utility, nullptr);
  PostMessageW(utility, WM_APP + 1, 0x5678, 0x1234);
  PostMessageW(utility, WM_APP + 1, 0, -1);
  PostMessageW(form->Handle(), WM_APP, 0x5678, 0x1234);
  PostMessageW(form->Handle(), WM_TIMER, 1, 0x1234);  // a timer callback this program never set
  TestApplication().ProcessMessages();
  EXPECT_EQ(SendMessageW(form->XPPopupMenu1->MessageWindow(), WM_MENUCHAR, 'n', 0x1234), 0);

  EXPECT_EQ(SendMessageW(form->Handle(), WM_COPYDATA, 0, 0), FALSE);
  COPYDATASTRUCT other{0x1234, 4, const_cast<wchar_t*>(L"ab")};
  EXPECT_EQ(SendMessageW(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&other)), FALSE);
  COPYDATASTRUCT holed{TMainForm::kCommandLineData, 8, nullptr};
  EXPECT_EQ(SendMessageW(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&holed)), FALSE);
  TestApplication().ProcessMessages();
  EXPECT_TRUE(errors.empty());

  std::atomic<bool> ran{false};
  std::thread worker([&] { TestApplication().Synchronize([&] { ran = true; }); });
  for (int i = 0; i < 500 && !ran; ++i) {
    TestApplication().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  worker.join();
  EXPECT_TRUE(ran);
}

// Messages that name a control by its window: a window of another program,
// marked as ours and carrying a pointer of its choosing, is not taken for one.
TEST_F(FormTest, AForeignWindowIsNotTakenForAControl) {
  UniqueHandle host = StartForeignHost();
  ASSERT_TRUE(host);
  HWND foreign = WaitForForeignWindow();
  ASSERT_NE(foreign, nullptr);
  const auto named = reinterpret_cast<LPARAM>(foreign);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), named);
  SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, 0, named);
  SendMessageW(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(foreign), MAKELPARAM(10, 10));
  PostMessageW(form->Handle(), WM_VSCROLL, SB_LINEDOWN, named);
  TestApplication().ProcessMessages();
  EXPECT_TRUE(errors.empty());
  PostMessageW(foreign, WM_CLOSE, 0, 0);
  WaitForSingleObject(host.get(), 20000);
}

// A handed-over line whose data ends without a NUL keeps its last argument.
TEST_F(FormTest, AHandedOverLineWithoutItsLastNulKeepsItsLastArgument) {
  const auto gal = WriteFile(L"unended.Gal", "one\r\ntwo\r\n");
  const std::wstring text = L"/stop" + std::wstring(1, L'\0') + gal;  // no NUL at the end
  COPYDATASTRUCT data{TMainForm::kCommandLineData, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(text.data())};
  EXPECT_EQ(SendMessageW(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  TestApplication().ProcessMessages();
  EXPECT_EQ(form->ImageListBox->Count(), 2);
  EXPECT_TRUE(errors.empty());
}

// A failing read of the queue is reported once and the loop goes on to the
// messages after it; only the end of the queue ends it.
TEST_F(FormTest, TheLoopOutlivesAFailingRead) {
  int reads = 0;
  bool handled = false;
  PostMessageW(form->Handle(), WM_APP, 0, 0);  // a doorbell with nothing queued
  TestApplication().MessageSource = [&](MSG& msg) -> BOOL {
    switch (reads++) {
      case 0:
      case 1:
      case 2:
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
      case 3:
        handled = PeekMessageW(&msg, form->Handle(), WM_APP, WM_APP, PM_REMOVE) != FALSE;
        return TRUE;
      default:
        msg = MSG{};
        msg.message = WM_QUIT;
        msg.wParam = 7;
        return FALSE;
    }
  };
  const int code = TestApplication().Run();
  TestApplication().MessageSource = nullptr;
  EXPECT_EQ(code, 7);
  EXPECT_TRUE(handled);
  EXPECT_EQ(reads, 5);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(L"message queue"), std::wstring::npos);
}

}  // namespace
}  // namespace skyloom
