// The whole touch loop from outside, for the Wine tests and the accuracy benchmark: a finger on
// an emulated panel (raw samples through the driver's simulation codes), the real control
// panel's calibration run through its window as a user runs it, and the pointer read back once
// the touch emulator has moved it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "common/calibration/calibration_computation.h"
#include "common/calibration/synthetic_panel.h"
#include "tools/sim_client.h"

namespace koral::test {

// A finger on the panel. A resting finger reads steadily, so the noise is drawn once a touch:
// each touch reads up to `noise` raw units off on each axis.
class Finger {
 public:
  Finger(sim::SimClient& driver, const calibration::SyntheticPanel& panel, int noise, uint32_t seed)
      : driver_(driver), panel_(panel), noise_(noise), random_(seed) {}

  // The reading of a new touch at a screen pixel.
  calibration::PanelPoint Reading(double x, double y);
  bool Down(calibration::PanelPoint raw) { return driver_.PushSample(raw.X, raw.Y, true); }
  bool Lift(calibration::PanelPoint raw) { return driver_.PushSample(raw.X, raw.Y, false); }

  // Puts the finger down as a new touch and makes sure the touch emulator took it as one (it
  // reads the block and the right-button slot then). Reads and empties the driver's journal.
  testing::AssertionResult NewTouch(calibration::PanelPoint raw);

  // Touches the pixel as a new touch and returns where the pointer went, then lifts. The
  // pointer is first put far from the pixel so that its move is seen; a pointer that stays there
  // (a calibration that maps the touch onto that very spot) is read after a while.
  std::optional<POINT> TouchAndRead(int x, int y);

  const calibration::SyntheticPanel& Panel() const { return panel_; }

 private:
  sim::SimClient& driver_;
  calibration::SyntheticPanel panel_;
  int noise_;
  std::mt19937 random_;
};

// Waits until a touch emulator just started follows the samples: touches the middle of the
// panel (through the block's calibration, whatever it is) until the pointer moves, then lifts.
testing::AssertionResult WaitForTouchEmulator(sim::SimClient& driver);

// A touch emulator ended in the middle of a touch leaves the buttons it pressed down for every
// program of the prefix; this lets them go.
void ReleaseMouseButtons();

// With the control panel's main window shown: presses Calibration, touches each mark the window
// asks for until it is taken, and answers the completion question with Yes. Empty when the run
// ended with the main window back; otherwise what went wrong.
std::string CalibrateThroughWindow(sim::SimClient& driver, DWORD panelProcess, HWND mainWindow,
                                   Finger& finger);

}  // namespace koral::test
