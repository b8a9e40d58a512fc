#include "app/power_source.h"

#include <cstring>

namespace skyloom {
namespace {

// GUID_ACDC_POWER_SOURCE and GUID_POWER_SAVING_STATUS, kept here so that no
// GUID library is needed.
constexpr GUID kPowerSource{0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
constexpr GUID kPowerSaving{0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};
constexpr BYTE kACOffline = 0;
constexpr BYTE kSaverOn = 1;  // the status record's fourth byte (SystemStatusFlag)

}  // namespace

// An unknown line status (255) counts as mains power.
TPowerStatus SystemPowerStatus() {
  SYSTEM_POWER_STATUS system{};
  if (!GetSystemPowerStatus(&system)) return {};
  return {system.ACLineStatus == kACOffline, (system.Reserved1 & kSaverOn) != 0};
}

// The source's value is 0 on mains, 1 on battery, 2 on a short-term source
// such as a UPS: anything but mains counts as battery.
bool ApplyPowerSetting(const POWERBROADCAST_SETTING& setting, TPowerStatus& status) {
  if (setting.DataLength < sizeof(DWORD)) return false;
  DWORD value = 0;
  std::memcpy(&value, setting.Data, sizeof value);
  if (IsEqualGUID(setting.PowerSetting, kPowerSource)) {
    status.onBattery = value != 0;
    return true;
  }
  if (IsEqualGUID(setting.PowerSetting, kPowerSaving)) {
    status.saver = value != 0;
    return true;
  }
  return false;
}

TPowerNotices::TPowerNotices(HWND window)
    : source_(RegisterPowerSettingNotification(window, &kPowerSource, DEVICE_NOTIFY_WINDOW_HANDLE)),
      saver_(RegisterPowerSettingNotification(window, &kPowerSaving, DEVICE_NOTIFY_WINDOW_HANDLE)) {}

TPowerNotices::~TPowerNotices() {
  if (source_) UnregisterPowerSettingNotification(source_);
  if (saver_) UnregisterPowerSettingNotification(saver_);
}

}  // namespace skyloom
