// When a touch on a cross mark counts as taken. The calibration session reads raw samples from
// the driver back to back and hands each one to a CaptureRule, which says what to do next; the
// rule itself knows nothing of windows or drivers.
//
// A touch is taken once its position has stayed exactly the same while the sample counter
// changed twice. Reads that repeat the counter remembered last do not count. That counter is the
// one of the last untouched read, or of the last read that counted; the read that first shows a
// touch, or a new position, only remembers the position.
#pragma once

#include <cstdint>

#include "common/calibration/calibration_computation.h"

namespace koral::calibration {

// One raw sample as the driver reports it.
struct PanelSample {
  int16_t X = 0;
  int16_t Y = 0;
  bool Touched = false;
  int16_t Counter = 0;  // changes with every new sample
};

enum class CaptureStep {
  kReadAgain,    // touched, still counting: read the next sample at once, nothing else
  kTouchDown,    // the first touched read since the count started: indicator on, messages
  kUntouched,    // nothing on the panel: messages, then read again
  kLiftedEarly,  // the touch went before it was taken: messages, then indicator off
  kTaken,        // held still long enough: Position() is the reading
};

class CaptureRule {
 public:
  static constexpr int16_t kStableReads = 2;

  // A fresh rule for one target: no counter seen yet (0).
  CaptureRule() = default;

  CaptureStep Next(const PanelSample& sample);

  // Counting reads still needed before the touch is taken.
  int16_t StableCount() const { return stableCount_; }
  // The touched position being counted.
  PanelPoint Position() const { return position_; }

 private:
  void Restart();

  int16_t stableCount_ = kStableReads;
  PanelPoint position_{0, 0};
  bool touchSeen_ = false;
  int16_t lastCounter_ = 0;
};

// Reads in a row that bring no new sample (the same counter) while a touch is being counted,
// after which messages are processed all the same: a driver that has gone, or a controller that
// has stopped reporting, repeats its last touched sample for ever, and the window must still
// answer and let the user break off.
inline constexpr int kStaleReadsBeforeMessages = 64;

// The rule as the calibration session applies it: a kReadAgain after kStaleReadsBeforeMessages
// reads in a row that brought no new sample is reported as kUntouched instead, so that messages
// are looked at; every other step is the rule's.
class CaptureReader {
 public:
  CaptureStep Next(const PanelSample& sample);
  PanelPoint Position() const { return rule_.Position(); }

 private:
  CaptureRule rule_;
  int staleReads_ = 0;
  int16_t previousCounter_ = 0;
};

}  // namespace koral::calibration
