#include "common/win/profile.h"

#include <utility>

namespace koral {

RegKey OpenModelKey(const RegistryLocation& where) { return RegKey::Create(where.Root, where.KeyPath, where.ModelSubKey); }

bool LoadProfile(SettingsStore& store, InstallationProfile& profile) {
  if (!store.Available()) return false;
  bool ok = true;
  for (auto [name, field] : {std::pair{"VenderName", &profile.VenderName},
                             std::pair{"VenderStyle", &profile.VenderStyle},
                             std::pair{"InstallPath", &profile.InstallPath},
                             std::pair{"WindowsPath", &profile.WindowsPath},
                             std::pair{"SystemPath", &profile.SystemPath},
                             std::pair{"HardwareID", &profile.HardwareID}}) {
    ok = store.ReadText(name, *field) && ok;
  }
  return ok;
}

}  // namespace koral
