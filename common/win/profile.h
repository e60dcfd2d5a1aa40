// The settings store: the model key HKEY_LOCAL_MACHINE\SOFTWARE\Brimholt\TouchScreen\KR-PS2, its
// installation profile and the few numbers the programs keep there. Nothing of it is
// process-wide: a program makes a ModelKeyStore (or a test a fake store) and loads the profile
// from it once, as a value, which it then hands to the windows that need it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/registry.h"

namespace koral {

inline constexpr const char kModelKeyPath[] = "SOFTWARE\\Brimholt\\TouchScreen";
inline constexpr const char kModelSubKey[] = "KR-PS2";
inline constexpr const char kCalibrationModeName[] = "CalibrationMode";

struct RegistryLocation {
  HKEY Root = HKEY_LOCAL_MACHINE;
  std::string KeyPath = kModelKeyPath;
  std::string ModelSubKey = kModelSubKey;
};

struct InstallationProfile {
  std::string VenderName;
  std::string VenderStyle;
  std::string InstallPath;  // no trailing backslash; programs append "\" + file name
  std::string WindowsPath;
  std::string SystemPath;
  std::string HardwareID;
};

// Opens (creating) the model key at `where`; empty when it cannot be opened.
RegKey OpenModelKey(const RegistryLocation& where = {});

// The values of the model key, each operation opening the key afresh. A failed read leaves the
// caller's variable as it was.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // False, and nothing read, when the key cannot be opened.
  virtual bool Available() = 0;
  virtual bool ReadText(const char* name, std::string& text) = 0;
  virtual bool ReadNumber(const char* name, int32_t& value) = 0;
  virtual bool WriteNumber(const char* name, int32_t value) = 0;
  // The value exists, of whatever type.
  virtual bool Has(const char* name) = 0;
};

class ModelKeyStore final : public SettingsStore {
 public:
  explicit ModelKeyStore(RegistryLocation where = {}) : where_(std::move(where)) {}
  bool Available() override { return static_cast<bool>(OpenModelKey(where_)); }
  bool ReadText(const char* name, std::string& text) override { return OpenModelKey(where_).ReadText(name, text); }
  bool ReadNumber(const char* name, int32_t& value) override { return OpenModelKey(where_).ReadNumber(name, value); }
  bool WriteNumber(const char* name, int32_t value) override { return OpenModelKey(where_).WriteNumber(name, value); }
  bool Has(const char* name) override { return OpenModelKey(where_).Has(name); }

 private:
  RegistryLocation where_;
};

// Reads the six profile texts; every read is tried, those that succeed are kept, and the load
// succeeds only when the key opened and all six were read.
bool LoadProfile(SettingsStore& store, InstallationProfile& profile);

}  // namespace koral
