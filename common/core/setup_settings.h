// The controller settings an installation seeds into the model key from its "setup.ini": how a
// setting's text becomes a number, which values are stored, with which type and byte layout.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// One key of "setup.ini" section "Settings" and the range it must lie in.
struct SetupIniKey {
  const char* Name;
  int32_t Minimum;
  int32_t Maximum;
};

// The eighteen keys in the order they are read.
inline constexpr SetupIniKey kSetupIniKeys[] = {
    {"CalibrationMode", 0, 1},       {"VirtualButton", 1, 4},
    {"RightButtonFunction", 0, 1},   {"RightButtonAutoMode", 0, 1},
    {"RightButtonAutoSTime", 0, 9},  {"RightButtonAutoETime", 0, 9},
    {"RightButtonAutoBeep", 0, 1},   {"FeedbackSound", 1, 4},
    {"FeedbackTone", 200, 5000},     {"FeedbackDuration", 10, 50},
    {"MouseBypass", 0, 1},           {"MouseHSpeed", 1, 20},
    {"MouseVSpeed", 1, 20},          {"MouseAcceleration", 1, 4},
    {"DoubleClickSpeed", 100, 900},  {"DoubleClickWidth", 0, 64},
    {"DoubleClickHeight", 0, 64},    {"PanelDirection", 0, 7},
};

// A value to store in the model key: ByteCount 0 is a REG_DWORD, 1, 2 or 4 a REG_BINARY of that
// many bytes (SeedBytes).
struct SeedStore {
  std::string ValueName;
  int32_t Value;
  int ByteCount;
  friend bool operator==(const SeedStore&, const SeedStore&) = default;
};

// A value of the model key that the import seeds, in the order they are stored: ByteCount as in
// SeedStore, made of one "setup.ini" key, or of four (RightButtonAutomatic, MouseSpeed) whose
// values fill its bytes from the most significant down.
struct SeedValue {
  const char* ValueName;
  int ByteCount;
  const char* Keys[4];
};
inline constexpr SeedValue kSeedValues[] = {
    {"CalibrationMode", 0, {"CalibrationMode"}},
    {"VirtualButton", 1, {"VirtualButton"}},
    {"RightButtonFunction", 1, {"RightButtonFunction"}},
    {"RightButtonAutomatic", 4,
     {"RightButtonAutoMode", "RightButtonAutoSTime", "RightButtonAutoETime", "RightButtonAutoBeep"}},
    {"FeedbackSound", 1, {"FeedbackSound"}},
    {"FeedbackTone", 2, {"FeedbackTone"}},
    {"FeedbackDuration", 2, {"FeedbackDuration"}},
    {"MouseSpeed", 4, {"MouseHSpeed", "MouseVSpeed", "MouseAcceleration", "MouseBypass"}},
    {"DoubleClickSpeed", 0, {"DoubleClickSpeed"}},
    {"DoubleClickWidth", 0, {"DoubleClickWidth"}},
    {"DoubleClickHeight", 0, {"DoubleClickHeight"}},
    {"PanelDirection", 1, {"PanelDirection"}},
};

// The model-key value that a "setup.ini" key seeds (exact names); empty for any other name.
std::string_view SeededValueOf(std::string_view key);

// The stores an import makes, in order, given each key's setting (read in kSetupIniKeys order,
// as SettingValue gives it). A setting that is empty or out of range is left out; the two 4-byte
// values (RightButtonAutomatic, MouseSpeed) are stored only when all four of their keys are in
// range.
std::vector<SeedStore> PlanSeedStores(const std::function<int32_t(const SetupIniKey& key)>& readSetting);

}  // namespace koral
