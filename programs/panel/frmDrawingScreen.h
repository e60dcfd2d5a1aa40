// The touch test screen (the form frmTest): a white sheet over the whole screen to draw on with the touchscreen in
// a chosen pen width and colour, with indicators of the mouse button the driver reports for each
// touch (L, M, R), so that the calibration and the right button can be judged by eye. While it
// is shown the driver works in drag-and-drop mode (touch, move and lift press, drag and release);
// closing puts back the mode that was in force when it opened.
#pragma once

#include <cstdint>

#include "common/win/driver_link.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace koral::calibration {

class frmDrawingScreen : public ui::Form {
 public:
  frmDrawingScreen(ui::Application& app, device::Controller& controller);

  // The header: icon, title and the two buttons at its right end.
  ui::PictureBox picHead{this, "picHead"};
  ui::Image imgIcon{this, "imgIcon"};
  ui::Label lblTitle{this, "lblTitle"};
  ui::CommandButton cmdClear{this, "cmdClear"};
  ui::CommandButton cmdExit{this, "cmdExit"};
  // The drawing sheet.
  ui::PictureBox picHome{this, "picHome"};
  // The tool bar, read from left to right: the help box, "Width" 1 2 3 4, "Color" and five
  // swatches, "Button" L M R.
  ui::PictureBox picMesg{this, "picMesg"};
  ui::Label lblHelpBox{this, "lblHelpBox"};
  ui::Label lblHelp{this, "lblHelp"};
  ui::Label lblWidthName{this, "lblWidthName"};
  ui::ControlArray<ui::Label> lblWidth{this, "lblWidth", 0, 3};
  ui::Label lblColorName{this, "lblColorName"};
  ui::ControlArray<ui::Label> lblColor{this, "lblColor", 0, 4};
  ui::Label lblButtonName{this, "lblButtonName"};
  ui::ControlArray<ui::Label> lblButton{this, "lblButton", 0, 2};

  // How a width label looks unselected and selected.
  static constexpr ui::Colour kWidthText = ui::kBlack;
  static constexpr ui::Colour kWidthBack = ui::kPaleGrey;
  static constexpr ui::Colour kSelectedWidthText = ui::kYellow;
  static constexpr ui::Colour kSelectedWidthBack = ui::kDarkGrey;

 private:
  void Design() override;
  void Form_Load() override;
  void Form_Resize() override;
  void Form_Activate() override;
  void Form_Unload(bool& cancel) override;

  void lblWidth_MouseDown(int index, int button, int shift, int x, int y);
  void lblWidth_Click(int index);
  void lblColor_MouseDown(int index, int button, int shift, int x, int y);
  void lblColor_Click(int index);
  void picHome_MouseDown(int button, int shift, int x, int y);
  void picHome_MouseMove(int button, int shift, int x, int y);
  void picHome_MouseUp(int button, int shift, int x, int y);
  void cmdClear_Click();
  void cmdExit_Click();
  void picHead_Resize();
  void picMesg_Resize();

  // Choosing what is already chosen changes nothing, not even the labels' colours.
  void SelectWidth(int index);
  void SelectColor(int index);
  // The indicator of the one button a press or release names (1 L, 2 R, 4 M); others none.
  void ShowButton(int button, bool pressed);

  bool drawingActive_ = false;  // a stroke is in progress
  int selectedWidth_ = 0;
  int selectedColor_ = 0;
  ui::Colour drawColour_ = 0;
  bool activationPending_ = false;  // set at load: the first activation switches the mode
  device::Controller& controller_;
  bool modeSaved_ = false;          // savedTouchMode_ holds the mode to put back
  uint8_t savedTouchMode_ = 0;
};

}  // namespace koral::calibration
