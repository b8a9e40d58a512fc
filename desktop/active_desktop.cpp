#include "desktop/active_desktop.h"

// IActiveDesktop is declared only when the internet headers come first.
#include <windows.h>
#include <wininet.h>
#include <shlobj.h>

#include <memory>

#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {

namespace {

// COM for the current thread for the scope of one call; a thread that
// already runs another apartment model is used as it is.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

struct ReleaseInterface {
  void operator()(IUnknown* object) const { object->Release(); }
};

std::string SystemMessage(HRESULT result) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  if (message.empty()) message = L"Error " + std::to_wstring(static_cast<unsigned long>(result));
  return Narrow(message);
}

}  // namespace

void SetActiveDesktopWallpaper(const std::string& path) {
  const ComScope com;
  IActiveDesktop* raw = nullptr;
  const HRESULT created = CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                           reinterpret_cast<void**>(&raw));
  if (FAILED(created) || !raw) throw EError(SystemMessage(created));
  const std::unique_ptr<IActiveDesktop, ReleaseInterface> desktop(raw);
  // The whole path is passed: a fixed buffer would cut long paths and name
  // another file.
  const std::wstring wide = Widen(path);
  desktop->SetWallpaper(wide.c_str(), 0);
  desktop->ApplyChanges(AD_APPLY_ALL | AD_APPLY_FORCE);
  desktop->ApplyChanges(AD_APPLY_REFRESH);
}

}  // namespace skyloom
