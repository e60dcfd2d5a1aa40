// libFuzzer target: the mouse class keys as the setup finisher and the uninstaller scan them.
// Other software (and an administrator) can leave any sub-keys there: any names, gaps in the
// numbering, any texts where the tools look for the mouse type, the identifier and the provider.
// Both tools run elevated and delete keys by what they find, so neither may ever reach a key
// outside the touchscreen's own: no other device's class key, no enumerator's whole key.
//
// Input: one sub-key a line ('\n'): name, mouse type, identifier, provider, separated by '\t'. A
// text missing at the end of the line, or starting with '\x7f', could not be read as text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/fuzz/require.h"
#include "common/core/mouse_class_rules.h"

namespace {

using namespace koral;
using fuzz::Require;

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (size_t from = 0;;) {
    const size_t end = text.find(separator, from);
    parts.push_back(text.substr(from, end - from));
    if (end == std::string_view::npos) return parts;
    from = end + 1;
  }
}

ClassKeys Found(std::string_view input) {
  ClassKeys keys;
  if (input.empty()) return keys;
  for (std::string_view line : Split(input, '\n')) {
    const auto texts = Split(line, '\t');
    auto text = [&](size_t n) -> std::optional<std::string> {
      if (n >= texts.size() || (!texts[n].empty() && texts[n].front() == '\x7f')) return std::nullopt;
      return std::string(texts[n]);
    };
    keys.emplace_back(std::string(texts[0]), ClassKeyValues{text(1), text(2), text(3)});
  }
  return keys;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

bool IsPs2(const ClassKeyValues& key) { return key.MouseType && SameText(*key.MouseType, "PS2"); }

// The enumeration keys the tools delete are one key each, directly under an enumerator.
void CheckEnumKeys(const std::string& deviceId) {
  const auto keys = DeviceEnumKeys(deviceId);
  Require(keys.size() == 2 || keys.empty(), "both enumerators or neither");
  for (const std::string& key : keys) {
    const std::string_view path = key;
    const bool acpi = path.substr(0, 10) == "Enum\\ACPI\\", bios = path.substr(0, 10) == "Enum\\BIOS\\";
    Require(acpi || bios, "an enumeration key lies under ACPI or BIOS");
    const std::string_view name = path.substr(10);
    Require(!name.empty() && name.size() <= 255 && name.find('\\') == std::string_view::npos,
            "an enumeration key is one key's name below its enumerator");
  }
}

void CheckFinisher(const ClassKeys& found, const std::set<std::string>& names) {
  const std::vector<ClassKeyValues> keys = ClassKeysUntilGap(found);
  for (size_t n = 0; n < keys.size(); ++n)
    Require(names.count(ClassSubKeyName(static_cast<int>(n))) == 1, "the scan takes only keys that are there");
  Require(names.count(ClassSubKeyName(static_cast<int>(keys.size()))) == 0, "the scan stops at the first gap");

  const ClassRegistration plan = PlanClassRegistration(keys);
  std::set<std::string> deleted;
  for (const std::string& name : plan.Delete) {
    Require(deleted.insert(name).second, "each key is deleted once");
    size_t n = 0;
    while (n < keys.size() && ClassSubKeyName(static_cast<int>(n)) != name) ++n;
    Require(n < keys.size() && IsPs2(keys[n]), "only PS/2 keys of the scan are deleted");
  }
  Require(deleted.count(plan.SubKey) == 1 || plan.SubKey == ClassSubKeyName(static_cast<int>(keys.size())),
          "the registration takes a deleted key's place or the free number, never another device's key");
  const auto description = SupportedDeviceName(plan.DeviceId);
  Require(description && *description == plan.DeviceDescription, "the registration names a supported device");
  CheckEnumKeys(plan.DeviceId);
  Require(DeviceEnumKeys(plan.DeviceId).size() == 2, "a supported device has its enumeration keys");
}

void CheckUninstaller(const ClassKeys& found) {
  const ClassKeys keys = NumberedClassKeys(found);
  size_t numbered = 0;
  for (const auto& [name, values] : found)
    numbered += !name.empty() && name.size() <= 9 && name.find_first_not_of("0123456789") == std::string::npos;
  Require(keys.size() == numbered, "the scan takes every numbered key and nothing else");
  for (size_t i = 1; i < keys.size(); ++i)
    Require(std::stol(keys[i - 1].first) <= std::stol(keys[i].first), "the scan runs in numeric order");

  const ClassRemoval plan = PlanClassRemoval(keys);
  for (const std::string& name : plan.Delete) {
    bool ours = false;
    for (const auto& [key, values] : keys)
      ours = ours || (key == name && IsPs2(values) && values.ProviderName && SameText(*values.ProviderName, "TouchScreen"));
    Require(ours, "only the touchscreen's PS/2 keys are deleted");
  }
  CheckEnumKeys(plan.DeviceId);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ClassKeys found = Found(std::string_view(reinterpret_cast<const char*>(data), size));
  std::set<std::string> names;
  for (const auto& key : found) names.insert(key.first);
  CheckFinisher(found, names);
  CheckUninstaller(found);
  return 0;
}
