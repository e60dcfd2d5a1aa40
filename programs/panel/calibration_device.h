// The calibration window's way to the driver: the session's device port over the driver's
// commands, plus the few other things the window needs from the link (the block's resolution, the
// right-button function kept out of the way, the model key's safeguard values). Every driver call
// of a calibration goes through here.
#pragma once

#include <atomic>
#include <cstdint>

#include "common/calibration/calibration_session.h"
#include "common/win/right_button.h"

namespace koral::calibration {

class DriverCalibrationDevice final : public CalibrationDevice {
 public:
  PanelSample ReadSample() override;
  void SignalCalibration(int32_t event) override;
  // Into the link's block, then sent, under the hourglass.
  void WriteCalibration(const NewCalibration& c) override;
  // Reads the companion's slot; its state word is the orientation code.
  int16_t ReadOrientation() override;

  // The orientation the computation used, kept in the slot's state word as the link holds it.
  void KeepOrientation(int16_t code);

  int16_t ResolutionX() const;
  int16_t ResolutionY() const;
  // What a run starts from: the mode chosen in the main window, the block's resolution and
  // calibration, and the model key's safeguards.
  SessionSettings Settings() const;

  // The right-button function would turn calibration touches into right clicks.
  void SuspendRightButton();
  void ResumeRightButton();

  // Raw samples read so far; read from any thread.
  uint64_t SamplesRead() const { return samplesRead_.load(std::memory_order_relaxed); }

 private:
  RightButtonPause rightButton_;
  std::atomic<uint64_t> samplesRead_{0};
};

// The two safeguard values of the model key, read afresh; absent or out of range is off.
Safeguards ReadSafeguards();

}  // namespace koral::calibration
