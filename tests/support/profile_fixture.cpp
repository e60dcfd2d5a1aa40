#include "tests/support/profile_fixture.h"

#include "common/win/profile.h"
#include "common/win/registry.h"

namespace koral::test {

bool WriteDevelopmentProfile(const std::string& installPath, const std::string& windowsPath) {
  UniqueHKey key;
  if (!registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key)) return false;
  bool ok = true;
  for (auto [name, value] : {std::pair<const char*, std::string>{"VenderName", "Brimholt"},
                             {"VenderStyle", "11201209"},
                             {"InstallPath", installPath},
                             {"WindowsPath", windowsPath},
                             {"SystemPath", "C:\\windows\\system32"},
                             {"HardwareID", "*PNP0F13"}})
    ok = registry::WriteText(key.get(), name, value) && ok;
  return ok;
}

bool RemoveModelKey() {
  return registry::DeleteKey(HKEY_LOCAL_MACHINE, std::string(kModelKeyPath) + "\\" + kModelSubKey);
}

}  // namespace koral::test
