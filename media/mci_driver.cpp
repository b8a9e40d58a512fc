#include "media/mci_driver.h"

namespace skyloom {
namespace {

constexpr UINT kErrorTextSize = 4096;

class TSystemMci final : public TMciDriver {
 public:
  MCIERROR SendCommand(MCIDEVICEID device, UINT command, DWORD_PTR flags, void* params) override {
    return mciSendCommandW(device, command, flags, reinterpret_cast<DWORD_PTR>(params));
  }
  bool ErrorText(MCIERROR code, std::wstring& text) override {
    std::wstring buffer(kErrorTextSize, L'\0');
    if (!mciGetErrorStringW(code, buffer.data(), kErrorTextSize)) return false;
    buffer.resize(lstrlenW(buffer.c_str()));
    text = std::move(buffer);
    return true;
  }
};

}  // namespace

TMciDriver& SystemMci() {
  static TSystemMci mci;
  return mci;
}

}  // namespace skyloom
