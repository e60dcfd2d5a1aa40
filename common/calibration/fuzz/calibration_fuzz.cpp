// libFuzzer target: arbitrary inputs must give a sound result, never undefined behaviour.
//
// Input layout, little-endian, missing bytes read as 0:
//   0  int32 CalibrationMode
//   4  int16 OrientationCode, ResolutionX, ResolutionY
//   10 int16 PointX, PointY of slots 1..8, pairwise
//   42 int16 PointX, PointY of the unused slots 0 and 9..25, pairwise
#include "common/calibration/calibration_computation.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/core/fuzz/require.h"

namespace {

using namespace koral::calibration;
using koral::fuzz::Require;

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  template <typename T>
  T Take() {
    uint8_t bytes[sizeof(T)] = {};
    for (size_t i = 0; i < sizeof(T) && at_ < size_; ++i) bytes[i] = data_[at_++];
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

bool InRange(int16_t v) { return v >= kLowestReading && v <= kHighestReading; }

bool IsPattern(const std::string& s) {
  return s.size() == 8 && s.find_first_not_of("01") == std::string::npos;
}

bool SameResult(const CalibrationResult& a, const CalibrationResult& b) {
  return a.Outcome == b.Outcome && a.Calibration == b.Calibration &&
         a.OrientationCode == b.OrientationCode && a.FirstPattern == b.FirstPattern &&
         a.SecondPattern == b.SecondPattern && a.Reason == b.Reason;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader reader(data, size);
  CalibrationInput in;
  in.CalibrationMode = reader.Take<int32_t>();
  in.OrientationCode = reader.Take<int16_t>();
  in.ResolutionX = reader.Take<int16_t>();
  in.ResolutionY = reader.Take<int16_t>();
  for (int slot = 1; slot <= 8; ++slot) {
    in.PointX[slot] = reader.Take<int16_t>();
    in.PointY[slot] = reader.Take<int16_t>();
  }
  CalibrationInput withUnused = in;
  for (int slot = 0; slot < kPointSlots; slot = slot == 0 ? 9 : slot + 1) {
    withUnused.PointX[slot] = reader.Take<int16_t>();
    withUnused.PointY[slot] = reader.Take<int16_t>();
  }

  const CalibrationResult r = ComputeCalibration(in);
  Require(SameResult(r, ComputeCalibration(withUnused)), "unused slots changed the result");
  Require(r.OrientationCode >= 0 && r.OrientationCode <= 3, "orientation code out of 0..3");
  Require(r.OrientationCode == in.OrientationCode || in.OrientationCode < 0 ||
              in.OrientationCode > 3,
          "valid orientation code replaced");
  Require(r.Succeeded() == r.Reason.empty(), "reason given exactly on failure");

  const bool modeKnown = in.CalibrationMode == kCornerMode || in.CalibrationMode == kEdgeMode;
  const bool screenUsable = in.ResolutionX > 2 * kMarginX && in.ResolutionY > 2 * kMarginY;
  bool readingsUsable = true;
  const int first = in.CalibrationMode == kCornerMode ? 1 : 5;
  for (int slot = first; modeKnown && slot < first + 4; ++slot)
    readingsUsable = readingsUsable && InRange(in.PointX[slot]) && InRange(in.PointY[slot]);
  using enum CalibrationOutcome;
  Require((r.Outcome == kUnsupportedMode) == !modeKnown, "mode rejection");
  Require((r.Outcome == kResolutionTooSmall) == (modeKnown && !screenUsable), "screen rejection");
  Require((r.Outcome == kReadingOutOfRange) == (modeKnown && screenUsable && !readingsUsable),
          "reading rejection");

  if (r.Outcome == kDirectionNotRecognised) {
    Require(IsPattern(r.FirstPattern) && IsPattern(r.SecondPattern), "failure patterns");
    Require(DecodeDirectionPattern(r.FirstPattern) == kUnrecognisedDirection &&
                DecodeDirectionPattern(r.SecondPattern) == kUnrecognisedDirection,
            "failure with a known pattern");
  }
  if (r.Succeeded()) {
    const NewCalibration& c = r.Calibration;
    Require(c.PanelDirection <= 7, "direction out of 0..7");
    Require(IsPattern(r.FirstPattern), "first pattern");
    if (c.PanelDirection < 4) {
      Require(DecodeDirectionPattern(r.FirstPattern) == c.PanelDirection && r.SecondPattern.empty(),
              "direction from the first pattern");
    } else {
      Require(DecodeDirectionPattern(r.FirstPattern) == kUnrecognisedDirection &&
                  DecodeDirectionPattern(r.SecondPattern) == c.PanelDirection - 4,
              "direction from the second pattern");
    }
    Require(c.CalXLeft >= 0 && c.CalYTop >= 0 && c.CalXRight <= 1023 && c.CalYBottom <= 1023,
            "edge values beyond their clamps");
    // Corner readings sit on either side of half range once the direction is undone, so the
    // centre never lies outside the edges.
    if (in.CalibrationMode == kCornerMode) {
      Require(c.CalXLeft <= c.CalXCenter && c.CalXCenter <= c.CalXRight &&
                  c.CalYTop <= c.CalYCenter && c.CalYCenter <= c.CalYBottom,
              "corner-mode centre outside its edges");
    }
  }
  return 0;
}
