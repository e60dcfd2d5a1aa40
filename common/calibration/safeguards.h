// The calibration's two safeguards, each off unless the model key turns it on: a touch that does
// not fit the other three is asked for again, and the keep question restores the old
// calibration when it stays unanswered for a while. A value that is absent, of another type or
// out of its range leaves its safeguard off, so a run is then exactly the plain one.
#pragma once

#include <cstdint>
#include <optional>

namespace koral::calibration {

// REG_DWORD, raw units 1..255: how far a touch may lie off the line its neighbours give.
inline constexpr char kTouchToleranceValue[] = "CalibrationTouchTolerance";
inline constexpr int32_t kLeastTouchTolerance = 1;
inline constexpr int32_t kGreatestTouchTolerance = 255;

// REG_DWORD, seconds 5..300: how long the keep question waits for its answer.
inline constexpr char kKeepSecondsValue[] = "CalibrationKeepSeconds";
inline constexpr int32_t kLeastKeepSeconds = 5;
inline constexpr int32_t kGreatestKeepSeconds = 300;

struct Safeguards {
  std::optional<int16_t> TouchTolerance;  // raw units; nothing: every touch is taken as it is
  std::optional<int16_t> KeepSeconds;     // nothing: the keep question waits for ever
};

// From the two stored numbers as read (nothing when absent or not a number).
Safeguards SafeguardsOf(std::optional<int32_t> touchTolerance, std::optional<int32_t> keepSeconds);

}  // namespace koral::calibration
