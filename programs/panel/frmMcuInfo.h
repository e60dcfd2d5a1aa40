// The firmware information window: the controller firmware's mode, version and code as the
// driver reports them in the block. It reads nothing else and sends nothing.
#pragma once

#include "forms/dialog_form.h"
#include "ui/controls.h"

namespace koral::panel {

class frmMcuInfo : public InformationDialog {
 public:
  frmMcuInfo();

  ui::Label lblMcuInfo{this, "lblMcuInfo"};

 private:
  void Design() override;
  void Form_Load() override;
};

}  // namespace koral::panel
