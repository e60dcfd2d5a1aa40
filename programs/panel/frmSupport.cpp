#include "programs/panel/frmSupport.h"

#include <utility>

#include "forms/branding.h"

namespace koral::panel {

frmSupport::frmSupport(ui::Application& app) : Form(app, "frmSupport") { cmdOK.Click = Handler(&frmSupport::cmdOK_Click); }


void frmSupport::Design() {
  Caption("Support");
  BorderStyle(ui::FormBorder::FixedSingle);
  ClientSize(4740, 3720);
  picSupport.Create(*this, {120, 120, 4500, 2760});
  picSupport.AutoSize(true);
  cmdOK.Create(*this, {1732, 3120, 1275, 435}, "&OK");
  cmdOK.Default(true);
}

// The window takes the picture's size: the picture's left offset as the margin on both sides;
// below it twice its top offset, the button, and twice the top offset again. A window cannot be
// narrower than its caption bar needs; a picture narrower than that is centred instead.
void frmSupport::Form_Load() {
  if (const BrandedForm* main = MainWindow(*this)) Caption(main->Caption());
  picSupport.TakePicture(std::move(picture_));
  const int innerWidth = picSupport.Width() + 2 * picSupport.Left();
  Width(Width() - ScaleWidth() + innerWidth);
  if (ScaleWidth() > innerWidth) picSupport.Left((ScaleWidth() - picSupport.Width()) / 2);
  Height(Height() - ScaleHeight() + picSupport.Height() + 5 * picSupport.Top() + cmdOK.Height());
  cmdOK.Top(3 * picSupport.Top() + picSupport.Height());
  cmdOK.Left((ScaleWidth() - cmdOK.Width()) / 2);
  CentreWindow(*this);
}

void frmSupport::Form_Unload(bool&) { ReturnToMainWindow(*this); }

void frmSupport::cmdOK_Click() { Unload(); }

}  // namespace koral::panel
