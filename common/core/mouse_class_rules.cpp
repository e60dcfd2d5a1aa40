#include "common/core/mouse_class_rules.h"

#include <algorithm>

#include "common/core/ini_text.h"

namespace koral {
namespace {

constexpr const char* kSupportedIds[] = {"*PNP0F13", "*PNP0F03", "*PNP0F0B", "*PNP0F0E", "*PNP0F12", "*PNP0F1C"};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

// "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F13)" for "*PNP0F13".
std::string DeviceName(std::string_view supportedId) {
  return std::string("TouchScreen - PS/2 Mouse (") + kDriverVersion + "." + std::string(supportedId.substr(1)) + ")";
}

// One to nine digits: the names the uninstaller takes for class sub-keys.
bool IsClassNumber(std::string_view name) {
  return !name.empty() && name.size() <= 9 && name.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string ClassSubKeyName(int n) {
  std::string digits = std::to_string(n);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return digits;
}

bool IsPs2MouseType(std::string_view mouseType) { return SameText(mouseType, "PS2"); }

std::optional<std::string> SupportedDeviceName(std::string_view deviceId) {
  for (const char* id : kSupportedIds)
    if (SameText(deviceId, id)) return DeviceName(id);
  return std::nullopt;
}

std::optional<NamedTexts> InfStrings(const std::string& installPath) {
  NamedTexts texts = {{"OEM_NAME", "TouchScreen"},
                      {"OEM_CALL", std::string("TouchScreen - PS/2 Mouse Driver V.") + kDriverVersion},
                      {"InstallPath", installPath}};
  for (const char* id : kSupportedIds) texts.emplace_back(std::string(id) + ".DeviceDesc", DeviceName(id));
  for (auto& [name, value] : texts) {
    auto written = InfStringText(value);
    if (!written) return std::nullopt;
    value = std::move(*written);
  }
  return texts;
}

NamedTexts ClassValues(const std::string& deviceDescription, const std::string& deviceId) {
  return {{"DevLoader", "*vmouse"},
          {"MouseType", "PS2"},
          {"NoSetupUI", "1"},
          {"InfPath", kInfFileName},
          {"InfSection", "KrPS2"},
          {"DriverDesc", deviceDescription},
          {"MouseDriver", "KORALPS2.VXD"},
          {"ProviderName", "TouchScreen"},
          {"MatchingDeviceId", deviceId},
          {"DriverDate", " 5-10-2002"}};
}

std::vector<std::string> DeviceEnumKeys(const std::string& deviceId) {
  if (!SupportedDeviceName(deviceId)) return {};
  return {"Enum\\ACPI\\" + deviceId, "Enum\\BIOS\\" + deviceId};
}

std::vector<ClassKeyValues> ClassKeysUntilGap(const ClassKeys& found) {
  std::vector<ClassKeyValues> keys;
  for (;;) {
    const std::string name = ClassSubKeyName(static_cast<int>(keys.size()));
    const auto key = std::find_if(found.begin(), found.end(), [&](const auto& entry) { return entry.first == name; });
    if (key == found.end()) return keys;
    keys.push_back(key->second);
  }
}

ClassKeys NumberedClassKeys(const ClassKeys& found) {
  ClassKeys keys;
  for (const auto& entry : found)
    if (IsClassNumber(entry.first)) keys.push_back(entry);
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
    const long x = std::stol(a.first), y = std::stol(b.first);
    return x != y ? x < y : a.first < b.first;
  });
  return keys;
}

ClassRegistration PlanClassRegistration(const std::vector<ClassKeyValues>& keys) {
  ClassRegistration plan{{}, {}, *SupportedDeviceName(kDefaultDeviceId), kDefaultDeviceId};
  for (size_t n = 0; n < keys.size(); ++n) {
    const ClassKeyValues& key = keys[n];
    if (!key.MouseType || !IsPs2MouseType(*key.MouseType)) continue;
    const std::string name = ClassSubKeyName(static_cast<int>(n));
    plan.Delete.push_back(name);
    if (!key.MatchingDeviceId) continue;
    if (auto description = SupportedDeviceName(*key.MatchingDeviceId)) {
      plan.SubKey = name;
      plan.DeviceDescription = std::move(*description);
      plan.DeviceId = *key.MatchingDeviceId;
    }
  }
  if (plan.SubKey.empty()) plan.SubKey = ClassSubKeyName(static_cast<int>(keys.size()));
  return plan;
}

ClassRemoval PlanClassRemoval(const ClassKeys& keys) {
  ClassRemoval plan{{}, kDefaultDeviceId};
  for (const auto& [name, key] : keys) {
    if (!key.ProviderName || !SameText(*key.ProviderName, "TouchScreen")) continue;
    if (!key.MouseType || !IsPs2MouseType(*key.MouseType)) continue;
    plan.Delete.push_back(name);
    // Only what the setup finisher writes: any other text would name other enumeration keys, and
    // an empty one the whole of Enum\ACPI and Enum\BIOS.
    if (key.MatchingDeviceId && SupportedDeviceName(*key.MatchingDeviceId)) plan.DeviceId = *key.MatchingDeviceId;
  }
  return plan;
}

bool IsSilentSetupRun(std::string_view arguments) {
  const auto first = arguments.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const auto last = arguments.find_last_not_of(" \t");
  return SameText(arguments.substr(first, last - first + 1), "/XPEFBASETUP");
}

}  // namespace koral
