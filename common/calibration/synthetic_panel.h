// A touch panel made up in software: what raw reading a touch at a screen pixel gives, for a
// panel of any direction code whose picture may be turned on it. The panel emulator plays it
// under Wine; the tests touch the cross marks through it.
#pragma once

#include <cstdint>

#include "common/calibration/calibration_computation.h"

namespace koral::calibration {

struct RawReading {
  double X;
  double Y;
};

struct SyntheticPanel {
  // PanelDirection bits: 1 X runs right to left, 2 Y runs bottom to top, 4 wires exchanged.
  uint8_t Direction = 0;
  // Raw readings at the outermost pixels of the picture, before the direction is applied.
  double XLeft = 40;
  double XRight = 1000;
  double YTop = 25;
  double YBottom = 965;
  int Width = 1024;   // the picture in pixels
  int Height = 768;
  // How the picture is turned on the panel, as the calibration's OrientationCode: 1 and 2 the
  // two quarter turns, 3 the half turn, anything else not turned.
  int16_t Orientation = 0;

  // The exact reading at a pixel of the picture.
  RawReading Reading(double x, double y) const;
  // What the controller reports: the reading in whole units, within 0..1023.
  PanelPoint Touch(double x, double y) const;
};

// The calibration run's input when each of the mode's marks, where the window draws them on a
// screen of the panel's size, is touched exactly at its centre.
CalibrationInput MarksTouched(const SyntheticPanel& panel, int32_t mode);

}  // namespace koral::calibration
