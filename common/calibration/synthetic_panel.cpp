#include "common/calibration/synthetic_panel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/calibration/targets.h"

namespace koral::calibration {

RawReading SyntheticPanel::Reading(double px, double py) const {
  // Where the pixel lies on the panel, as fractions of its width and height. A quarter turn
  // takes the picture's top left corner to the panel's top right (code 1) or down left (code 2).
  const double u = Width > 1 ? px / (Width - 1) : 0.0;
  const double v = Height > 1 ? py / (Height - 1) : 0.0;
  double across = u, down = v;
  switch (Orientation) {
    case 1: across = 1 - v, down = u; break;
    case 2: across = v, down = 1 - u; break;
    case 3: across = 1 - u, down = 1 - v; break;
    default: break;
  }
  double x = XLeft + across * (XRight - XLeft);
  double y = YTop + down * (YBottom - YTop);
  if (Direction & 1) x = 1023 - x;
  if (Direction & 2) y = 1023 - y;
  if (Direction & 4) std::swap(x, y);
  return {x, y};
}

PanelPoint SyntheticPanel::Touch(double px, double py) const {
  const RawReading r = Reading(px, py);
  auto unit = [](double value) { return static_cast<int16_t>(std::clamp(std::lround(value), 0L, 1023L)); };
  return {unit(r.X), unit(r.Y)};
}

CalibrationInput MarksTouched(const SyntheticPanel& panel, int32_t mode) {
  CalibrationInput in;
  in.CalibrationMode = mode;
  in.OrientationCode = panel.Orientation;
  in.ResolutionX = static_cast<int16_t>(panel.Width);
  in.ResolutionY = static_cast<int16_t>(panel.Height);
  const TargetGeometry g = GeometryOf(panel.Width, panel.Height);
  const int first = mode == kCornerMode ? kFirstCornerTarget : kFirstEdgeTarget;
  for (int target = first; target < first + 4; ++target) {
    const PixelPoint mark = CrossMarkOf(target, g)->Centre();
    const PanelPoint raw = panel.Touch(mark.X, mark.Y);
    in.PointX[static_cast<size_t>(target)] = raw.X;
    in.PointY[static_cast<size_t>(target)] = raw.Y;
  }
  return in;
}

}  // namespace koral::calibration
