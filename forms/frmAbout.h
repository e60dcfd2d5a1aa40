// The about window: the program's version line and the vendor's copyright notice, in the suite's
// dialog furniture. The control panel, the startup program and the uninstaller show it; it keeps
// its own caption " About" and brings the program's main window back when it closes.
#pragma once

#include <string>

#include "forms/dialog_form.h"
#include "ui/controls.h"

namespace koral {

class frmAbout : public InformationDialog {
 public:
  explicit frmAbout(ui::Application& app);

  ui::Label lblCopyright{this, "lblCopyright"};

 private:
  void Design() override;
  void Form_Load() override;
};

// The copyright line for the vendor the installation names (VenderName).
std::string CopyrightNotice(const std::string& vendor);

}  // namespace koral
