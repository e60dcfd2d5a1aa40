#include "common/calibration/pointer_mapping.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace koral::calibration {
namespace {

constexpr double kFullScale = 1023;

double MapAxis(double raw, double low, double centre, double high, int pixels) {
  const double last = std::max(pixels - 1, 0);
  const double middle = last / 2;
  double at;
  if (!(low < high)) {
    at = middle;
  } else if (low < centre && centre < high) {
    at = raw <= centre ? (raw - low) * middle / (centre - low)
                       : middle + (raw - centre) * (last - middle) / (high - centre);
  } else {
    at = (raw - low) * last / (high - low);
  }
  return std::clamp(at, 0.0, last);
}

}  // namespace

NewCalibration CalibrationOf(const ParamBlock& b) {
  return {b.CalXLeft, b.CalXCenter, b.CalXRight, b.CalYTop, b.CalYCenter, b.CalYBottom, b.PanelDirection};
}

ScreenPosition MapToScreen(const NewCalibration& c, RawReading raw, int width, int height) {
  double x = raw.X, y = raw.Y;
  // The same order as the computation's: the exchanged wires first, then the mirrors.
  if (c.PanelDirection & 4) std::swap(x, y);
  if (c.PanelDirection & 2) y = kFullScale - y;
  if (c.PanelDirection & 1) x = kFullScale - x;
  return {MapAxis(x, c.CalXLeft, c.CalXCenter, c.CalXRight, width),
          MapAxis(y, c.CalYTop, c.CalYCenter, c.CalYBottom, height)};
}

ScreenPixel PixelOf(ScreenPosition p) {
  return {static_cast<int>(std::lround(p.X)), static_cast<int>(std::lround(p.Y))};
}

}  // namespace koral::calibration
