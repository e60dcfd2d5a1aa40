// The feedback sound dialog: when the driver beeps on touch, at which tone and for how long
// (block bytes 41..45, control code 0xF2070), with a test area that plays the shown tone and
// duration (0xF5010) as the finger comes down and again as it lifts.
#pragma once

#include "forms/settings_dialog.h"
#include "ui/controls.h"

namespace koral::panel {

class frmFeedbackSound : public SettingsDialog {
 public:
  frmFeedbackSound(ui::Application& app, device::Controller& controller);

  ui::Frame Frame1{this, "Frame1"};
  Options optFeedbackSound{this, "optFeedbackSound", 1, 4};
  ui::Frame frameTone{this, "frameTone"};
  ui::HScrollBar hscTone{this, "hscTone"};
  ui::Label lblTone{this, "lblTone"};
  ui::Frame frameDuration{this, "frameDuration"};
  ui::HScrollBar hscDuration{this, "hscDuration"};
  ui::Label lblDuration{this, "lblDuration"};
  // The scales: "High" and "Low" under the tone bar, "Short" and "Long" under the duration bar.
  ui::ControlArray<ui::Label> Label1{this, "Label1", 0, 3};
  ui::CommandButton cmdSoundTest{this, "cmdSoundTest"};

 private:
  void Design() override;
  void ShowSettings() override;
  bool SettingsChanged() const override;
  void StoreSettings(ParamBlock& block) const override;
  void SettingsApplied() override;

  void optFeedbackSound_Click(int index);
  void hscTone_Change();
  void hscTone_Scroll();
  void hscDuration_Change();
  void hscDuration_Scroll();
  void cmdSoundTest_MouseDown(int button, int shift, int x, int y);
  void cmdSoundTest_MouseUp(int button, int shift, int x, int y);

  // A bar in its frame, with the scale words at its minimum and maximum ends and its value
  // label between them.
  void DesignBar(ui::Frame& frame, int top, const char* caption, ui::HScrollBar& bar, ui::Label& value,
                 const char* designValue, int scale, const char* minimumEnd, const char* maximumEnd);
  // Sends the tone and duration the labels show, applied or not.
  void PlayTestTone();
  // The test area is for trying the beep while the driver itself is silent: it follows the
  // applied mode, not the option just clicked.
  void EnableSoundTest();

  int mode_ = 0;  // the working copy of FeedbackSound
};

}  // namespace koral::panel
