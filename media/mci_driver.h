#pragma once
// The media control interface as the media player sees it: one command
// call and the error-text call. The system's interface is the default; tests
// put a scripted one in its place to drive the device deterministically.
#include <windows.h>
#include <mmsystem.h>

#include <string>

namespace skyloom {

class TMciDriver {
 public:
  virtual ~TMciDriver() = default;
  virtual MCIERROR SendCommand(MCIDEVICEID device, UINT command, DWORD_PTR flags, void* params) = 0;
  // The text of an error code; false when the interface has none.
  virtual bool ErrorText(MCIERROR code, std::wstring& text) = 0;
};

// The platform's interface (winmm).
TMciDriver& SystemMci();

}  // namespace skyloom
