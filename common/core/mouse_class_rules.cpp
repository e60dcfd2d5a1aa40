#include "common/core/mouse_class_rules.h"

#include <algorithm>

namespace koral {
namespace {

constexpr const char* kSupportedIds[] = {"*PNP0F13", "*PNP0F03", "*PNP0F0B", "*PNP0F0E", "*PNP0F12", "*PNP0F1C"};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F13)" for "*PNP0F13".
std::string DeviceName(std::string_view supportedId) {
  return std::string("TouchScreen - PS/2 Mouse (") + kDriverVersion + "." + std::string(supportedId.substr(1)) + ")";
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

NamedTexts InfStrings(const std::string& installPath) {
  NamedTexts strings = {{"OEM_NAME", Quoted("TouchScreen")},
                        {"OEM_CALL", Quoted(std::string("TouchScreen - PS/2 Mouse Driver V.") + kDriverVersion)},
                        {"InstallPath", installPath}};
  for (const char* id : kSupportedIds) strings.emplace_back(std::string(id) + ".DeviceDesc", Quoted(DeviceName(id)));
  return strings;
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

ClassRemoval PlanClassRemoval(const std::vector<std::pair<std::string, ClassKeyValues>>& keys) {
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
