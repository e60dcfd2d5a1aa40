// The keys of "setup.ini" section "Settings": their ranges, the model-key values they seed and
// the block fields they set. The substitute driver takes the seeds into its block too, so this
// stays freestanding: the protocol header and <stdint.h> alone.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "common/core/driver_protocol.h"

namespace koral {

// BlockOffset of a key that sets no block field: the calibration mode and the three double-click
// values, which the programs keep in the model key.
inline constexpr uint8_t kNotInBlock = 0xFF;

// One key of "setup.ini" section "Settings", the range it must lie in, and the block field it
// sets: BlockWidth 1 is a byte, 2 a little-endian i16.
struct SetupIniKey {
  const char* Name;
  int32_t Minimum;
  int32_t Maximum;
  uint8_t BlockOffset;
  uint8_t BlockWidth;
};

// The eighteen keys in the order they are read.
inline constexpr SetupIniKey kSetupIniKeys[] = {
    {"CalibrationMode", 0, 1, kNotInBlock, 0},
    {"VirtualButton", 1, 4, offsetof(ParamBlock, VirtualButton), 1},
    {"RightButtonFunction", 0, 1, offsetof(ParamBlock, RightButtonFunction), 1},
    {"RightButtonAutoMode", 0, 1, offsetof(ParamBlock, RightButtonAutoMode), 1},
    {"RightButtonAutoSTime", 0, 9, offsetof(ParamBlock, RightButtonAutoSTime), 1},
    {"RightButtonAutoETime", 0, 9, offsetof(ParamBlock, RightButtonAutoETime), 1},
    {"RightButtonAutoBeep", 0, 1, offsetof(ParamBlock, RightButtonAutoBeep), 1},
    {"FeedbackSound", 1, 4, offsetof(ParamBlock, FeedbackSound), 1},
    {"FeedbackTone", 200, 5000, offsetof(ParamBlock, FeedbackTone), 2},
    {"FeedbackDuration", 10, 50, offsetof(ParamBlock, FeedbackDuration), 2},
    {"MouseBypass", 0, 1, offsetof(ParamBlock, MouseBypass), 1},
    {"MouseHSpeed", 1, 20, offsetof(ParamBlock, MouseHSpeed), 1},
    {"MouseVSpeed", 1, 20, offsetof(ParamBlock, MouseVSpeed), 1},
    {"MouseAcceleration", 1, 4, offsetof(ParamBlock, MouseAcceleration), 1},
    {"DoubleClickSpeed", 100, 900, kNotInBlock, 0},
    {"DoubleClickWidth", 0, 64, kNotInBlock, 0},
    {"DoubleClickHeight", 0, 64, kNotInBlock, 0},
    {"PanelDirection", 0, 7, offsetof(ParamBlock, PanelDirection), 1},
};
inline constexpr size_t kSetupIniKeyCount = sizeof(kSetupIniKeys) / sizeof(kSetupIniKeys[0]);

// A value of the model key that the import seeds, in the order they are stored: ByteCount 0 is a
// REG_DWORD, 1, 2 or 4 a REG_BINARY of that many bytes; made of one "setup.ini" key, or of four
// (RightButtonAutomatic, MouseSpeed) whose values fill its bytes from the first down.
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
inline constexpr size_t kSeedValueCount = sizeof(kSeedValues) / sizeof(kSeedValues[0]);

// The place of the key named exactly `name` in kSetupIniKeys; -1 for any other name.
constexpr int SetupIniKeyIndex(const char* name) {
  for (size_t i = 0; i < kSetupIniKeyCount; ++i) {
    const char* a = kSetupIniKeys[i].Name;
    const char* b = name;
    while (*a != '\0' && *a == *b) ++a, ++b;
    if (*a == *b) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace koral
