#include "desktop/theme_icons.h"

#include "desktop/theme_registry.h"

namespace skyloom {

namespace {

constexpr const char* kMyComputerKey = "Software\\Classes\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
constexpr const char* kNetHoodKey = "Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon";
constexpr const char* kRecycleKey = "Software\\Classes\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";

// The unnamed (default) value.
constexpr const char* kDefault = "";

}  // namespace

void TIcons::Read(TRegistryProblems* problems) {
  if (const auto key = TThemeKey::OpenForRead(kMyComputerKey, problems))
    MyComputer = key->ReadString(kDefault).value_or("");
  if (const auto key = TThemeKey::OpenForRead(kNetHoodKey, problems)) NetHood = key->ReadString(kDefault).value_or("");
  if (const auto key = TThemeKey::OpenForRead(kRecycleKey, problems)) {
    Recycle = key->ReadString(kDefault).value_or("");
    RecycleFull = key->ReadString("full").value_or("");
    RecycleEmpty = key->ReadString("empty").value_or("");
  }
}

// An empty icon location is never written: in the user's classes it would
// hide the system's own icon for that item and leave the desktop without
// one (nothing stored usually means the system default is in use).
void TIcons::Write() const {
  if (!MyComputer.empty()) TThemeKey::OpenForWrite(kMyComputerKey).WriteString(kDefault, MyComputer);
  if (!NetHood.empty()) TThemeKey::OpenForWrite(kNetHoodKey).WriteString(kDefault, NetHood);
  // The recycle bin's key is only ever updated, never made.
  const auto recycle = TThemeKey::OpenExistingForWrite(kRecycleKey);
  if (!recycle) return;
  if (!Recycle.empty()) recycle->WriteString(kDefault, Recycle);
  if (!RecycleFull.empty()) recycle->WriteString("full", RecycleFull);
  if (!RecycleEmpty.empty()) recycle->WriteString("empty", RecycleEmpty);
}

}  // namespace skyloom
