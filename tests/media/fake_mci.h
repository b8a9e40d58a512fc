#pragma once
// A scripted media control interface: it records every command with its
// flags, answers the status and capability queries from its fields, and
// posts the completion notices a real device posts: for each command sent
// with MCI_NOTIFY, "aborted" for a play that a stop or close cuts short,
// "superseded" for a play that another play replaces, and "successful" for
// a play that reaches its end (EndPlay).
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <deque>
#include <digitalv.h>
#include <string>
#include <vector>

#include "media/mci_driver.h"
#include "toolkit/handles.h"

namespace skyloom::testing {

struct MciCall {
  UINT command = 0;
  DWORD_PTR flags = 0;
  MCIDEVICEID device = 0;
  DWORD item = 0;    // status item
  HWND window = nullptr;
  RECT rect{};
  std::wstring element;  // opened file
};

class FakeMci : public TMciDriver {
 public:
  MCIERROR SendCommand(MCIDEVICEID device, UINT command, DWORD_PTR flags, void* params) override {
    MciCall call;
    call.command = command;
    call.flags = flags;
    call.device = device;
    const HWND callback = reinterpret_cast<HWND>(params ? static_cast<MCI_GENERIC_PARMS*>(params)->dwCallback : 0);
    switch (command) {
      case MCI_OPEN: {
        if (openResult) return openResult;
        auto& block = *static_cast<MCI_OPEN_PARMSW*>(params);
        device = block.wDeviceID = nextDevice++;
        call.element = block.lpstrElementName;
        mode = MCI_MODE_STOP;
        position = 0;
        break;
      }
      case MCI_CLOSE: {
        calls.push_back(call);
        if (closeGate) {  // touches nothing once released: the test may end at once
          closeBlocked = true;
          WaitForSingleObject(closeGate.get(), INFINITE);
          closeBlocked = false;
          return 0;
        }
        const MCIERROR result = closeResults.empty() ? 0 : closeResults.front();
        if (!closeResults.empty()) closeResults.pop_front();
        if (result) return result;
        if (device == playDevice) EndPendingPlay(MCI_NOTIFY_ABORTED);
        if (flags & MCI_NOTIFY) PostNotice(callback, MCI_NOTIFY_SUCCESSFUL, device);
        return 0;
      }
      case MCI_PLAY:
        EndPendingPlay(MCI_NOTIFY_SUPERSEDED);
        mode = MCI_MODE_PLAY;
        if (flags & MCI_NOTIFY) {
          playCallback = callback;
          playDevice = device;
        }
        calls.push_back(call);
        return 0;
      case MCI_STOP:
        EndPendingPlay(MCI_NOTIFY_ABORTED);
        mode = MCI_MODE_STOP;
        break;
      case MCI_SEEK:
        position = 0;
        break;
      case MCI_PAUSE:
        mode = MCI_MODE_PAUSE;
        break;
      case MCI_RESUME:
        mode = MCI_MODE_PLAY;
        break;
      case MCI_STATUS: {
        auto& block = *static_cast<MCI_STATUS_PARMS*>(params);
        call.item = block.dwItem;
        block.dwReturn = block.dwItem == MCI_STATUS_MODE       ? mode
                         : block.dwItem == MCI_STATUS_POSITION ? position
                                                               : length;
        break;
      }
      case MCI_GETDEVCAPS: {
        auto& block = *static_cast<MCI_GETDEVCAPS_PARMS*>(params);
        block.dwReturn = block.dwItem == MCI_GETDEVCAPS_DEVICE_TYPE ? MCI_DEVTYPE_DIGITAL_VIDEO : 1;
        break;
      }
      case MCI_WINDOW:
        call.window = static_cast<MCI_ANIM_WINDOW_PARMSW*>(params)->hWnd;
        calls.push_back(call);
        return windowResult;
      case MCI_PUT:
        call.rect = static_cast<MCI_ANIM_RECT_PARMS*>(params)->rc;
        break;
      case MCI_WHERE:
        static_cast<MCI_ANIM_RECT_PARMS*>(params)->rc = RECT{0, 0, 160, 120};
        break;
      default:
        break;
    }
    calls.push_back(call);
    if ((flags & MCI_NOTIFY) && command != MCI_STATUS) PostNotice(callback, MCI_NOTIFY_SUCCESSFUL, device);
    return 0;
  }
  bool ErrorText(MCIERROR, std::wstring&) override { return false; }

  // The playing file reaches its end.
  void EndPlay() {
    position = length;
    mode = MCI_MODE_STOP;
    EndPendingPlay(MCI_NOTIFY_SUCCESSFUL);
  }

  // The calls of one command, in order.
  std::vector<MciCall> Of(UINT command) const {
    std::vector<MciCall> found;
    for (const auto& call : calls) {
      if (call.command == command) found.push_back(call);
    }
    return found;
  }
  // The files opened, in order.
  std::vector<std::wstring> Opened() const {
    std::vector<std::wstring> files;
    for (const auto& call : Of(MCI_OPEN)) files.push_back(call.element);
    return files;
  }
  // The devices a close was sent to, refused or not, in order.
  std::vector<MCIDEVICEID> Closed() const {
    std::vector<MCIDEVICEID> devices;
    for (const auto& call : Of(MCI_CLOSE)) devices.push_back(call.device);
    return devices;
  }

  std::vector<MciCall> calls;
  DWORD mode = MCI_MODE_STOP, position = 0, length = 100;
  MCIERROR windowResult = 0, openResult = 0;
  std::deque<MCIERROR> closeResults;  // answers of the next closes; 0 when empty
  UniqueHandle closeGate;              // when set, a close waits until it is signalled
  std::atomic<bool> closeBlocked{false};
  MCIDEVICEID nextDevice = 7;

 private:
  void PostNotice(HWND callback, WPARAM code, MCIDEVICEID device) {
    if (callback) PostMessageW(callback, MM_MCINOTIFY, code, device);
  }
  void EndPendingPlay(WPARAM code) {
    if (!playCallback) return;
    PostNotice(playCallback, code, playDevice);
    playCallback = nullptr;
    playDevice = 0;
  }

  HWND playCallback = nullptr;
  MCIDEVICEID playDevice = 0;
};

}  // namespace skyloom::testing
