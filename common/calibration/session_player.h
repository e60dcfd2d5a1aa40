// A calibration run played without a window or a driver: a device port whose samples come from a
// synthetic panel touched at chosen pixels, and a view port that writes down what it is told.
// The session's tests, its fuzz target and the accuracy benchmark drive runs with it.
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "common/calibration/calibration_session.h"
#include "common/calibration/synthetic_panel.h"
#include "common/calibration/targets.h"

namespace koral::calibration {

class PanelPlayer : public CalibrationDevice {
 public:
  explicit PanelPlayer(const SyntheticPanel& panel) : panel_(panel) {}

  // A finger put down at a pixel of the screen, resting long enough to be taken, and lifted;
  // `rawOffset` is added to both readings (a touch's noise).
  void TouchAt(double x, double y, int16_t rawOffsetX = 0, int16_t rawOffsetY = 0);
  // The centre of a target's cross mark on the panel's screen.
  PixelPoint MarkCentre(int16_t target) const;
  // One sample as given; its counter is the next one unless `repeatCounter`.
  void Push(int16_t x, int16_t y, bool touched, bool repeatCounter = false);
  bool Drained() const { return samples_.empty(); }
  // The panel held down from now on (every read touched at the last position).
  void HoldDown(bool held) { held_ = held; }

  PanelSample ReadSample() override;
  void SignalCalibration(int32_t event) override;
  bool WriteCalibration(const NewCalibration& c) override;
  int16_t ReadOrientation() override;

  const SyntheticPanel& Panel() const { return panel_; }
  // Every command but the sample reads, in order: "orientation", "event N", "write".
  std::vector<std::string> Commands;
  std::vector<NewCalibration> Writes;  // every write sent, taken or not
  uint64_t Reads = 0;
  // The writes, counted from 0, that the driver refuses.
  std::set<size_t> RefusedWrites;

 private:
  SyntheticPanel panel_;
  std::deque<PanelSample> samples_;
  PanelSample last_{};
  bool held_ = false;
};

// Writes down each order as a line ("mark 1 on", "prompt TOP-LEFT", "ask keep 15", ...) and
// keeps what is open.
class RecordingView : public CalibrationView {
 public:
  void ShowMark(int16_t target, bool visible) override;
  void ShowTouchPrompt(std::string_view target, bool again) override;
  void ShowLiftOffPrompt(std::string_view text) override;
  void SetTouchIndicator(bool on) override;
  void Ask(SessionQuestion question, int secondsLeft) override;
  void ShowTimeLeft(int secondsLeft) override;
  void Withdraw() override;
  void Tell(SessionNotice notice, const std::string& text) override;

  std::vector<std::string> Lines;
  bool QuestionOpen = false;
  bool NoticeOpen = false;
  bool Indicator = false;
};

// Lets the session read until it has taken every queued sample or stops wanting samples.
void PumpQueued(CalibrationSession& session, const PanelPlayer& device);

// Touches each of the mode's marks once more as the session asks for it, the i-th touch of a
// mark `offsets[i]` pixels off its centre (nothing further: on the centre), until the run waits
// for an answer or has ended.
struct PixelOffset {
  double X = 0;
  double Y = 0;
};
using TouchOffsets = std::vector<std::vector<PixelOffset>>;  // by target 0..8
void TouchAsAsked(CalibrationSession& session, PanelPlayer& device, const TouchOffsets& offsets = {});

}  // namespace koral::calibration
