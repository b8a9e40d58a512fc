#pragma once
// String values under the current user's hive, with the error texts the
// desktop settings report. Reads accept REG_SZ and REG_EXPAND_SZ (taken as
// stored, not expanded); writes are always REG_SZ.
#include <optional>
#include <string>

#include "toolkit/errors.h"
#include "toolkit/handles.h"

namespace skyloom {

// "Failed to set data for '%s'" / "Invalid data type for '%s'".
class ERegistryException : public EError {
 public:
  using EError::EError;
};

class TThemeKey {
 public:
  // Opens an existing key for reading; nothing when it does not open.
  static std::optional<TThemeKey> OpenForRead(const std::string& path);
  // Opens the key for writing, creating it if missing. A key that cannot be
  // created is still returned: every write to it then fails, so the failure
  // surfaces as the first value that could not be stored.
  static TThemeKey OpenForWrite(const std::string& path);
  // Opens an existing key for writing without creating it; nothing when the
  // key does not exist. Any other failure is reported like OpenForWrite's.
  static std::optional<TThemeKey> OpenExistingForWrite(const std::string& path);

  // The value's text, or nothing when the value is missing. Raises
  // "Invalid data type for '%s'" for a value that is not a string.
  std::optional<std::string> ReadString(const std::string& name) const;
  // Raises "Failed to set data for '%s'" when the value cannot be stored.
  void WriteString(const std::string& name, const std::string& value) const;

 private:
  explicit TThemeKey(HKEY key) : key_(key) {}
  UniqueKey key_;
};

}  // namespace skyloom
