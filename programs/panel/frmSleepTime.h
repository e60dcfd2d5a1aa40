// The power save dialog: how long the controller waits without a touch before it powers down,
// or no power-down at all (block byte 51, control code 0xF20C0).
#pragma once

#include "forms/settings_dialog.h"
#include "ui/controls.h"

namespace koral::panel {

class frmSleepTime : public SettingsDialog {
 public:
  frmSleepTime(ui::Application& app, device::Controller& controller);

  // In steps of 10 seconds: 0 turns the power-down off, 30 waits five minutes.
  static constexpr int kShortest = 0;
  static constexpr int kLongest = 30;

  ui::Frame Frame3{this, "Frame3"};
  ui::HScrollBar hscSleepTime{this, "hscSleepTime"};
  ui::Label lblST{this, "lblST"};
  ui::Label lblSS{this, "lblSS"};
  // The scale: 0 "0" above and 1 "Short" below the left end, 2 "300" and 3 "Long" at the right.
  ui::ControlArray<ui::Label> Label1{this, "Label1", 0, 3};

 private:
  void Design() override;
  void ShowSettings() override;
  bool SettingsChanged() const override;
  void StoreSettings(ParamBlock& block) const override;

  void hscSleepTime_Scroll();
  void hscSleepTime_Change();
};

}  // namespace koral::panel
