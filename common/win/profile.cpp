#include "common/win/profile.h"

namespace koral {

RegistryLocation& Location() {
  static RegistryLocation location;
  return location;
}

InstallationProfile& Profile() {
  static InstallationProfile profile;
  return profile;
}

int32_t& CalibrationMode() {
  static int32_t mode = 0;
  return mode;
}

void SetLocation(HKEY root, const std::string& keyPath, const std::string& modelSubKey) {
  Location() = {root, keyPath, modelSubKey};
}

RegKey OpenModelKey() {
  const auto& where = Location();
  return RegKey::Create(where.Root, where.KeyPath, where.ModelSubKey);
}

bool LoadProfile() {
  RegKey key = OpenModelKey();
  if (!key) return false;
  auto& p = Profile();
  bool ok = true;
  for (auto [name, field] : {std::pair{"VenderName", &p.VenderName},
                             std::pair{"VenderStyle", &p.VenderStyle},
                             std::pair{"InstallPath", &p.InstallPath},
                             std::pair{"WindowsPath", &p.WindowsPath},
                             std::pair{"SystemPath", &p.SystemPath},
                             std::pair{"HardwareID", &p.HardwareID}}) {
    ok = key.ReadText(name, *field) && ok;
  }
  return ok;
}

bool LoadAtStart() {
  SetLocation(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey);
  return LoadProfile();
}

bool ReadCalibrationMode() { return OpenModelKey().ReadNumber("CalibrationMode", CalibrationMode()); }

bool WriteCalibrationMode() { return OpenModelKey().WriteNumber("CalibrationMode", CalibrationMode()); }

bool CalibrationModeStored() { return OpenModelKey().Has("CalibrationMode"); }

}  // namespace koral
