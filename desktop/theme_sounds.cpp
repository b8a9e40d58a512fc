#include "desktop/theme_sounds.h"

#include <array>

#include "desktop/theme_registry.h"

namespace skyloom {

namespace {

struct SoundEvent {
  std::string TSounds::*field;
  const char* path;
};

constexpr std::array<SoundEvent, 20> kEvents{{
    {&TSounds::Default, ".Default\\.Default"},
    {&TSounds::AppGPFault, ".Default\\AppGPFault"},
    {&TSounds::Maximize, ".Default\\Maximize"},
    {&TSounds::MenuCommand, ".Default\\MenuCommand"},
    {&TSounds::MenuPopup, ".Default\\MenuPopup"},
    {&TSounds::Minimize, ".Default\\Minimize"},
    {&TSounds::Open, ".Default\\Open"},
    {&TSounds::Close, ".Default\\Close"},
    {&TSounds::RestoreDown, ".Default\\RestoreDown"},
    {&TSounds::RestoreUp, ".Default\\RestoreUp"},
    {&TSounds::RingIn, ".Default\\RingIn"},
    {&TSounds::Ringout, ".Default\\Ringout"},
    {&TSounds::SystemAsterisk, ".Default\\SystemAsterisk"},
    {&TSounds::SystemDefault, ".Default\\SystemDefault"},
    {&TSounds::SystemExclamation, ".Default\\SystemExclamation"},
    {&TSounds::SystemExit, ".Default\\SystemExit"},
    {&TSounds::SystemHand, ".Default\\SystemHand"},
    {&TSounds::SystemQuestion, ".Default\\SystemQuestion"},
    {&TSounds::SystemStart, ".Default\\SystemStart"},
    {&TSounds::EmptyRecycleBin, "Explorer\\EmptyRecycleBin"},
}};

std::string KeyOf(const SoundEvent& event) {
  return std::string("AppEvents\\Schemes\\Apps\\") + event.path + "\\.Current";
}

}  // namespace

void TSounds::Read(TRegistryProblems* problems) {
  for (const auto& event : kEvents) {
    const auto key = TThemeKey::OpenForRead(KeyOf(event), problems);
    if (key) this->*event.field = key->ReadString("").value_or("");
  }
}

void TSounds::Write() const {
  for (const auto& event : kEvents) TThemeKey::OpenForWrite(KeyOf(event)).WriteString("", this->*event.field);
}

}  // namespace skyloom
