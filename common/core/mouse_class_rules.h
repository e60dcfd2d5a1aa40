// How the setup tools register the touchscreen as the PS/2 mouse and take that registration away
// again: the mouse class keys, the device names and identifiers, the strings of the driver's INF
// file, and which class keys each tool deletes. No registry access here; the tools read the
// keys, ask these rules, and act.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace koral {

inline constexpr const char kMouseClassPath[] = "System\\CurrentControlSet\\Services\\Class\\Mouse";
inline constexpr const char kDriverVersion[] = "7.2.PS2";
inline constexpr const char kInfFileName[] = "KORALPS2.INF";
inline constexpr const char kInfSection[] = "Strings";
// The identifier the registration uses when no class key names a supported one.
inline constexpr const char kDefaultDeviceId[] = "*PNP0F13";

// The four-digit name of class sub-key n: 0 -> "0000", 12 -> "0012".
std::string ClassSubKeyName(int n);

// A class key's "MouseType" names the PS/2 mouse in any mix of case.
bool IsPs2MouseType(std::string_view mouseType);

// The device name for one of the six supported PS/2 identifiers (any case), e.g. "*pnp0f03" ->
// "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F03)"; nothing for any other identifier.
std::optional<std::string> SupportedDeviceName(std::string_view deviceId);

using NamedTexts = std::vector<std::pair<std::string, std::string>>;

// The INF file's "Strings" entries, in the order they are written, each value as InfStringText
// gives it; nothing when the installation path is one no INF line gives back (InfStringText).
std::optional<NamedTexts> InfStrings(const std::string& installPath);

// The ten REG_SZ values of the touchscreen's class key, in the order they are written.
NamedTexts ClassValues(const std::string& deviceDescription, const std::string& deviceId);

// The device's enumeration keys under HKEY_LOCAL_MACHINE, ACPI first; none for an identifier
// that is not one of the six supported ones (an empty one would name the whole trees).
std::vector<std::string> DeviceEnumKeys(const std::string& deviceId);

// What a tool read from one class sub-key; nothing where the value could not be read as text.
struct ClassKeyValues {
  std::optional<std::string> MouseType;
  std::optional<std::string> MatchingDeviceId;
  std::optional<std::string> ProviderName;
};

// A class sub-key as a tool found it: its name and what it read from it.
using ClassKeys = std::vector<std::pair<std::string, ClassKeyValues>>;

// The setup finisher's scan: the sub-keys "0000", "0001", ... of those found (in any order) up
// to the first number that is missing; element n is sub-key n.
std::vector<ClassKeyValues> ClassKeysUntilGap(const ClassKeys& found);

// The uninstaller's scan: every sub-key found whose name is a number of one to nine digits, in
// numeric order (names of equal value, "7" and "0007", in text order), also past a missing number.
ClassKeys NumberedClassKeys(const ClassKeys& found);

// The setup finisher's decision over ClassKeysUntilGap (`keys[n]` is sub-key n).
struct ClassRegistration {
  std::vector<std::string> Delete;  // sub-key names, in scan order
  std::string SubKey;               // the key the registration is written to
  std::string DeviceDescription;
  std::string DeviceId;
  friend bool operator==(const ClassRegistration&, const ClassRegistration&) = default;
};
// Every PS/2 key is deleted; the last one naming a supported identifier gives the new key its
// name, description and identifier (as read); without one the new key takes the first free
// number and the default identifier.
ClassRegistration PlanClassRegistration(const std::vector<ClassKeyValues>& keys);

// The uninstaller's decision over NumberedClassKeys.
struct ClassRemoval {
  std::vector<std::string> Delete;  // sub-key names, in scan order
  std::string DeviceId;             // whose enumeration keys go
  friend bool operator==(const ClassRemoval&, const ClassRemoval&) = default;
};
// Keys of provider "TouchScreen" (any case) whose mouse type is PS/2 are deleted; the last of
// them that names one of the six supported identifiers gives the one whose enumeration keys go
// (default otherwise). Any other identifier, an empty one included, is passed over.
ClassRemoval PlanClassRemoval(const ClassKeys& keys);

// The setup finisher's command line selects the silent run with "/XPEFBASETUP" in any case,
// blanks around it ignored.
bool IsSilentSetupRun(std::string_view arguments);

}  // namespace koral
