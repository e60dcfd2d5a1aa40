// The registry's mouse class (HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\Mouse)
// and the device enumeration keys, as the setup tools read and clean them.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/core/mouse_class_rules.h"

namespace koral {

// kMouseClassPath + "\" + sub-key.
std::string ClassKeyPath(const std::string& subKey);

// The sub-keys "0000", "0001", ... opened without creating them, up to (not including) the first
// that cannot be opened; element n is sub-key n.
std::vector<ClassKeyValues> ReadClassKeysUntilGap();

// Every sub-key of the class whose name is a number, in numeric order, also past a number that
// is missing.
std::vector<std::pair<std::string, ClassKeyValues>> ReadEveryClassKey();

// Deletes the class sub-keys with their sub-keys, in order; `failed` hears of each key (by its
// path) that could not be deleted, and the deletion goes on with the next.
void DeleteClassKeys(const std::vector<std::string>& subKeys, const std::function<void(const std::string& path)>& failed);

// Deletes the device's enumeration keys (with their sub-keys); a key that is missing or cannot be
// deleted is passed over.
void DeleteDeviceEnumKeys(const std::string& deviceId);

}  // namespace koral
