#include "desktop/active_desktop.h"

// IActiveDesktop is declared only when the internet headers come first.
#include <windows.h>
#include <wininet.h>
#include <shlobj.h>

#include <memory>

#include "toolkit/com_scope.h"
#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {

void SetActiveDesktopWallpaper(const std::string& path) {
  const ComScope com;
  IActiveDesktop* raw = nullptr;
  const HRESULT created = CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                                           reinterpret_cast<void**>(&raw));
  if (FAILED(created) || !raw) throw EError(SystemErrorText(static_cast<unsigned long>(created)));
  const std::unique_ptr<IActiveDesktop, ReleaseInterface> desktop(raw);
  // The whole path is passed: a fixed buffer would cut long paths and name
  // another file.
  const std::wstring wide = Widen(path);
  desktop->SetWallpaper(wide.c_str(), 0);
  desktop->ApplyChanges(AD_APPLY_ALL | AD_APPLY_FORCE);
  desktop->ApplyChanges(AD_APPLY_REFRESH);
}

}  // namespace skyloom
