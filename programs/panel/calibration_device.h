// The calibration window's way to the driver: the session's device port over the program's driver
// session, plus the few other things the window needs (the block's resolution, the right-button
// function kept out of the way, the model key's safeguard values). Every driver call of a
// calibration goes through here.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

#include "common/calibration/calibration_session.h"
#include "common/win/driver_link.h"
#include "common/win/right_button.h"

namespace koral::calibration {

class DriverCalibrationDevice final : public CalibrationDevice {
 public:
  DriverCalibrationDevice(device::Controller& controller, std::string installFolder)
      : controller_(controller), rightButton_(std::move(installFolder)) {}

  // A failed read repeats the sample before it.
  PanelSample ReadSample() override;
  void SignalCalibration(int32_t event) override;
  // Into a copy of the program's block, sent under the hourglass; the program's block takes the
  // values only when the driver did.
  bool WriteCalibration(const NewCalibration& c) override;
  // The companion's state word is the orientation code; without an answer the picture is upright.
  int16_t ReadOrientation() override;

  int16_t ResolutionX() const { return controller_.Block().ResolutionX; }
  int16_t ResolutionY() const { return controller_.Block().ResolutionY; }
  // What a run starts from: the method chosen in the main window, the block's resolution and
  // calibration, and the model key's safeguards.
  SessionSettings Settings(int32_t mode) const;

  // The right-button function would turn calibration touches into right clicks.
  void SuspendRightButton() { rightButton_.Suspend(controller_); }
  void ResumeRightButton() { rightButton_.Resume(controller_); }

  // Raw samples read so far; read from any thread.
  uint64_t SamplesRead() const { return samplesRead_.load(std::memory_order_relaxed); }

 private:
  device::Controller& controller_;
  RightButtonPause rightButton_;
  RawPoint lastSample_{};
  std::atomic<uint64_t> samplesRead_{0};
};

// The two safeguard values of the model key, read afresh; absent or out of range is off.
Safeguards ReadSafeguards();

}  // namespace koral::calibration
