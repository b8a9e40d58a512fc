// "Start with &Windows" in the tray menu: its check mark is read back from
// the registry each time the menu opens, so it shows what the system will do.
#include "app/main_form.h"
#include "app/start_with_windows.h"

namespace skyloom {
namespace {

std::wstring ProgramPath() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

}  // namespace

void TMainForm::StartWithWindows1Click(void*) {
  const std::wstring program = ProgramPath();
  SetStartWithWindows(program, !StartsWithWindows(program));
  StartWithWindows1->Checked = StartsWithWindows(program);
}

void TMainForm::TrayMenuOpens() { StartWithWindows1->Checked = StartsWithWindows(ProgramPath()); }

}  // namespace skyloom
