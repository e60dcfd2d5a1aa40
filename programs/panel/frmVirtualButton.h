// The virtual button dialog: the touch mode, the right-button function and, in drag-and-drop
// mode, the automatic right button with its two delays and its beep (block byte 40 and bytes
// 53..57, control code 0xF2060). Apply also starts the corner tool KORALprb when the right
// button needs it, and tells it to quit otherwise.
#pragma once

#include "common/win/profile.h"
#include "forms/settings_dialog.h"
#include "ui/controls.h"

namespace koral::panel {

class frmVirtualButton : public SettingsDialog {
 public:
  // The right-button tool is started from, and found in, `installFolder`: the trusted installation
  // folder, never the profile's InstallPath.
  frmVirtualButton(ui::Application& app, device::Controller& controller, std::string installFolder);

  ui::Frame Frame1{this, "Frame1"};
  Options optVirtualButton{this, "optVirtualButton", 1, 4};
  ui::Frame Frame2{this, "Frame2"};
  Options optRBFunction{this, "optRBFunction", 0, 1};
  ui::ComboBox cboRBAutoMode{this, "cboRBAutoMode"};
  ui::Frame Frame3{this, "Frame3"};
  ui::Label lblRBAutoSTime{this, "lblRBAutoSTime"};
  ui::ComboBox cboRBAutoSTime{this, "cboRBAutoSTime"};
  ui::Label lblRBAutoSTimeSec{this, "lblRBAutoSTimeSec"};
  ui::Label lblRBAutoETime{this, "lblRBAutoETime"};
  ui::ComboBox cboRBAutoETime{this, "cboRBAutoETime"};
  ui::Label lblRBAutoETimeSec{this, "lblRBAutoETimeSec"};
  ui::Label lblRBAutoBeep{this, "lblRBAutoBeep"};
  ui::ComboBox cboRBAutoBeep{this, "cboRBAutoBeep"};

 private:
  void Design() override;
  void ShowSettings() override;
  bool SettingsChanged() const override;
  void StoreSettings(ParamBlock& block) const override;
  void SettingsApplied() override;

  void optVirtualButton_Click(int index);
  void optRBFunction_Click(int index);
  void cboRBAutoMode_Click();
  void cboRBAutoSTime_Click();
  void cboRBAutoETime_Click();
  void cboRBAutoBeep_Click();

  // The automatic mode applies only to drag-and-drop with the right button on; its delays and
  // beep only when it is chosen.
  void UpdateAutoModeControls();
  void DesignCombo(ui::ComboBox& combo, ui::Container& in, const ui::Rect& place);

  std::string installFolder_;
  // Working copies of the six fields, as stored until the user chooses otherwise.
  int mode_ = 0;
  int function_ = 0;
  int autoMode_ = 0;
  int startTime_ = 0;
  int endTime_ = 0;
  int beep_ = 0;
};

}  // namespace koral::panel
