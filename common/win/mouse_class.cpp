#include "common/win/mouse_class.h"

#include <windows.h>

#include <algorithm>

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

bool IsNumber(const std::string& name) {
  return !name.empty() && name.size() <= 9 && name.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::string ClassKeyPath(const std::string& subKey) { return std::string(kMouseClassPath) + "\\" + subKey; }

std::vector<ClassKeyValues> ReadClassKeysUntilGap() {
  std::vector<ClassKeyValues> keys;
  for (int n = 0;; ++n) {
    const RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, ClassKeyPath(ClassSubKeyName(n)));
    if (!key) break;
    keys.push_back(ReadValues(key));
  }
  return keys;
}

std::vector<std::pair<std::string, ClassKeyValues>> ReadEveryClassKey() {
  std::vector<std::string> names = RegKey::Open(HKEY_LOCAL_MACHINE, kMouseClassPath).SubKeyNames();
  std::erase_if(names, [](const std::string& name) { return !IsNumber(name); });
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::stol(a) != std::stol(b) ? std::stol(a) < std::stol(b) : a < b;
  });

  std::vector<std::pair<std::string, ClassKeyValues>> keys;
  for (const std::string& name : names) {
    if (const RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, ClassKeyPath(name))) keys.emplace_back(name, ReadValues(key));
  }
  return keys;
}

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
