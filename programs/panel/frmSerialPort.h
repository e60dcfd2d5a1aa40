// The serial port list: COM1 to COM9 as the driver found them, one line each, with the port on
// which the controller was detected marked. Its hidden Setup button opens the interrupt set-up.
#pragma once

#include "common/win/driver_link.h"
#include "forms/dialog_form.h"
#include "programs/panel/frmCOMxSet.h"
#include "ui/controls.h"

namespace koral::panel {

class frmSerialPort : public DialogForm {
 public:
  frmSerialPort(ui::Application& app, device::Controller& controller);

  static constexpr int kPorts = 9;

  ui::Frame Frame1{this, "Frame1"};
  ui::ControlArray<ui::OptionButton> optDetected{this, "optDetected", 1, kPorts};
  ui::ControlArray<ui::Label> lblCOM{this, "lblCOM", 1, kPorts};
  ui::CommandButton cmdOK{this, "cmdOK"};
  ui::CommandButton cmdSetup{this, "cmdSetup"};

  // Opened by cmdSetup; it brings this window back when it unloads.
  frmCOMxSet COMxSet;

 private:
  void Design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload(bool& cancel) override;

  void cmdOK_Click();
  void cmdSetup_Click();

  // The nine lines from the block, so that what the set-up saved shows at once.
  void ShowPorts();

  const device::Controller& controller_;
};

}  // namespace koral::panel
