#include "common/win/mouse_class.h"

#include <windows.h>

#include "common/win/registry.h"

namespace koral {
namespace {

// The three texts the tools look at; a value that cannot be read as text stays empty.
ClassKeyValues ReadValues(const RegKey& key) {
  ClassKeyValues values;
  auto read = [&key](const char* name, std::optional<std::string>& into) {
    std::string text;
    if (key.ReadText(name, text)) into = std::move(text);
  };
  read("MouseType", values.MouseType);
  read("MatchingDeviceId", values.MatchingDeviceId);
  read("ProviderName", values.ProviderName);
  return values;
}

// Every sub-key of the class that opens, in the registry's order, with what it holds.
ClassKeys ReadClassKeys() {
  ClassKeys keys;
  for (const std::string& name : RegKey::Open(HKEY_LOCAL_MACHINE, kMouseClassPath).SubKeyNames()) {
    if (const RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, ClassKeyPath(name))) keys.emplace_back(name, ReadValues(key));
  }
  return keys;
}

}  // namespace

std::string ClassKeyPath(const std::string& subKey) { return std::string(kMouseClassPath) + "\\" + subKey; }

std::vector<ClassKeyValues> ReadClassKeysUntilGap() { return ClassKeysUntilGap(ReadClassKeys()); }

ClassKeys ReadEveryClassKey() { return NumberedClassKeys(ReadClassKeys()); }

void DeleteClassKeys(const std::vector<std::string>& subKeys, const std::function<void(const std::string& path)>& failed) {
  for (const std::string& name : subKeys) {
    const std::string path = ClassKeyPath(name);
    if (!registry::DeleteKey(HKEY_LOCAL_MACHINE, path)) failed(path);
  }
}

void DeleteDeviceEnumKeys(const std::string& deviceId) {
  for (const std::string& path : DeviceEnumKeys(deviceId)) registry::DeleteKey(HKEY_LOCAL_MACHINE, path);
}

}  // namespace koral
