// The furniture every dialog of the control panel carries, whatever its buttons: the window
// with a fixed border, the title area where the main window has it (so that DressDialog's
// copies fit), Shape1 round the whole dialog, and a row of buttons at the bottom right.
#pragma once

#include <string>

#include "branding.h"
#include "controls.h"

namespace koral {

class FurnishedDialog : public BrandedForm {
 public:
  using BrandedForm::BrandedForm;

  // The inner area left to the dialog's own controls, in twips.
  static constexpr int kContentTop = 1380;
  static constexpr int kContentLeft = 480;
  static constexpr int kContentRight = 6135;

  ui::Shape Shape1{this, "Shape1"};

 protected:
  // The window with its design caption, the title area and Shape1, for own controls that take
  // `contentHeight` twips from kContentTop and a row of buttons below them. Returns the top of
  // that row.
  int DesignDialogFrame(const std::string& caption, int contentHeight);
  // The place of a button in the bottom row, counted from the right (0 = the rightmost), so
  // that the buttons end flush with the right edge of the own controls.
  static ui::Rect ButtonPlace(int rowTop, int fromRight);
};

}  // namespace koral
