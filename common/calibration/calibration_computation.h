// Turns the four raw readings of a calibration run into the driver's edge values and panel
// direction. Portable: no window, no driver; the calibration window shows failures and writes
// the orientation code back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace koral::calibration {

// CalibrationMode values: the four corners, or the four edge midpoints.
inline constexpr int32_t kCornerMode = 0;
inline constexpr int32_t kEdgeMode = 1;

// PointX/PointY slots: 1..4 hold the corner targets (TOP-LEFT, TOP-RIGHT, DOWN-RIGHT,
// DOWN-LEFT), 5..8 the edge targets (TOP, RIGHT, DOWN, LEFT); the others are never read.
inline constexpr int kPointSlots = 26;
using PointArray = std::array<int16_t, kPointSlots>;

// Distance of the cross marks from the screen edges, in pixels.
inline constexpr int16_t kMarginX = 16;
inline constexpr int16_t kMarginY = 16;

// A 10-bit controller reports 0..1023. Readings a quarter range beyond either end are still
// computed as usual; further out they are rejected. Within these bounds every 16-bit
// intermediate and result fits for any screen above 32 pixels (the tightest case, a 33-pixel
// screen in edge mode, would tolerate 498 units of overshoot).
inline constexpr int16_t kLowestReading = -256;
inline constexpr int16_t kHighestReading = 1023 + 256;

// Below this the margins leave no room between the marks and the extension divides by zero or
// a negative number.
inline constexpr int16_t kSmallestResolution = 2 * kMarginX + 1;

inline constexpr uint8_t kUnrecognisedDirection = 255;

struct PanelPoint {
  int16_t X;
  int16_t Y;
};

// Reference corners in the order top-left, top-right, down-right, down-left.
using ReferenceCorners = std::array<PanelPoint, 4>;

// Eight characters, X then Y of each corner: "1" for 512 or more, "0" below.
std::string BuildDirectionPattern(const ReferenceCorners& corners);

// 0..3 (bit 0: X mirrored, bit 1: Y mirrored) for the four known patterns, else
// kUnrecognisedDirection.
uint8_t DecodeDirectionPattern(std::string_view pattern);

struct CalibrationInput {
  int32_t CalibrationMode = kCornerMode;
  PointArray PointX{};
  PointArray PointY{};
  int16_t OrientationCode = 0;  // WindowSlot state word of the companion program
  int16_t ResolutionX = 0;
  int16_t ResolutionY = 0;
};

// The fields map one to one onto the ParamBlock fields of the same names.
struct NewCalibration {
  int16_t CalXLeft = 0;
  int16_t CalXCenter = 0;
  int16_t CalXRight = 0;
  int16_t CalYTop = 0;
  int16_t CalYCenter = 0;
  int16_t CalYBottom = 0;
  uint8_t PanelDirection = 0;  // bit 0 X mirrored, bit 1 Y mirrored, bit 2 X and Y exchanged

  friend bool operator==(const NewCalibration&, const NewCalibration&) = default;
};

enum class CalibrationOutcome {
  kComputed,
  kDirectionNotRecognised,  // FirstPattern and SecondPattern say what was seen
  kUnsupportedMode,
  kResolutionTooSmall,
  kReadingOutOfRange,
};

struct CalibrationResult {
  CalibrationOutcome Outcome = CalibrationOutcome::kComputed;
  NewCalibration Calibration;  // filled only when Outcome is kComputed
  // The orientation code actually used, 0..3. An out-of-range input is taken as 0, and the
  // caller writes this back into the WindowSlot state word whatever the outcome.
  int16_t OrientationCode = 0;
  std::string FirstPattern;   // direction patterns, as built, when the direction was tested
  std::string SecondPattern;  // empty unless the exchanged axes were tried too
  // Empty on success; otherwise the text to show the user: for an unrecognised direction the
  // suite's fixed message with both patterns, for rejected inputs what was wrong with them.
  std::string Reason;

  bool Succeeded() const { return Outcome == CalibrationOutcome::kComputed; }
};

// Pure: the input is copied, never changed.
CalibrationResult ComputeCalibration(const CalibrationInput& input);

}  // namespace koral::calibration
