// The firmware information window: the controller firmware's mode, version and code as the
// driver reports them in the block. It reads nothing else and sends nothing.
#pragma once

#include "common/win/driver_link.h"
#include "forms/dialog_form.h"
#include "ui/controls.h"

namespace koral::panel {

class frmMcuInfo : public InformationDialog {
 public:
  frmMcuInfo(ui::Application& app, const device::Controller& controller);

  ui::Label lblMcuInfo{this, "lblMcuInfo"};

 private:
  void Design() override;
  void Form_Load() override;

  const device::Controller& controller_;
};

}  // namespace koral::panel
