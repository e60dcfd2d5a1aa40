// The vendor's support picture (InstallPath\KRVender.Bmp) in a window sized to it, with one
// button below it. It carries none of the dialog furniture. The main window reads and checks the
// picture and hands the bitmap over; the window never reads the file itself.
#pragma once

#include <utility>

#include "common/win/handles.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace koral::panel {

class frmSupport : public ui::Form {
 public:
  explicit frmSupport(ui::Application& app);

  ui::PictureBox picSupport{this, "picSupport"};
  ui::CommandButton cmdOK{this, "cmdOK"};

  // The picture the window shows from its next load on.
  void UsePicture(UniqueGdiObject picture) { picture_ = std::move(picture); }

 private:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

  void cmdOK_Click();

  UniqueGdiObject picture_;  // handed to picSupport at load
};

}  // namespace koral::panel
