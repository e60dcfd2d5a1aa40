#include "common/calibration/touch_emulation.h"

namespace koral::calibration {
namespace {

constexpr uint8_t kStream = 1, kLiftOff = 2, kTouchDown = 3, kDragDrop = 4;

bool BeepsOnDown(uint8_t feedback) { return feedback == 2 || feedback == 4; }
bool BeepsOnLift(uint8_t feedback) { return feedback == 3 || feedback == 4; }

}  // namespace

std::vector<PointerStep> TouchEmulation::Down(ScreenPixel at, const TouchSettings& settings) {
  std::vector<PointerStep> steps;
  // A touch that comes down without the last one's lift being seen ends that one first, so that
  // no button is left held.
  if (touching_) steps = Lift();
  touching_ = true;
  settings_ = settings;
  at_ = at;
  rightClick_ = settings.RightArmed;
  steps.push_back({PointerAction::kMove, at});
  if (BeepsOnDown(settings.FeedbackSound)) steps.push_back({PointerAction::kBeep, at});
  if (rightClick_) {
    steps.push_back({PointerAction::kRightDown, at});
    steps.push_back({PointerAction::kRightUp, at});
    steps.push_back({PointerAction::kRightDone, at});
    return steps;
  }
  switch (settings.TouchMode) {
    case kStream:
      steps.push_back({PointerAction::kLeftDown, at});
      leftHeld_ = true;
      break;
    case kTouchDown:
      steps.push_back({PointerAction::kLeftDown, at});
      steps.push_back({PointerAction::kLeftUp, at});
      break;
    default:  // lift off and drag and drop press later; an unknown mode never presses
      break;
  }
  return steps;
}

std::vector<PointerStep> TouchEmulation::Move(ScreenPixel at) {
  std::vector<PointerStep> steps;
  if (!touching_ || at == at_) return steps;
  // Drag and drop takes hold where the finger came down once it starts to slide.
  if (!rightClick_ && settings_.TouchMode == kDragDrop && !leftHeld_) {
    steps.push_back({PointerAction::kLeftDown, at_});
    leftHeld_ = true;
  }
  at_ = at;
  steps.push_back({PointerAction::kMove, at});
  return steps;
}

std::vector<PointerStep> TouchEmulation::Lift() {
  std::vector<PointerStep> steps;
  if (!touching_) return steps;
  touching_ = false;
  if (leftHeld_) {
    steps.push_back({PointerAction::kLeftUp, at_});
    leftHeld_ = false;
  } else if (!rightClick_ && (settings_.TouchMode == kLiftOff || settings_.TouchMode == kDragDrop)) {
    // Lift off always clicks where the finger left; drag and drop clicks for a tap.
    steps.push_back({PointerAction::kLeftDown, at_});
    steps.push_back({PointerAction::kLeftUp, at_});
  }
  if (BeepsOnLift(settings_.FeedbackSound)) steps.push_back({PointerAction::kBeep, at_});
  return steps;
}

}  // namespace koral::calibration
