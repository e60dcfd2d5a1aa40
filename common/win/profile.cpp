#include "common/win/profile.h"

#include "common/win/registry.h"

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

bool OpenModelKey(UniqueHKey& key) {
  const auto& where = Location();
  return registry::OpenKey(where.Root, where.KeyPath, where.ModelSubKey, key);
}

bool LoadProfile() {
  UniqueHKey key;
  if (!OpenModelKey(key)) return false;
  auto& p = Profile();
  bool ok = true;
  for (auto [name, field] : {std::pair{"VenderName", &p.VenderName},
                             std::pair{"VenderStyle", &p.VenderStyle},
                             std::pair{"InstallPath", &p.InstallPath},
                             std::pair{"WindowsPath", &p.WindowsPath},
                             std::pair{"SystemPath", &p.SystemPath},
                             std::pair{"HardwareID", &p.HardwareID}}) {
    ok = registry::ReadText(key.get(), name, *field) && ok;
  }
  registry::CloseKey(key);
  return ok;
}

bool LoadAtStart() {
  SetLocation(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey);
  return LoadProfile();
}

bool ReadCalibrationMode() {
  UniqueHKey key;
  if (!OpenModelKey(key)) return false;
  const bool ok = registry::ReadNumber(key.get(), "CalibrationMode", CalibrationMode());
  registry::CloseKey(key);
  return ok;
}

bool WriteCalibrationMode() {
  UniqueHKey key;
  if (!OpenModelKey(key)) return false;
  const bool ok = registry::WriteNumber(key.get(), "CalibrationMode", CalibrationMode());
  registry::CloseKey(key);
  return ok;
}

bool CalibrationModeStored() {
  UniqueHKey key;
  return OpenModelKey(key) && registry::HasValue(key.get(), "CalibrationMode");
}

}  // namespace koral
