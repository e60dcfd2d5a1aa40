// What a touch does to the pointer under the touch mode and right-button state in force: the
// steps a driver takes as the finger comes down, moves and lifts. Portable, so that the touch
// emulation's behaviour is tested without a display; the emulator only carries the steps out.
#pragma once

#include <cstdint>
#include <vector>

#include "common/calibration/pointer_mapping.h"

namespace koral::calibration {

enum class PointerAction {
  kMove,       // the pointer goes to At
  kLeftDown,
  kLeftUp,
  kRightDown,
  kRightUp,
  kRightDone,  // the armed right button has been used: clear the driver's state word
  kBeep,       // the feedback sound
};

struct PointerStep {
  PointerAction Action;
  ScreenPixel At;  // where the pointer is when the step is taken
  friend bool operator==(const PointerStep&, const PointerStep&) = default;
};

// The block's values that decide a touch, read as it comes down.
struct TouchSettings {
  uint8_t TouchMode = 1;      // VirtualButton: 1 stream, 2 lift off, 3 touch down, 4 drag and drop
  uint8_t FeedbackSound = 1;  // 1 silence, 2 on touch down, 3 on lift, 4 both
  bool RightArmed = false;    // the right-button tool's state word is 1
};

class TouchEmulation {
 public:
  // The finger comes down at `at`.
  std::vector<PointerStep> Down(ScreenPixel at, const TouchSettings& settings);
  // The finger, still down, is reported at `at` (the same place or another).
  std::vector<PointerStep> Move(ScreenPixel at);
  // The finger leaves the panel where it was last reported.
  std::vector<PointerStep> Lift();

  bool Touching() const { return touching_; }

 private:
  bool touching_ = false;
  bool leftHeld_ = false;
  bool rightClick_ = false;  // this touch was taken as the right click
  TouchSettings settings_;
  ScreenPixel at_{0, 0};
};

}  // namespace koral::calibration
