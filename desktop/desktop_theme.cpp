#include "desktop/desktop_theme.h"

#include <utility>

#include "desktop/settings_broadcast.h"

namespace skyloom {

TDesktopTheme::TDesktopTheme(TWallpaperConverter convert) : convert_(std::move(convert)) {
  Cursors.Read(&ReadProblems);
  Colors.Read(&ReadProblems);
  Icons.Read(&ReadProblems);
  Sounds.Read(&ReadProblems);
  Desktop.Read(&ReadProblems);
  ScreenSaver.Read();
  Metrics.Read();
  WebView.Read();
}

void TDesktopTheme::Apply() {
  Cursors.Write();
  Colors.Write();
  Icons.Write();
  Sounds.Write();
  Desktop.Write(convert_);
  ScreenSaver.Write();
  Metrics.Write();
  WebView.Write();
  BroadcastSettingsChange();
}

}  // namespace skyloom
