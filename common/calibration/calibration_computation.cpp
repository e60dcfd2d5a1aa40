#include "common/calibration/calibration_computation.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <utility>

#include "common/calibration/targets.h"

namespace koral::calibration {
namespace {

constexpr int kFullScale = 1023;
constexpr int kHalfScale = 512;

// The mode's four points, clockwise from the top-left corner or the top edge.
using ModePoints = std::array<PanelPoint, 4>;

int FirstSlot(int32_t mode) { return mode == kCornerMode ? 1 : 5; }

// Undoes the turn of the picture on the panel: code 1 and 2 are the two quarter turns, 3 the
// half turn.
ModePoints Rotate(const ModePoints& p, int16_t orientation) {
  constexpr std::array<int, 4> kShift = {0, 3, 1, 2};
  const int shift = kShift[static_cast<size_t>(orientation)];
  ModePoints turned{};
  for (size_t i = 0; i < 4; ++i) turned[i] = p[(i + shift) % 4];
  return turned;
}

// Edge mode has no corner readings; its corners combine the X of the side edges with the Y of
// the top and bottom edges.
ReferenceCorners CornersOf(int32_t mode, const ModePoints& p) {
  if (mode == kCornerMode) return p;
  const PanelPoint& top = p[0];
  const PanelPoint& right = p[1];
  const PanelPoint& down = p[2];
  const PanelPoint& left = p[3];
  return {{{left.X, top.Y}, {right.X, top.Y}, {right.X, down.Y}, {left.X, down.Y}}};
}

// Nearest integer with halves to the even neighbour, independent of the FPU rounding mode.
double RoundHalfEven(double v) {
  double whole = std::floor(v);
  const double fraction = v - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return whole;
}

int16_t ToInt16(double v) {
  assert(v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max());
  return static_cast<int16_t>(v);
}

int16_t ToInt16(int v) {
  assert(v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max());
  return static_cast<int16_t>(v);
}

// The raw extremes measured at the marks, widened to the screen edges. Integer steps are the
// 16-bit ones of the suite (truncating division); the reading bounds keep them from overflowing.
struct Extended {
  double XMin, XMax, YMin, YMax;
  int XCenter, YCenter;
};

Extended CornerEdges(const ModePoints& p, int16_t resolutionX, int16_t resolutionY) {
  const auto& [tl, tr, dr, dl] = p;
  const int xMin = (tl.X + dl.X) / 2;
  const int xMax = (tr.X + dr.X) / 2;
  const int yMin = (tl.Y + tr.Y) / 2;
  const int yMax = (dr.Y + dl.Y) / 2;
  const double dX = static_cast<double>(xMax - xMin + 1) * kMarginX / (resolutionX - 2 * kMarginX);
  const double dY = static_cast<double>(yMax - yMin + 1) * kMarginY / (resolutionY - 2 * kMarginY);
  return {RoundHalfEven(xMin - dX), RoundHalfEven(xMax + dX),
          RoundHalfEven(yMin - dY), RoundHalfEven(yMax + dY),
          xMin + (xMax - xMin) / 2, yMin + (yMax - yMin) / 2};
}

// Each half of an axis is extended on its own, from the centre reading to the edge reading.
Extended EdgeMidpointEdges(const ModePoints& p, int16_t resolutionX, int16_t resolutionY) {
  const auto& [top, right, down, left] = p;
  const int xMin = left.X;
  const int xMax = right.X;
  const int yMin = top.Y;
  const int yMax = down.Y;
  const int xCenter = (top.X + down.X) / 2;
  const int yCenter = (right.Y + left.Y) / 2;
  const double halfWidth = resolutionX / 2.0 - kMarginX;
  const double halfHeight = resolutionY / 2.0 - kMarginY;
  const double dXl = static_cast<double>(xCenter - xMin + 1) * kMarginX / halfWidth;
  const double dXr = static_cast<double>(xMax - xCenter + 1) * kMarginX / halfWidth;
  const double dYt = static_cast<double>(yCenter - yMin + 1) * kMarginY / halfHeight;
  const double dYb = static_cast<double>(yMax - yCenter + 1) * kMarginY / halfHeight;
  return {RoundHalfEven(xMin - dXl), RoundHalfEven(xMax + dXr),
          RoundHalfEven(yMin - dYt), RoundHalfEven(yMax + dYb), xCenter, yCenter};
}

std::string DirectionFailureText(const std::string& first, const std::string& second) {
  return "Incorrect Panel Direction! (" + first + "-" + second + ")\r\n\r\n" +
         "Please checkout the pinout of your touch panel.";
}

// The first input that leaves the computation without a defined answer, or an empty text.
std::string RejectionOf(const CalibrationInput& in, CalibrationOutcome& outcome) {
  if (in.CalibrationMode != kCornerMode && in.CalibrationMode != kEdgeMode) {
    outcome = CalibrationOutcome::kUnsupportedMode;
    return "Calibration mode " + std::to_string(in.CalibrationMode) +
           " is not supported; 0 (corners) and 1 (edges) are.";
  }
  if (in.ResolutionX < kSmallestResolution || in.ResolutionY < kSmallestResolution) {
    outcome = CalibrationOutcome::kResolutionTooSmall;
    return "The screen of " + std::to_string(in.ResolutionX) + " x " +
           std::to_string(in.ResolutionY) + " pixels is too small: both sides must exceed " +
           std::to_string(2 * kMarginX) + " pixels to leave room between the cross marks.";
  }
  const int first = FirstSlot(in.CalibrationMode);
  for (int slot = first; slot < first + 4; ++slot) {
    const std::pair<const char*, int16_t> reading[] = {{"X", in.PointX[slot]},
                                                       {"Y", in.PointY[slot]}};
    for (const auto& [axis, value] : reading) {
      if (value < kLowestReading || value > kHighestReading) {
        outcome = CalibrationOutcome::kReadingOutOfRange;
        return "The " + std::string(kTargetNames[slot]) + " reading " + axis + " = " +
               std::to_string(value) + " is too far outside the controller's range 0.." +
               std::to_string(kFullScale) + " (" + std::to_string(kLowestReading) + " to " +
               std::to_string(kHighestReading) + " is accepted).";
      }
    }
  }
  return {};
}

}  // namespace

std::string BuildDirectionPattern(const ReferenceCorners& corners) {
  std::string pattern;
  pattern.reserve(8);
  for (const PanelPoint& c : corners) {
    pattern += c.X >= kHalfScale ? '1' : '0';
    pattern += c.Y >= kHalfScale ? '1' : '0';
  }
  return pattern;
}

uint8_t DecodeDirectionPattern(std::string_view pattern) {
  constexpr std::array<std::string_view, 4> kPatterns = {"00101101", "10000111", "01111000",
                                                          "11010010"};
  for (size_t code = 0; code < kPatterns.size(); ++code) {
    if (pattern == kPatterns[code]) return static_cast<uint8_t>(code);
  }
  return kUnrecognisedDirection;
}

CalibrationResult ComputeCalibration(const CalibrationInput& in) {
  CalibrationResult result;
  const bool turnKnown = in.OrientationCode >= 0 && in.OrientationCode <= 3;
  result.OrientationCode = turnKnown ? in.OrientationCode : 0;
  result.Reason = RejectionOf(in, result.Outcome);
  if (!result.Reason.empty()) return result;

  const int first = FirstSlot(in.CalibrationMode);
  ModePoints p{};
  for (size_t i = 0; i < 4; ++i) p[i] = {in.PointX[first + i], in.PointY[first + i]};
  p = Rotate(p, result.OrientationCode);

  result.FirstPattern = BuildDirectionPattern(CornersOf(in.CalibrationMode, p));
  uint8_t direction = DecodeDirectionPattern(result.FirstPattern);
  if (direction == kUnrecognisedDirection) {
    for (PanelPoint& point : p) std::swap(point.X, point.Y);
    result.SecondPattern = BuildDirectionPattern(CornersOf(in.CalibrationMode, p));
    direction = DecodeDirectionPattern(result.SecondPattern);
    if (direction == kUnrecognisedDirection) {
      result.Outcome = CalibrationOutcome::kDirectionNotRecognised;
      result.Reason = DirectionFailureText(result.FirstPattern, result.SecondPattern);
      return result;
    }
    direction += 4;
  }

  for (PanelPoint& point : p) {
    if (direction & 2) point.Y = ToInt16(kFullScale - point.Y);
    if (direction & 1) point.X = ToInt16(kFullScale - point.X);
  }

  const Extended e = in.CalibrationMode == kCornerMode
                         ? CornerEdges(p, in.ResolutionX, in.ResolutionY)
                         : EdgeMidpointEdges(p, in.ResolutionX, in.ResolutionY);
  // Only the outer side of each edge value is limited to the raw range; the centres keep the
  // values measured.
  NewCalibration& c = result.Calibration;
  c.CalXLeft = ToInt16(std::max(e.XMin, 0.0));
  c.CalXRight = ToInt16(std::min(e.XMax, static_cast<double>(kFullScale)));
  c.CalYTop = ToInt16(std::max(e.YMin, 0.0));
  c.CalYBottom = ToInt16(std::min(e.YMax, static_cast<double>(kFullScale)));
  c.CalXCenter = ToInt16(e.XCenter);
  c.CalYCenter = ToInt16(e.YCenter);
  c.PanelDirection = direction;
  return result;
}

}  // namespace koral::calibration
