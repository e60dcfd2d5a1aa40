// One calibration run, from the first look at the panel to the answer that keeps or restores the
// new values, with no window and no driver: the calibration window feeds it raw samples (by
// letting it read them), Escape, answers and the seconds of a clock, and it tells a device port
// what to send and a view port what to show. The window only draws and answers.
//
// The run: a panel touched at the start is waited for until released; then the mode's four cross
// marks are taken one after another, each once a touch rests still on it (CaptureRule) and then
// lifts off; the computation makes the new calibration, which goes to the driver while the user
// tries it; Yes keeps it, No sends the old one back. Escape while a touch is awaited asks
// whether to break off. With the safeguards of the model key on (safeguards.h), touches that do
// not fit the others are asked for again before the computation, and the keep question restores
// the old calibration by itself when its seconds run out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/calibration/calibration_computation.h"
#include "common/calibration/capture_rule.h"
#include "common/calibration/safeguards.h"

namespace koral::calibration {

// What the run sends and reads; every call is one driver command.
class CalibrationDevice {
 public:
  virtual PanelSample ReadSample() = 0;                        // the latest raw sample
  virtual void SignalCalibration(int32_t event) = 0;           // a CalibrationEventCode
  // The values into the block, sent; false when the driver refused them (its block unchanged).
  virtual bool WriteCalibration(const NewCalibration& c) = 0;
  virtual int16_t ReadOrientation() = 0;                       // the companion's state word

 protected:
  ~CalibrationDevice() = default;
};

enum class SessionQuestion {
  kBreak,  // "Are you sure you want to break calibration?", No the default
  kKeep,   // the completion question; Yes keeps the new values
};

// Messages the user acknowledges (Answer with any reply); the run ends after them.
enum class SessionNotice {
  kUnsupportedMode,   // the mode is neither corners nor edges
  kNotComputed,       // the computation gave no values (its reason)
  kTouchesDoNotFit,   // the touches were rejected three rounds running
  kRestoredUnanswered,  // the keep question's time ran out
  kNewValuesRefused,    // the driver refused the new values: the old ones stay, nothing is asked
  kOldValuesRefused,    // the driver refused the old values back: the new ones stay
};

enum class SessionReply { kYes, kNo, kOk };

// What the run shows; calls are orders to draw, none waits for the user.
class CalibrationView {
 public:
  virtual void ShowMark(int16_t target, bool visible) = 0;
  // `again`: the touch of this mark was rejected and is asked for once more.
  virtual void ShowTouchPrompt(std::string_view target, bool again) = 0;
  virtual void ShowLiftOffPrompt(std::string_view text) = 0;
  virtual void SetTouchIndicator(bool on) = 0;
  // Opens a question; the answer comes back through CalibrationSession::Answer. `secondsLeft` is
  // 0 for a question without time limit.
  virtual void Ask(SessionQuestion question, int secondsLeft) = 0;
  // The open question's time left, once a second.
  virtual void ShowTimeLeft(int secondsLeft) = 0;
  // The open question is taken away unanswered (its time ran out, or the run ended under it).
  virtual void Withdraw() = 0;
  virtual void Tell(SessionNotice notice, const std::string& text) = 0;

 protected:
  ~CalibrationView() = default;
};

// How a run ended.
enum class SessionOutcome {
  kRunning,
  kKept,                // Yes: the new values stay in the driver
  kRestored,            // No: the old values were sent back
  kRestoredUnanswered,  // no answer in time: the old values were sent back
  kBrokenOff,           // Escape answered Yes, or the window went: ModeArg 4, nothing written
  kNotComputed,         // the computation gave no values: nothing written
  kUnsupportedMode,     // nothing captured, nothing written
  kTouchesDoNotFit,     // three rounds of misplaced touches: ModeArg 4, nothing written
  kNewValuesRefused,    // the driver refused the new values: the old ones are still in force
  kOldValuesRefused,    // No, or no answer in time, but the driver refused the old values back
};

struct SessionSettings {
  int32_t CalibrationMode = kCornerMode;
  int16_t ResolutionX = 0;  // the block's, which the driver maps with
  int16_t ResolutionY = 0;
  NewCalibration OldCalibration;  // the block's calibration when the run starts
  Safeguards Safeguard;
};

// Rejected rounds of touches after which the run ends.
inline constexpr int kMisfitRounds = 3;

// The texts the run shows.
inline constexpr char kQuestionCaption[] = "TouchScreen Calibration";
inline constexpr char kBreakQuestion[] = "Are you sure you want to break calibration?";
std::string KeepQuestionText(int secondsLeft);
std::string NoticeText(SessionNotice notice, int32_t mode = 0, const std::string& reason = {});
struct PromptLines {
  std::string First;
  std::string Second;
};
PromptLines TouchPromptLines(std::string_view target, bool again);

class CalibrationSession {
 public:
  CalibrationSession(CalibrationDevice& device, CalibrationView& view) : device_(device), view_(view) {}

  // Reads the orientation and the first sample, and shows the first mark (or the lift-off
  // prompt, or the unsupported-mode notice).
  void Start(const SessionSettings& settings);

  // True while the run waits for the panel: the window calls Pump, then processes its messages,
  // again and again. Pump reads samples back to back as long as a touch is being counted and
  // returns when the window's messages are due.
  bool WantsSamples() const;
  void Pump();

  // Escape: asks whether to break off while a touch is awaited and no question is open.
  void Escape();
  // The window closes or the program ends: a run still capturing is broken off.
  void Abort();
  // The answer to the open question or notice; ignored when none is open.
  void Answer(SessionReply reply);
  // One second has passed; counts the keep question down.
  void Tick();

  // The target whose touch is awaited or being lifted from; 0 when none.
  int16_t CurrentTarget() const;
  bool Finished() const { return outcome_ != SessionOutcome::kRunning && !noticeOpen_; }
  SessionOutcome Outcome() const { return outcome_; }
  // The readings the computation was given (or would have been), the orientation it used.
  CalibrationInput Input() const { return input_; }
  int16_t OrientationUsed() const { return orientationUsed_; }
  // Rounds of touches rejected so far.
  int MisfitRoundsSeen() const { return misfitRounds_; }

 private:
  enum class Phase { kIdle, kInitialLiftOff, kAwaitTouch, kAwaitRelease, kKeepQuestion, kDone };

  void BeginTargets();
  void BeginTarget();
  void Taken(PanelPoint p);
  void TargetsDone();
  void Finish(SessionOutcome outcome);
  void Notify(SessionNotice notice, const std::string& text, SessionOutcome outcome);
  void BreakOff(SessionOutcome outcome);
  // The old values sent back were refused: the user is told the new ones stay.
  void RestoreRefused();
  void PumpTouch();
  void PumpRelease();

  CalibrationDevice& device_;
  CalibrationView& view_;
  SessionSettings settings_;
  CalibrationInput input_;
  int16_t orientationUsed_ = 0;
  Phase phase_ = Phase::kIdle;
  SessionOutcome outcome_ = SessionOutcome::kRunning;

  std::vector<int16_t> queue_;  // targets still to take, the current one first
  bool again_ = false;          // the queue holds rejected touches
  int misfitRounds_ = 0;
  CaptureReader reader_;
  bool markShown_ = false;
  bool breakOpen_ = false;
  bool markWasShown_ = false;
  bool noticeOpen_ = false;
  int secondsLeft_ = 0;
  NewCalibration new_;
};

}  // namespace koral::calibration
