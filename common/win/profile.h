// The installation profile and the control panel's calibration choice, kept in the model key
// HKEY_LOCAL_MACHINE\SOFTWARE\Brimholt\TouchScreen\KR-PS2.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win/registry.h"

namespace koral {

inline constexpr const char kModelKeyPath[] = "SOFTWARE\\Brimholt\\TouchScreen";
inline constexpr const char kModelSubKey[] = "KR-PS2";

struct RegistryLocation {
  HKEY Root = nullptr;
  std::string KeyPath;
  std::string ModelSubKey;
};

struct InstallationProfile {
  std::string VenderName;
  std::string VenderStyle;
  std::string InstallPath;  // no trailing backslash; programs append "\" + file name
  std::string WindowsPath;
  std::string SystemPath;
  std::string HardwareID;
};

// Process-wide state, as every program has exactly one profile.
RegistryLocation& Location();
InstallationProfile& Profile();
int32_t& CalibrationMode();

void SetLocation(HKEY root, const std::string& keyPath, const std::string& modelSubKey);
// Opens (creating) the model key of the current location; empty when it cannot be opened.
RegKey OpenModelKey();
// Reads the six profile texts; every read is tried, those that succeed are kept, and the
// load succeeds only when the key opened and all six were read.
bool LoadProfile();
// The model key of the suite, then LoadProfile.
bool LoadAtStart();
bool ReadCalibrationMode();
bool WriteCalibrationMode();
// "CalibrationMode" exists in the model key, of whatever type.
bool CalibrationModeStored();

}  // namespace koral
