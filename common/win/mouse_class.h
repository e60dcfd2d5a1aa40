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

// The setup finisher's scan (ClassKeysUntilGap) of the sub-keys that open, without creating any.
std::vector<ClassKeyValues> ReadClassKeysUntilGap();

// The uninstaller's scan (NumberedClassKeys) of the sub-keys that open.
ClassKeys ReadEveryClassKey();

// Deletes the class sub-keys with their sub-keys, in order; `failed` hears of each key (by its
// path) that could not be deleted, and the deletion goes on with the next.
void DeleteClassKeys(const std::vector<std::string>& subKeys, const std::function<void(const std::string& path)>& failed);

// Deletes the device's enumeration keys (with their sub-keys); a key that is missing or cannot be
// deleted is passed over.
void DeleteDeviceEnumKeys(const std::string& deviceId);

}  // namespace koral
