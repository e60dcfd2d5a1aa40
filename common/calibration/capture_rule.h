// When a touch on a cross mark counts as taken. The calibration window reads raw samples from
// the driver back to back and hands each one to a CaptureRule, which says what to do next; the
// rule itself knows nothing of windows or drivers.
//
// A touch is taken once its position has stayed exactly the same while the sample counter
// changed twice. Reads that repeat the counter remembered last do not count. That counter is the
// one of the last untouched read, or of the last read that counted; the read that first shows a
// touch, or a new position, only remembers the position.
#pragma once

#include <cstdint>
#include <optional>

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

// What the capture loops need from the calibration window.
class CaptureHost {
 public:
  virtual PanelSample ReadSample() = 0;
  // Processes the pending window messages; an Escape among them may request a break.
  virtual void ProcessMessages() = 0;
  virtual bool BreakRequested() const = 0;
  virtual void SetTouchIndicator(bool on) = 0;

 protected:
  ~CaptureHost() = default;
};

// Reads in a row that bring no new sample (the same counter) while a touch is being counted,
// after which messages are processed all the same: a driver that has gone, or a controller that
// has stopped reporting, repeats its last touched sample for ever, and the window must still
// answer and let the user break off.
inline constexpr int kStaleReadsBeforeMessages = 64;

// The rule as the capture loops apply it: a kReadAgain after kStaleReadsBeforeMessages reads in a
// row that brought no new sample is reported as kUntouched instead, so that messages are looked
// at; every other step is the rule's.
class CaptureReader {
 public:
  CaptureStep Next(const PanelSample& sample);
  PanelPoint Position() const { return rule_.Position(); }

 private:
  CaptureRule rule_;
  int staleReads_ = 0;
  int16_t previousCounter_ = 0;
};

// Reads until a touch rests still on the panel and returns its position, or nothing once a
// break is requested. Messages are processed on untouched reads and when a touch comes down,
// not while a touch is being counted unless kStaleReadsBeforeMessages reads in a row brought no
// new sample, and each time the break request is checked after them.
std::optional<PanelPoint> AwaitStillTouch(CaptureHost& host);

// After a taken touch: reads until the panel is released (true) or a break is requested while
// it is still touched (false).
bool AwaitRelease(CaptureHost& host);

}  // namespace koral::calibration
