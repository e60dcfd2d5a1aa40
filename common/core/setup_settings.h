// The controller settings an installation seeds into the model key from its "setup.ini": how a
// setting's text becomes a number, which values are stored, with which type and byte layout.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/setup_seeds.h"

namespace koral {

// What ReadIniSetting gives besides a value in range (every range starts at 0 or above, so these
// never collide with a value).
inline constexpr int32_t kSettingEmpty = -1;
inline constexpr int32_t kSettingBelowRange = -2;
inline constexpr int32_t kSettingAboveRange = -3;

// The number at the start of the text, rounded to the nearest whole number with halves going to
// the even neighbour; 0 when the text does not start with a number. Leading blanks and tabs are
// skipped; a sign, digits, a decimal point and an exponent ("1e1") are read. Values beyond
// +-10^12 come back as +-10^12, which no setting accepts.
int64_t RoundedLeadingNumber(std::string_view text);

// A setting's text against its range: kSettingEmpty for an empty text, kSettingBelowRange or
// kSettingAboveRange outside minimum..maximum, else the rounded number.
int32_t SettingValue(std::string_view text, int32_t minimum, int32_t maximum);

// The registry bytes of a seed stored as REG_BINARY: 1 byte the low byte; 2 bytes the low byte,
// then the next; 4 bytes from the most significant down. Other counts give no bytes.
std::vector<uint8_t> SeedBytes(uint32_t value, int byteCount);

// A value to store in the model key: ByteCount 0 is a REG_DWORD, 1, 2 or 4 a REG_BINARY of that
// many bytes (SeedBytes).
struct SeedStore {
  std::string ValueName;
  int32_t Value;
  int ByteCount;
  friend bool operator==(const SeedStore&, const SeedStore&) = default;
};

// The model-key value that a "setup.ini" key seeds (exact names); empty for any other name.
std::string_view SeededValueOf(std::string_view key);

// The stores an import makes, in order, given each key's setting (read in kSetupIniKeys order,
// as SettingValue gives it). A setting that is empty or out of range is left out; the two 4-byte
// values (RightButtonAutomatic, MouseSpeed) are stored only when all four of their keys are in
// range.
std::vector<SeedStore> PlanSeedStores(const std::function<int32_t(const SetupIniKey& key)>& readSetting);

}  // namespace koral
