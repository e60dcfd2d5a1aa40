// The furniture every dialog of the suite carries: the title area where the main window has it,
// Shape1 round the whole dialog, and one row of buttons at the bottom, flush with the right edge
// of the dialog's own controls. Dialogs lay out their own controls between kContentLeft and
// kContentRight from kContentTop down.
#pragma once

#include <string>

#include "forms/branding.h"
#include "ui/controls.h"

namespace koral {

class DialogForm : public BrandedForm {
 public:
  using BrandedForm::BrandedForm;

  // The inner area left to the dialog's own controls, in twips.
  static constexpr int kContentTop = 1380;
  static constexpr int kContentLeft = 480;
  static constexpr int kContentRight = 6135;
  // The buttons of the bottom row.
  static constexpr int kButtonWidth = 1275;
  static constexpr int kButtonHeight = 435;
  static constexpr int kButtonGap = 120;

  ui::Shape Shape1{this, "Shape1"};

 protected:
  // The window with its design caption, the title area and Shape1, sized for own controls that
  // take `contentHeight` twips from kContentTop and the button row below them. Returns the button
  // row's top.
  int DesignFrame(const std::string& caption, int contentHeight);
  // The place of a button in the bottom row, counted from the right (0 = the rightmost), so that
  // the buttons end flush with the right edge of the own controls.
  static ui::Rect ButtonPlace(int rowTop, int fromRight);
};

// A dialog that only shows something and closes with its one button, cmdOK (the default button),
// or the close box; either way the main window comes back.
class InformationDialog : public DialogForm {
 public:
  InformationDialog(ui::Application& app, std::string name);

  ui::CommandButton cmdOK{this, "cmdOK"};

 protected:
  // DesignFrame, and cmdOK at the right end of the button row.
  void DesignFurniture(const std::string& caption, int contentHeight);
  void Form_Unload(bool& cancel) override;

 private:
  void cmdOK_Click();
};

}  // namespace koral
