// Where a raw touch lands on the screen under a calibration held by the driver. This is the one
// mapping of the suite: the touch emulation moves the pointer with it and the tests judge
// calibrations with it. It inverts the model the calibration computation rests on: on each half
// of an axis the raw reading runs linearly with the pixel, from the edge value at the outermost
// pixel to the centre value at the middle, after the panel's wiring (exchange, then mirrors) is
// undone.
#pragma once

#include "common/calibration/calibration_computation.h"
#include "common/calibration/synthetic_panel.h"
#include "common/core/driver_protocol.h"

namespace koral::calibration {

struct ScreenPosition {
  double X;
  double Y;
};

// The calibration a block holds.
NewCalibration CalibrationOf(const ParamBlock& block);

// A position within 0..width-1 and 0..height-1. Edge and centre values out of order (a block
// never calibrated, or damaged) still give a position on the screen: a centre not between its
// edges is ignored, and edges that do not rise put the whole axis at its middle.
ScreenPosition MapToScreen(const NewCalibration& c, RawReading raw, int width, int height);

// The pixel the pointer goes to: the position to the nearest whole pixel.
struct ScreenPixel {
  int X;
  int Y;
  friend bool operator==(const ScreenPixel&, const ScreenPixel&) = default;
};
ScreenPixel PixelOf(ScreenPosition p);

}  // namespace koral::calibration
