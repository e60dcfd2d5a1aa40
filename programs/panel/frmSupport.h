// The vendor's support picture (InstallPath\KRVender.Bmp) in a window sized to it, with one
// button below it. It carries none of the dialog furniture.
#pragma once

#include <string>

#include "ui/controls.h"
#include "ui/form.h"

namespace koral::panel {

class frmSupport : public ui::Form {
 public:
  frmSupport();

  ui::PictureBox picSupport{this, "picSupport"};
  ui::CommandButton cmdOK{this, "cmdOK"};

  // True when the file holds a bitmap this window can show.
  static bool CanShow(const std::string& path);

 private:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

  void cmdOK_Click();
};

}  // namespace koral::panel
