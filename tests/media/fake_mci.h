#pragma once
// A scripted media control interface: it records every command with its
// flags and answers the status and capability queries from its fields.
#include <windows.h>
#include <mmsystem.h>

#include <digitalv.h>
#include <string>
#include <vector>

#include "media/mci_driver.h"

namespace skyloom::testing {

struct MciCall {
  UINT command = 0;
  DWORD_PTR flags = 0;
  DWORD item = 0;    // status item
  HWND window = nullptr;
  RECT rect{};
  std::wstring element;  // opened file
};

class FakeMci : public TMciDriver {
 public:
  MCIERROR SendCommand(MCIDEVICEID, UINT command, DWORD_PTR flags, void* params) override {
    MciCall call;
    call.command = command;
    call.flags = flags;
    switch (command) {
      case MCI_OPEN:
        if (openResult) return openResult;
        static_cast<MCI_OPEN_PARMSW*>(params)->wDeviceID = 7;
        call.element = static_cast<MCI_OPEN_PARMSW*>(params)->lpstrElementName;
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
    return 0;
  }
  bool ErrorText(MCIERROR, std::wstring&) override { return false; }

  // The calls of one command, in order.
  std::vector<MciCall> Of(UINT command) const {
    std::vector<MciCall> found;
    for (const auto& call : calls) {
      if (call.command == command) found.push_back(call);
    }
    return found;
  }

  std::vector<MciCall> calls;
  // The files opened, in order.
  std::vector<std::wstring> Opened() const {
    std::vector<std::wstring> files;
    for (const auto& call : Of(MCI_OPEN)) files.push_back(call.element);
    return files;
  }

  DWORD mode = MCI_MODE_STOP, position = 0, length = 100;
  MCIERROR windowResult = 0, openResult = 0;
};

}  // namespace skyloom::testing
