#pragma once
// The power source as the system reports it: on battery, and whether the
// battery saver is on. Read at start and when the system says the power
// status changed; the power-setting notices carry the new values themselves.
#include <windows.h>

namespace skyloom {

struct TPowerStatus {
  bool onBattery = false;
  bool saver = false;
  bool Holds() const { return onBattery || saver; }
};

TPowerStatus SystemPowerStatus();

// Takes a power-setting notice's value into status: the AC/DC source or the
// saver's state. False for a setting this program did not ask for.
bool ApplyPowerSetting(const POWERBROADCAST_SETTING& setting, TPowerStatus& status);

// Asks for the two notices of ApplyPowerSetting, for as long as it lives.
class TPowerNotices {
 public:
  explicit TPowerNotices(HWND window);
  ~TPowerNotices();
  TPowerNotices(const TPowerNotices&) = delete;
  TPowerNotices& operator=(const TPowerNotices&) = delete;

 private:
  HPOWERNOTIFY source_ = nullptr, saver_ = nullptr;
};

}  // namespace skyloom
