// The touch sensitivity dialog: how firm a touch must be before the controller reports it
// (block byte 46, control code 0xF2080), with a box that lights while it is pressed.
#pragma once

#include "forms/settings_dialog.h"
#include "ui/controls.h"

namespace koral::panel {

class frmSensitivity : public SettingsDialog {
 public:
  frmSensitivity(ui::Application& app, device::Controller& controller);

  // The bar runs from the light end (0, Sensitivity 127) to the heavy end (127, Sensitivity 0).
  static constexpr int kLightest = 0;
  static constexpr int kHeaviest = 127;

  ui::Frame Frame3{this, "Frame3"};
  ui::HScrollBar hscSensitivity{this, "hscSensitivity"};
  // The scale: 3 "0", 0 "63" and 4 "127" under the bar; 1 "Light" and 2 "Heavy" at its ends.
  ui::ControlArray<ui::Label> Label1{this, "Label1", 0, 4};
  ui::Label lblSV{this, "lblSV"};
  // 0 is the box itself, 1 its caption.
  ui::ControlArray<ui::Label> lblTestBox{this, "lblTestBox", 0, 1};

 private:
  void Design() override;
  void ShowSettings() override;
  bool SettingsChanged() const override;
  void StoreSettings(ParamBlock& block) const override;

  void hscSensitivity_Scroll();
  void hscSensitivity_Change();
  void lblTestBox_MouseDown(int index, int button, int shift, int x, int y);
  void lblTestBox_MouseUp(int index, int button, int shift, int x, int y);

  void LightTestBox(bool lit);
};

}  // namespace koral::panel
