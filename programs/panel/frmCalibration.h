// The full-screen calibration window: four cross marks one after another, each taken from the
// driver's raw samples once the touch on it rests still; the computed calibration goes to the
// driver for the user to try, and a question keeps it or puts the old values back. When the
// driver refuses the new values the user is told that the old ones stay, and is not asked; when it
// refuses the old ones back, that the new ones stay. The program's block always holds what the
// driver took.
//
// The main window shows it; it runs one calibration when it is activated and then closes itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "common/calibration/calibration_computation.h"
#include "common/calibration/capture_rule.h"
#include "common/calibration/targets.h"
#include "common/win/driver_link.h"
#include "common/win/right_button.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace koral::calibration {

class frmCalibration : public ui::Form, private CaptureHost {
 public:
  frmCalibration(ui::Application& app, device::Controller& controller);

  // The method of the next run: kCornerMode or kEdgeMode; any other value is refused when it runs.
  void Mode(int32_t mode) { mode_ = mode; }

  // Driver reads of raw samples since the program started; read from any thread.
  uint64_t SamplesRead() const { return samplesRead_.load(std::memory_order_relaxed); }

  ui::PictureBox picCalibration{this, "picCalibration"};
  ui::Label lblTitle{this, "lblTitle"};
  ui::PictureBox picHome{this, "picHome"};
  ui::PictureBox picStat{this, "picStat"};
  ui::Label lblResolution{this, "lblResolution"};
  ui::PictureBox picMesg{this, "picMesg"};
  ui::Label lblMesg1{this, "lblMesg1"};
  ui::Label lblMesg2{this, "lblMesg2"};
  ui::Label lblMesg3{this, "lblMesg3"};
  ui::Label lblHelp{this, "lblHelp"};

 private:
  // Results of the captures and of a mode's calibration.
  static constexpr int16_t kTaken = 0;   // reading stored; for a mode, new values computed
  static constexpr int16_t kBroken = 1;  // broken off; for a mode, also no values computed

  void Design() override;
  void Form_Load() override;
  void Form_Resize() override;
  void Form_Activate() override;
  void Form_Unload(bool& cancel) override;
  void picCalibration_KeyPress(int ascii);

  void RunCalibration();
  // The initial wait while the panel is touched; false when the user broke off meanwhile.
  bool WaitForInitialLiftOff();
  int16_t CalibrateCorners();
  int16_t CalibrateEdges();
  // The four targets from `first` on, then the computation.
  int16_t CaptureTargets(int16_t first);
  // False after reporting why no values came out.
  bool Compute();
  int16_t CapturePoint(int16_t index, const std::string& name);
  void DrawCrossMark(int16_t index, bool visible);
  void ShowTouchPrompt(const std::string& name);
  void ShowLiftOffPrompt(const std::string& text);
  void SetTouchIndicator(bool on) override;
  // False when the driver refused the values; the program's block then keeps the ones in force.
  bool ApplyNewCalibration();
  bool RestoreOldCalibration();
  void ConfirmBreak();

  PanelSample ReadSample() override;
  // A program that is ending, or this window gone, counts as a request to break off.
  void ProcessMessages() override;
  bool BreakRequested() const override { return breakRequested_; }

  device::Controller& controller_;
  int32_t mode_ = kCornerMode;
  int16_t orientation_ = 0;  // the companion's orientation code, read as a run starts
  RawPoint lastSample_{};    // a failed read repeats the sample before it
  TargetGeometry targetGeometry_;
  PointArray pointX_{};
  PointArray pointY_{};
  int16_t currentTarget_ = 0;
  bool breakRequested_ = false;
  NewCalibration oldCalibration_;
  NewCalibration newCalibration_;
  RightButtonPause rightButton_;

  bool runPending_ = false;  // set at load: the next activation runs the calibration
  bool running_ = false;
  bool capturing_ = false;   // Escape asks to break off only while a touch is awaited
  bool confirming_ = false;  // the break question is open
  bool markShown_ = false;   // the current target's mark is on the screen
  std::atomic<uint64_t> samplesRead_{0};
};

}  // namespace koral::calibration
