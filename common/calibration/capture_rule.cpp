#include "common/calibration/capture_rule.h"

namespace koral::calibration {

void CaptureRule::Restart() {
  stableCount_ = kStableReads;
  position_ = {0, 0};
  touchSeen_ = false;
}

CaptureStep CaptureRule::Next(const PanelSample& sample) {
  if (!sample.Touched) {
    lastCounter_ = sample.Counter;
    const bool lifted = touchSeen_;
    Restart();
    return lifted ? CaptureStep::kLiftedEarly : CaptureStep::kUntouched;
  }

  CaptureStep step = CaptureStep::kReadAgain;
  if (!touchSeen_) {
    touchSeen_ = true;
    step = CaptureStep::kTouchDown;
  }
  if (sample.X != position_.X || sample.Y != position_.Y) {
    position_ = {sample.X, sample.Y};
    stableCount_ = kStableReads;
    return step;
  }
  if (sample.Counter != lastCounter_) {
    lastCounter_ = sample.Counter;
    --stableCount_;
  }
  // The count starts at 2 and a read lowers it by at most one, so the touch-down read is never
  // the taking one.
  return stableCount_ > 0 ? step : CaptureStep::kTaken;
}

CaptureStep CaptureReader::Next(const PanelSample& sample) {
  const CaptureStep step = rule_.Next(sample);
  if (step == CaptureStep::kTaken) return step;
  staleReads_ = sample.Counter == previousCounter_ ? staleReads_ + 1 : 0;
  previousCounter_ = sample.Counter;
  if (step != CaptureStep::kReadAgain || staleReads_ < kStaleReadsBeforeMessages) return step;
  staleReads_ = 0;
  return CaptureStep::kUntouched;
}

}  // namespace koral::calibration
