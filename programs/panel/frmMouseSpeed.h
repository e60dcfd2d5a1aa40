// The mouse speed dialog: horizontal and vertical pointer speed, acceleration and the bypass
// that turns the driver's speed processing off (block bytes 47..50, control code 0xF2090).
#pragma once

#include "forms/settings_dialog.h"
#include "ui/controls.h"

namespace koral::panel {

class frmMouseSpeed : public SettingsDialog {
 public:
  frmMouseSpeed(ui::Application& app, device::Controller& controller);

  ui::Frame Frame5{this, "Frame5"};
  ui::CheckBox chkBypass{this, "chkBypass"};
  ui::Frame frameAM{this, "frameAM"};
  ui::CheckBox chkBoth{this, "chkBoth"};
  ui::Frame frameHS{this, "frameHS"};
  ui::HScrollBar hscMouseHSpeed{this, "hscMouseHSpeed"};
  ui::Label lblHS{this, "lblHS"};
  ui::Frame frameVS{this, "frameVS"};
  ui::HScrollBar hscMouseVSpeed{this, "hscMouseVSpeed"};
  ui::Label lblVS{this, "lblVS"};
  // The scales: 0 and 1 under the horizontal bar, 2 and 3 under the vertical one.
  ui::ControlArray<ui::Label> Label1{this, "Label1", 0, 3};
  ui::Frame frameAC{this, "frameAC"};
  Options optAcceleration{this, "optAcceleration", 1, 4};

 private:
  void Design() override;
  void ShowSettings() override;
  bool SettingsChanged() const override;
  void StoreSettings(ParamBlock& block) const override;

  void chkBypass_Click();
  void chkBoth_Click();
  void hscMouseHSpeed_Change();
  void hscMouseHSpeed_Scroll();
  void hscMouseVSpeed_Change();
  void hscMouseVSpeed_Scroll();
  void optAcceleration_Click(int index);

  void DesignSpeedBar(ui::Frame& frame, int top, const char* caption, ui::HScrollBar& bar, ui::Label& percent,
                      int scale);
  // With chkBoth checked the other bar takes this bar's value (and runs its change handler).
  void Follow(const ui::HScrollBar& moved, ui::HScrollBar& other);

  int acceleration_ = 0;  // the working copy of MouseAcceleration
};

}  // namespace koral::panel
