#pragma once
// String values under the current user's hive, with the error texts the
// desktop settings report. Reads accept REG_SZ and REG_EXPAND_SZ (taken as
// stored, not expanded); writes are always REG_SZ.
#include <optional>
#include <string>
#include <vector>

#include "toolkit/errors.h"
#include "toolkit/handles.h"

namespace skyloom {

// "Failed to set data for '%s'".
class ERegistryException : public EError {
 public:
  using EError::EError;
};

// Values met while reading that are not text, one sentence each naming key
// and value, for the reader to report once.
using TRegistryProblems = std::vector<std::string>;

class TThemeKey {
 public:
  // Opens an existing key for reading; nothing when it does not open. A value
  // of the key that is not text reads as missing and is noted in problems.
  static std::optional<TThemeKey> OpenForRead(const std::string& path, TRegistryProblems* problems = nullptr);
  // Opens the key for writing, creating it if missing. A key that cannot be
  // created is still returned: every write to it then fails, so the failure
  // surfaces as the first value that could not be stored.
  static TThemeKey OpenForWrite(const std::string& path);
  // Opens an existing key for writing without creating it; nothing when the
  // key does not exist. Any other failure is reported like OpenForWrite's.
  static std::optional<TThemeKey> OpenExistingForWrite(const std::string& path);

  // The value's text, or nothing when the value is missing or not text (a
  // number where text belongs would otherwise stop every start until the
  // user repaired the registry by hand).
  std::optional<std::string> ReadString(const std::string& name) const;
  // Raises "Failed to set data for '%s'" when the value cannot be stored.
  void WriteString(const std::string& name, const std::string& value) const;

 private:
  explicit TThemeKey(HKEY key, std::string path = {}, TRegistryProblems* problems = nullptr)
      : key_(key), path_(std::move(path)), problems_(problems) {}
  std::optional<std::string> WrongType(const std::string& name) const;
  UniqueKey key_;
  std::string path_;
  TRegistryProblems* problems_;
};

}  // namespace skyloom
