// The full-screen calibration window: it draws what a calibration session shows (cross marks,
// prompts, questions and messages) and hands it the user's answers, Escape and the seconds of
// a clock; the session walks the run and reaches the driver through the window's device.
//
// The main window shows it; it runs one calibration when it is activated and then closes itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/calibration/calibration_session.h"
#include "common/calibration/targets.h"
#include "common/win/driver_link.h"
#include "programs/panel/calibration_device.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace koral::calibration {

class frmCalibration : public ui::Form, private CalibrationView {
 public:
  // The right-button tool kept out of the way is the one running from `installFolder`.
  frmCalibration(ui::Application& app, device::Controller& controller, std::string installFolder);

  // The method of the next run: kCornerMode or kEdgeMode; any other value is refused when it runs.
  void Mode(int32_t mode) { mode_ = mode; }

  // Driver reads of raw samples since the program started; read from any thread.
  uint64_t SamplesRead() const { return device_.SamplesRead(); }

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
  // A question or message the session asked for, shown once the session's call has returned.
  struct PendingBox {
    bool IsQuestion = false;
    SessionQuestion Question = SessionQuestion::kBreak;
    int SecondsLeft = 0;
    SessionNotice Notice = SessionNotice::kNotComputed;
    std::string Text;
  };

  void Design() override;
  void Form_Load() override;
  void Form_Resize() override;
  void Form_Activate() override;
  void Form_Unload(bool& cancel) override;
  void picCalibration_KeyPress(int ascii);

  void RunCalibration();
  // Shows the pending box, waits for the user and hands the session the answer, unless the
  // session withdrew the box meanwhile.
  void ShowPendingBox(CalibrationSession& session);
  int AskBreak();
  int AskKeep(int secondsLeft);
  // A program that is ending, or this window gone, breaks the run off.
  void ProcessMessages();
  // The open keep question of this thread; null when none shows.
  static HWND OpenQuestionBox();
  // The keep question's seconds: a timer of this window, whose messages the question's own
  // message loop dispatches.
  bool Form_Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // The view port.
  void ShowMark(int16_t target, bool visible) override;
  void ShowTouchPrompt(std::string_view target, bool again) override;
  void ShowLiftOffPrompt(std::string_view text) override;
  void SetTouchIndicator(bool on) override;
  void Ask(SessionQuestion question, int secondsLeft) override;
  void ShowTimeLeft(int secondsLeft) override;
  void Withdraw() override;
  void Tell(SessionNotice notice, const std::string& text) override;

  DriverCalibrationDevice device_;
  int32_t mode_ = kCornerMode;
  TargetGeometry targetGeometry_;
  CalibrationSession* session_ = nullptr;  // while a run is on
  std::optional<PendingBox> pending_;
  bool withdrawn_ = false;  // the session took the showing box away

  bool runPending_ = false;  // set at load: the next activation runs the calibration
  bool running_ = false;
};

}  // namespace koral::calibration
