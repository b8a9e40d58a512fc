#include "desktop/theme_cursors.h"

#include <windows.h>

#include <array>

#include "desktop/theme_registry.h"
#include "toolkit/text_win.h"

namespace skyloom {

namespace {

constexpr const char* kCursorsKey = "Control Panel\\Cursors";

struct CursorValue {
  std::string TCursors::*field;
  const char* name;
};

constexpr std::array<CursorValue, 14> kValues{{
    {&TCursors::Arrow, "Arrow"},
    {&TCursors::Help, "Help"},
    {&TCursors::AppStarting, "AppStarting"},
    {&TCursors::Wait, "Wait"},
    {&TCursors::NWPen, "NWPen"},
    {&TCursors::No, "No"},
    {&TCursors::SizeNS, "SizeNS"},
    {&TCursors::SizeWE, "SizeWE"},
    {&TCursors::CrossHair, "Crosshair"},
    {&TCursors::IBeam, "IBeam"},
    {&TCursors::SizeNWSE, "SizeNWSE"},
    {&TCursors::SizeNESW, "SizeNESW"},
    {&TCursors::SizeAll, "SizeAll"},
    {&TCursors::UpArrow, "UpArrow"},
}};

struct SystemCursor {
  std::string TCursors::*field;
  DWORD id;
};

// By identifier. Wait serves both busy cursors; NWPen has no system cursor.
constexpr std::array<SystemCursor, 14> kInstalls{{
    {&TCursors::Arrow, 32512},
    {&TCursors::IBeam, 32513},
    {&TCursors::Wait, 32514},
    {&TCursors::CrossHair, 32515},
    {&TCursors::UpArrow, 32516},
    {&TCursors::Help, 32640},
    {&TCursors::Wait, 32641},
    {&TCursors::SizeNWSE, 32642},
    {&TCursors::SizeNESW, 32643},
    {&TCursors::SizeWE, 32644},
    {&TCursors::SizeNS, 32645},
    {&TCursors::SizeAll, 32646},
    {&TCursors::No, 32648},
    {&TCursors::AppStarting, 32650},
}};

}  // namespace

void TCursors::Read(TRegistryProblems* problems) {
  const auto key = TThemeKey::OpenForRead(kCursorsKey, problems);
  if (!key) return;
  for (const auto& value : kValues) this->*value.field = key->ReadString(value.name).value_or("");
}

void TCursors::Write() const {
  {
    const TThemeKey key = TThemeKey::OpenForWrite(kCursorsKey);
    for (const auto& value : kValues) key.WriteString(value.name, this->*value.field);
  }
  Install();
}

// A file that does not load leaves that system cursor as it is.
void TCursors::Install() const {
  for (const auto& install : kInstalls) {
    const std::string& path = this->*install.field;
    if (path.empty()) continue;
    HCURSOR cursor = LoadCursorFromFileW(Widen(path).c_str());
    if (!cursor) continue;
    // The system owns the cursor once it is installed; otherwise it is ours.
    const bool installed = InstallSystemCursor ? InstallSystemCursor(cursor, install.id)
                                               : SetSystemCursor(cursor, install.id) != 0;
    if (!installed) DestroyCursor(cursor);
  }
}

}  // namespace skyloom
