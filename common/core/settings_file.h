// A PC's settings carried to other PCs as a "setup.ini": the file the control panel exports, and
// the check a file passes before an import or an installation takes it. A file that passes reads
// back, by the setup finisher's own rules, as exactly the values the check found.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/double_click.h"
#include "common/core/driver_protocol.h"
#include "common/core/setup_seeds.h"
#include "common/core/setup_settings.h"

namespace koral {

// One value per key of kSetupIniKeys, in that order; empty where a file leaves the key out.
using SettingsValues = std::array<std::optional<int32_t>, kSetupIniKeyCount>;

// What an export takes from a PC: the driver's block, the control panel's calibration mode and
// the startup program's double-click values, each as the programs use it.
struct PcSettings {
  ParamBlock Block{};
  int32_t CalibrationMode = 1;
  DoubleClickSettings DoubleClick;
};

// Every key's value on the PC. A value outside its key's range has no place in the file: it is
// named in Problems ("VirtualButton is 0 in the driver's block, outside 1..4") and the export
// must not be written.
struct ExportedSettings {
  SettingsValues Values;
  std::vector<std::string> Problems;
};
ExportedSettings ExportedValues(const PcSettings& pc);

// A "setup.ini" giving the values present: a comment, section "Settings", one key a line in the
// table's order, CRLF line ends, plain ASCII.
std::string SettingsFileText(const SettingsValues& values);

// The control panel's calibration mode for what the model key holds (empty: nothing readable):
// 1 unless the stored mode is one the list offers (0 or 1).
int32_t CalibrationModeInForce(std::optional<int32_t> stored);

// A settings file is a few hundred bytes; the reader reads at most one byte beyond this, so that
// a larger file shows as such.
inline constexpr size_t kSettingsFileLimit = 64 * 1024;
// The longest value the setup finisher reads whole (its buffer holds 255 characters with the NUL).
inline constexpr size_t kSettingValueLimit = 254;

// What the check of a file found: its values, and one line for each problem, "file:line: key:
// what is wrong" ("file: what is wrong" for the file as a whole). The file is taken only when
// there is no problem at all.
//
// The rules are the setup finisher's reading made strict: section "Settings" alone, whose name
// and keys match in any case; blanks around keys and values and one pair of quotes around a value
// do not count; lines starting with ";" are comments. Every key must be one of the table's, given
// once, with a whole decimal number in its range; the four keys of RightButtonAutomatic and of
// MouseSpeed come together or not at all (the finisher seeds those values only whole). A key
// given twice is refused rather than one of them chosen: the finisher would take the first, and
// whoever edited the file may well have meant the second.
struct SettingsFileCheck {
  SettingsValues Values;
  std::vector<std::string> Problems;
  bool Accepted() const { return Problems.empty(); }
};
SettingsFileCheck CheckSettingsFile(std::string_view fileName, std::string_view bytes);

// The block fields of the values present; every other byte of the block stays as it is.
void PutIntoBlock(const SettingsValues& values, ParamBlock& block);

// The model-key seeds of the values present, as the setup finisher stores them.
std::vector<SeedStore> SeedStoresOf(const SettingsValues& values);

}  // namespace koral
