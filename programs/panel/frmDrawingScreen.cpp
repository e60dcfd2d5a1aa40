#include "programs/panel/frmDrawingScreen.h"

#include <algorithm>

#include "common/win/driver_link.h"
#include "forms/branding.h"
#include "ui/twips.h"

namespace koral::calibration {
namespace {


constexpr ui::Colour kSwatches[] = {ui::kBlack, ui::kRed, ui::kGreen, ui::kBlue, ui::kMagenta};
constexpr const char* kWidthCaptions[] = {" 1 ", " 2 ", " 3 ", " 4 "};
constexpr const char* kButtonCaptions[] = {"L", "M", "R"};

constexpr int kHeadHeight = 615;
constexpr int kToolBarHeight = 555;

// Where the screen starts after each activation: pen width 2, blue.
constexpr int kStartWidth = 1;
constexpr int kStartColor = 3;

}  // namespace

// The window keeps the form's designed name, frmTest, by which automation finds it.
frmDrawingScreen::frmDrawingScreen(ui::Application& app, device::Controller& controller)
    : Form(app, "frmTest"), controller_(controller) {
  lblWidth.MouseDown = Handler(&frmDrawingScreen::lblWidth_MouseDown);
  lblWidth.Click = Handler(&frmDrawingScreen::lblWidth_Click);
  lblColor.MouseDown = Handler(&frmDrawingScreen::lblColor_MouseDown);
  lblColor.Click = Handler(&frmDrawingScreen::lblColor_Click);
  picHome.MouseDown = Handler(&frmDrawingScreen::picHome_MouseDown);
  picHome.MouseMove = Handler(&frmDrawingScreen::picHome_MouseMove);
  picHome.MouseUp = Handler(&frmDrawingScreen::picHome_MouseUp);
  cmdClear.Click = Handler(&frmDrawingScreen::cmdClear_Click);
  cmdExit.Click = Handler(&frmDrawingScreen::cmdExit_Click);
  picHead.Resize = Handler(&frmDrawingScreen::picHead_Resize);
  picMesg.Resize = Handler(&frmDrawingScreen::picMesg_Resize);
}

// Borderless and maximised; every position below the bars is set by the layout on resizing.
void frmDrawingScreen::Design() {
  Caption("TouchScreen Test");
  BorderStyle(ui::FormBorder::None);
  State(ui::WindowState::Maximized);
  ClientSize(ui::ScreenWidth(), ui::ScreenHeight());

  picHead.Create(*this, {0, 0, ScaleWidth(), kHeadHeight});
  picHead.Align(ui::Align::Top);
  imgIcon.Create(picHead, {60, 60, 480, 480});
  imgIcon.Icon(ui::ProgramIcon());
  lblTitle.Create(picHead, {720, 120, 2775, 345}, "TouchScreen Test");
  lblTitle.Font({"Times New Roman", 14.25, true, false});
  lblTitle.ForeColor(ui::kRed);
  lblTitle.AutoSize(true);
  cmdClear.Create(picHead, {0, 60, 1215, 375}, "&Clear");
  cmdExit.Create(picHead, {0, 60, 1215, 375}, "E&xit Test");

  picHome.Create(*this, {0, kHeadHeight, ScaleWidth(), ScaleHeight() - kHeadHeight - kToolBarHeight});
  picHome.ScaleMode(ui::ScaleMode::Pixels);
  picHome.BackColor(ui::kWhite);

  picMesg.Create(*this, {0, ScaleHeight() - kToolBarHeight, ScaleWidth(), kToolBarHeight});
  picMesg.Align(ui::Align::Bottom);
  lblHelpBox.Create(picMesg, {0, 0, 1215, 495});
  lblHelpBox.BorderStyle(ui::BorderStyle::FixedSingle);
  lblHelp.Create(picMesg, {60, 120, 1095, 255});
  lblHelp.BackColor(ui::kGrey);
  lblHelp.ZOrder();  // over the box it sits in

  const ui::FontSpec big{"MS Sans Serif", 12, true, false};
  for (auto [name, caption] : {std::pair{&lblWidthName, "Width"}, std::pair{&lblColorName, "Color"},
                               std::pair{&lblButtonName, "Button"}}) {
    name->Create(picMesg, {0, 0, 615, 195}, caption);
    name->AutoSize(true);
  }
  for (ui::Label& label : lblWidth) {
    label.Create(picMesg, {0, 0, 405, 360}, kWidthCaptions[label.Index()]);
    label.BorderStyle(ui::BorderStyle::FixedSingle);
    label.Alignment(ui::Alignment::Centre);
    label.Font(big);
    label.ForeColor(kWidthText);
    label.BackColor(kWidthBack);
  }
  for (ui::Label& label : lblColor) {
    label.Create(picMesg, {0, 0, 405, 360});
    label.BackColor(kSwatches[label.Index()]);
  }
  for (ui::Label& label : lblButton) {
    label.Create(picMesg, {0, 0, 285, 360}, kButtonCaptions[label.Index()]);
    label.BorderStyle(ui::BorderStyle::FixedSingle);
    label.Alignment(ui::Alignment::Centre);
    label.Font(big);
    label.BackColor(ui::kYellow);
    label.BackStyle(ui::BackStyle::Transparent);
  }
}

void frmDrawingScreen::Form_Load() {
  drawingActive_ = false;
  selectedWidth_ = 0;
  selectedColor_ = 0;
  drawColour_ = picHome.ForeColor();
  activationPending_ = true;
  modeSaved_ = false;
}

// The form's first showing raises no resize of the bars when their size did not change.
void frmDrawingScreen::Form_Resize() {
  picHead_Resize();
  picMesg_Resize();
}

// The window becomes active again after a message box or after the user switched away; only
// its first activation saves the touch mode and chooses the starting pen. Doing it each time
// would save drag-and-drop mode as the mode to put back, losing the user's own, and would
// throw away the pen the user chose.
void frmDrawingScreen::Form_Activate() {
  if (!activationPending_) return;
  activationPending_ = false;
  ParamBlock dragDrop = controller_.Block();
  savedTouchMode_ = dragDrop.VirtualButton;
  dragDrop.VirtualButton = kDragDropMode;
  modeSaved_ = controller_.Write(device::Group::VirtualButton, dragDrop);
  SelectWidth(kStartWidth);
  SelectColor(kStartColor);
}

// Only a mode that was saved is put back: a window closed before it was ever active, or whose
// switch the driver refused, changed nothing in the driver.
void frmDrawingScreen::Form_Unload(bool&) {
  if (modeSaved_) {
    ParamBlock saved = controller_.Block();
    saved.VirtualButton = savedTouchMode_;
    controller_.Write(device::Group::VirtualButton, saved);
    modeSaved_ = false;
  }
  ReturnToMainWindow(*this);
}

void frmDrawingScreen::SelectWidth(int index) {
  if (index == selectedWidth_) return;
  lblWidth(selectedWidth_).ForeColor(kWidthText);
  lblWidth(selectedWidth_).BackColor(kWidthBack);
  selectedWidth_ = index;
  lblWidth(index).ForeColor(kSelectedWidthText);
  lblWidth(index).BackColor(kSelectedWidthBack);
  picHome.DrawWidth(index + 1);
}

void frmDrawingScreen::SelectColor(int index) {
  if (index == selectedColor_) return;
  lblColor(selectedColor_).BorderStyle(ui::BorderStyle::None);
  selectedColor_ = index;
  lblColor(index).BorderStyle(ui::BorderStyle::FixedSingle);
  drawColour_ = lblColor(index).BackColor();
}

// Selection happens as the button goes down, so the click that follows finds it made.
void frmDrawingScreen::lblWidth_MouseDown(int index, int, int, int, int) { SelectWidth(index); }
void frmDrawingScreen::lblWidth_Click(int index) { SelectWidth(index); }
void frmDrawingScreen::lblColor_MouseDown(int index, int, int, int, int) { SelectColor(index); }
void frmDrawingScreen::lblColor_Click(int index) { SelectColor(index); }

// Any button draws; a second button pressed during a stroke continues it with a line.
void frmDrawingScreen::picHome_MouseDown(int button, int, int x, int y) {
  if (drawingActive_) {
    picHome.LineTo(x, y, drawColour_);
  } else {
    picHome.PSet(x, y, drawColour_);
    drawingActive_ = true;
  }
  ShowButton(button, true);
}

void frmDrawingScreen::picHome_MouseMove(int, int, int x, int y) {
  if (drawingActive_) picHome.LineTo(x, y, drawColour_);
}

// The first release ends the stroke, whichever buttons are still held.
void frmDrawingScreen::picHome_MouseUp(int button, int, int, int) {
  drawingActive_ = false;
  ShowButton(button, false);
}

void frmDrawingScreen::ShowButton(int button, bool pressed) {
  int indicator = -1;
  if (button == ui::kLeftButton) indicator = 0;
  if (button == ui::kMiddleButton) indicator = 1;
  if (button == ui::kRightButton) indicator = 2;
  if (indicator < 0) return;
  lblButton(indicator).BackStyle(pressed ? ui::BackStyle::Opaque : ui::BackStyle::Transparent);
}

void frmDrawingScreen::cmdClear_Click() { picHome.Cls(); }
void frmDrawingScreen::cmdExit_Click() { Unload(); }

// The icon centred in the header's height at the same distance from the left edge; the title
// after it; Exit and Clear at the right end with that distance around them.
void frmDrawingScreen::picHead_Resize() {
  const int height = picHead.ScaleHeight();
  const int margin = (height - imgIcon.Height()) / 2;
  imgIcon.Move(margin, margin);
  lblTitle.Move(3 * margin + imgIcon.Width(), (height - lblTitle.Height()) / 2);
  const int buttonWidth = cmdExit.Width();
  const int buttonHeight = std::max(height - 2 * margin, 0);
  cmdExit.Move(picHead.ScaleWidth() - buttonWidth - margin, margin, buttonWidth, buttonHeight);
  cmdClear.Move(cmdExit.Left() - buttonWidth - margin, margin, buttonWidth, buttonHeight);
}

// The sheet between the bars; the tool bar's items from its right end leftward, each group
// a gap apart, and the help box filling what is left.
void frmDrawingScreen::picMesg_Resize() {
  picHome.Move(0, picHead.Height(), ScaleWidth(), std::max(ScaleHeight() - picHead.Height() - picMesg.Height(), 0));

  const int height = picMesg.ScaleHeight();
  const int gap = (height - lblButton(0).Height()) / 2;
  int x = picMesg.ScaleWidth();
  const auto place = [&](ui::Label& item, int top) {
    x -= gap + item.Width();
    item.Move(x, top);
  };
  const auto placeName = [&](ui::Label& name) {
    place(name, (height - name.Height()) / 2);
    x -= gap;
  };
  for (int i = lblButton.UBound(); i >= lblButton.LBound(); --i) place(lblButton(i), gap);
  placeName(lblButtonName);
  for (int i = lblColor.UBound(); i >= lblColor.LBound(); --i) place(lblColor(i), gap);
  placeName(lblColorName);
  for (int i = lblWidth.UBound(); i >= lblWidth.LBound(); --i) place(lblWidth(i), gap);
  placeName(lblWidthName);

  lblHelpBox.Move(0, 0, std::max(x - gap, 0), height);
  const int inset = (lblHelpBox.Height() - lblHelp.Height()) / 2;
  lblHelp.Move(inset, inset, std::max(lblHelpBox.Width() - 2 * inset, 0), lblHelp.Height());
}

}  // namespace koral::calibration
