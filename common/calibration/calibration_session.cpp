#include "common/calibration/calibration_session.h"

#include "common/calibration/targets.h"
#include "common/calibration/touch_fit.h"
#include "common/core/driver_protocol.h"
#include "common/core/messages.h"

namespace koral::calibration {

std::string KeepQuestionText(int secondsLeft) {
  std::string text =
      "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
      "To save new calibration, click Yes button.\rTo restore old calibration, click No button.";
  if (secondsLeft > 0) {
    text += "\r\rWithout an answer the old calibration comes back in " + std::to_string(secondsLeft) +
            (secondsLeft == 1 ? " second." : " seconds.");
  }
  return text;
}

std::string NoticeText(SessionNotice notice, int32_t mode, const std::string& reason) {
  switch (notice) {
    case SessionNotice::kUnsupportedMode:
      return "Fail to calibration! ( mode " + std::to_string(mode) + " not support )";
    case SessionNotice::kNotComputed:
      return reason;
    case SessionNotice::kTouchesDoNotFit:
      return "Fail to calibration! ( touches do not fit the cross marks )";
    case SessionNotice::kRestoredUnanswered:
      return "No answer came in time: the old calibration is restored.";
    case SessionNotice::kNewValuesRefused:
      return kCalibrationSaveFailureText;
    case SessionNotice::kOldValuesRefused:
      return kCalibrationRestoreFailureText;
  }
  return {};
}

PromptLines TouchPromptLines(std::string_view target, bool again) {
  return {again ? "Touch again on the center of Cross Mark that" : "Please touch on the center of Cross Mark that",
          "show on the " + std::string(target) + " of the screen"};
}

void CalibrationSession::Start(const SessionSettings& settings) {
  if (phase_ != Phase::kIdle) return;
  settings_ = settings;
  input_ = {};
  input_.CalibrationMode = settings.CalibrationMode;
  input_.ResolutionX = settings.ResolutionX;
  input_.ResolutionY = settings.ResolutionY;
  input_.OrientationCode = device_.ReadOrientation();
  orientationUsed_ = input_.OrientationCode;

  if (device_.ReadSample().Touched) {
    phase_ = Phase::kInitialLiftOff;
    view_.ShowLiftOffPrompt("START CALIBRATION!");
    view_.SetTouchIndicator(true);
    device_.SignalCalibration(kCalTouchedAtStart);
    return;
  }
  BeginTargets();
}

bool CalibrationSession::WantsSamples() const {
  return outcome_ == SessionOutcome::kRunning && !breakOpen_ &&
         (phase_ == Phase::kInitialLiftOff || phase_ == Phase::kAwaitTouch || phase_ == Phase::kAwaitRelease);
}

int16_t CalibrationSession::CurrentTarget() const {
  const bool capturing = phase_ == Phase::kAwaitTouch || phase_ == Phase::kAwaitRelease;
  return capturing && outcome_ == SessionOutcome::kRunning ? queue_.front() : 0;
}

void CalibrationSession::Pump() {
  if (!WantsSamples()) return;
  switch (phase_) {
    case Phase::kInitialLiftOff:
      if (!device_.ReadSample().Touched) BeginTargets();
      break;
    case Phase::kAwaitTouch:
      PumpTouch();
      break;
    case Phase::kAwaitRelease:
      PumpRelease();
      break;
    default:
      break;
  }
}

void CalibrationSession::PumpTouch() {
  for (;;) {
    const CaptureStep step = reader_.Next(device_.ReadSample());
    if (step == CaptureStep::kTaken) return Taken(reader_.Position());
    if (step == CaptureStep::kReadAgain) continue;
    if (step == CaptureStep::kTouchDown) view_.SetTouchIndicator(true);
    if (step == CaptureStep::kLiftedEarly) view_.SetTouchIndicator(false);
    return;
  }
}

void CalibrationSession::PumpRelease() {
  if (device_.ReadSample().Touched) return;
  view_.SetTouchIndicator(false);
  queue_.erase(queue_.begin());
  if (queue_.empty()) {
    TargetsDone();
  } else {
    BeginTarget();
  }
}

void CalibrationSession::BeginTargets() {
  view_.SetTouchIndicator(false);
  const int32_t mode = settings_.CalibrationMode;
  if (mode != kCornerMode && mode != kEdgeMode) {
    return Notify(SessionNotice::kUnsupportedMode, NoticeText(SessionNotice::kUnsupportedMode, mode),
                  SessionOutcome::kUnsupportedMode);
  }
  const int16_t first = mode == kCornerMode ? kFirstCornerTarget : kFirstEdgeTarget;
  queue_ = {first, static_cast<int16_t>(first + 1), static_cast<int16_t>(first + 2), static_cast<int16_t>(first + 3)};
  again_ = false;
  BeginTarget();
}

void CalibrationSession::BeginTarget() {
  const int16_t target = queue_.front();
  phase_ = Phase::kAwaitTouch;
  reader_ = CaptureReader();
  view_.ShowMark(target, true);
  markShown_ = true;
  view_.ShowTouchPrompt(kTargetNames[static_cast<size_t>(target)], again_);
  view_.SetTouchIndicator(false);
}

void CalibrationSession::Taken(PanelPoint p) {
  const int16_t target = queue_.front();
  input_.PointX[static_cast<size_t>(target)] = p.X;
  input_.PointY[static_cast<size_t>(target)] = p.Y;
  phase_ = Phase::kAwaitRelease;
  device_.SignalCalibration(kCalPointAccepted);
  view_.ShowMark(target, false);
  markShown_ = false;
  view_.ShowLiftOffPrompt("NEXT STEP!");
  PumpRelease();
}

void CalibrationSession::TargetsDone() {
  if (settings_.Safeguard.TouchTolerance) {
    std::vector<int16_t> misfits =
        MisfitTargets(input_.PointX, input_.PointY, input_.CalibrationMode, *settings_.Safeguard.TouchTolerance);
    if (!misfits.empty()) {
      if (++misfitRounds_ >= kMisfitRounds) {
        device_.SignalCalibration(kCalBroken);
        return Notify(SessionNotice::kTouchesDoNotFit, NoticeText(SessionNotice::kTouchesDoNotFit),
                      SessionOutcome::kTouchesDoNotFit);
      }
      queue_ = std::move(misfits);
      again_ = true;
      return BeginTarget();
    }
  }

  const CalibrationResult result = ComputeCalibration(input_);
  orientationUsed_ = result.OrientationCode;
  if (!result.Succeeded()) return Notify(SessionNotice::kNotComputed, result.Reason, SessionOutcome::kNotComputed);
  new_ = result.Calibration;
  phase_ = Phase::kKeepQuestion;
  secondsLeft_ = settings_.Safeguard.KeepSeconds.value_or(0);
  const bool taken = device_.WriteCalibration(new_);
  device_.SignalCalibration(kCalLeft);
  // Nothing to try and nothing to keep when the driver refused the values.
  if (!taken) return Notify(SessionNotice::kNewValuesRefused, NoticeText(SessionNotice::kNewValuesRefused),
                            SessionOutcome::kNewValuesRefused);
  // Meanwhile the new values are in force and the user can try them.
  view_.Ask(SessionQuestion::kKeep, secondsLeft_);
}

void CalibrationSession::Escape() {
  if (!WantsSamples()) return;
  device_.SignalCalibration(kCalLeft);
  // A mark already taken stays erased: only the one still awaiting its touch comes back.
  markWasShown_ = markShown_;
  if (markShown_) view_.ShowMark(queue_.front(), false);
  markShown_ = false;
  breakOpen_ = true;
  view_.Ask(SessionQuestion::kBreak, 0);
}

void CalibrationSession::Abort() {
  if (outcome_ == SessionOutcome::kRunning && (WantsSamples() || breakOpen_)) BreakOff(SessionOutcome::kBrokenOff);
}

void CalibrationSession::Answer(SessionReply reply) {
  if (noticeOpen_) {
    noticeOpen_ = false;
  } else if (breakOpen_) {
    breakOpen_ = false;
    // No is the default button: anything but Yes goes on.
    if (reply == SessionReply::kYes) return BreakOff(SessionOutcome::kBrokenOff);
    if (markWasShown_) {
      view_.ShowMark(queue_.front(), true);
      markShown_ = true;
    }
  } else if (phase_ == Phase::kKeepQuestion && outcome_ == SessionOutcome::kRunning) {
    if (reply == SessionReply::kYes) {
      Finish(SessionOutcome::kKept);
    } else if (reply == SessionReply::kNo) {
      Finish(SessionOutcome::kRestored);
      if (!device_.WriteCalibration(settings_.OldCalibration)) RestoreRefused();
    }
  }
}

void CalibrationSession::Tick() {
  if (phase_ != Phase::kKeepQuestion || outcome_ != SessionOutcome::kRunning || secondsLeft_ <= 0) return;
  if (--secondsLeft_ > 0) return view_.ShowTimeLeft(secondsLeft_);
  // Settled before the question goes, so that an answer it still gives counts for nothing.
  Finish(SessionOutcome::kRestoredUnanswered);
  view_.Withdraw();
  if (!device_.WriteCalibration(settings_.OldCalibration)) return RestoreRefused();
  Notify(SessionNotice::kRestoredUnanswered, NoticeText(SessionNotice::kRestoredUnanswered),
         SessionOutcome::kRestoredUnanswered);
}

void CalibrationSession::RestoreRefused() {
  Notify(SessionNotice::kOldValuesRefused, NoticeText(SessionNotice::kOldValuesRefused),
         SessionOutcome::kOldValuesRefused);
}

void CalibrationSession::BreakOff(SessionOutcome outcome) {
  Finish(outcome);
  if (breakOpen_) {
    breakOpen_ = false;
    view_.Withdraw();
  }
  device_.SignalCalibration(kCalBroken);
}

void CalibrationSession::Finish(SessionOutcome outcome) {
  outcome_ = outcome;
  phase_ = Phase::kDone;
}

void CalibrationSession::Notify(SessionNotice notice, const std::string& text, SessionOutcome outcome) {
  Finish(outcome);
  noticeOpen_ = true;
  view_.Tell(notice, text);
}

}  // namespace koral::calibration
