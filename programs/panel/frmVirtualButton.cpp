#include "programs/panel/frmVirtualButton.h"

#include <windows.h>

#include <utility>

#include "common/core/status_texts.h"
#include "common/win/driver_link.h"

namespace koral::panel {
namespace {

constexpr int kDelayItems = 10;  // 0.5 s to 5 s in half seconds: list index i is (i + 1) halves

// The decimal separator of the user's number format.
std::string DecimalSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) <= 1) return ".";
  return separator;
}

// Selects the working value's item; a stored value the list does not have shows no item (the
// fields start empty rather than with a text that would pass for a choice).
void Select(ui::ComboBox& combo, int working) {
  if (working >= 0 && working < combo.ListCount()) combo.ListIndex(working);
}

// Only an item chosen from the list counts; text typed into the field is not a choice.
bool Chosen(const ui::ComboBox& combo, int& working) {
  if (combo.ListIndex() < 0) return false;
  working = combo.ListIndex();
  return true;
}

}  // namespace

frmVirtualButton::frmVirtualButton(ui::Application& app, device::Controller& controller, std::string installFolder)
    : SettingsDialog(app, "frmVirtualButton", controller, device::Group::VirtualButton, "virtual button"),
      installFolder_(std::move(installFolder)) {
  optVirtualButton.Click = Handler(&frmVirtualButton::optVirtualButton_Click);
  optRBFunction.Click = Handler(&frmVirtualButton::optRBFunction_Click);
  cboRBAutoMode.Click = Handler(&frmVirtualButton::cboRBAutoMode_Click);
  cboRBAutoSTime.Click = Handler(&frmVirtualButton::cboRBAutoSTime_Click);
  cboRBAutoETime.Click = Handler(&frmVirtualButton::cboRBAutoETime_Click);
  cboRBAutoBeep.Click = Handler(&frmVirtualButton::cboRBAutoBeep_Click);
}

// The touch modes on the left, the right-button function on the right, the automatic mode's
// settings across the bottom.
void frmVirtualButton::Design() {
  DesignFurniture("Virtual Button", 3465);
  constexpr int kLeftWidth = 2715;
  constexpr int kRightLeft = kContentLeft + kLeftWidth + 120;
  constexpr int kRightWidth = kContentRight - kRightLeft;

  Frame1.Create(*this, {kContentLeft, kContentTop, kLeftWidth, 2070}, "  Virtual Button Option  ");
  DesignOptions(optVirtualButton, Frame1, {240, 330, kLeftWidth - 360, 255}, 420);

  Frame2.Create(*this, {kRightLeft, kContentTop, kRightWidth, 2070}, "  Right Button Function ");
  DesignOptions(optRBFunction, Frame2, {240, 330, kRightWidth - 360, 255}, 420);
  optRBFunction(0).Caption("Disable ( Off )");
  optRBFunction(1).Caption("Enable  ( On )");
  DesignCombo(cboRBAutoMode, Frame2, {240, 1245, kRightWidth - 480, 315});

  Frame3.Create(*this, {kContentLeft, kContentTop + 2190, kContentRight - kContentLeft, 1275},
                "  Right Button Automatic Mode");
  lblRBAutoSTime.Create(Frame3, {240, 420, 1020, 255}, "Toggle On");
  DesignCombo(cboRBAutoSTime, Frame3, {1320, 360, 900, 315});
  lblRBAutoSTimeSec.Create(Frame3, {2280, 420, 495, 255}, "Sec.");
  lblRBAutoETime.Create(Frame3, {2955, 420, 1020, 255}, "Toggle Off");
  DesignCombo(cboRBAutoETime, Frame3, {4035, 360, 900, 315});
  lblRBAutoETimeSec.Create(Frame3, {4995, 420, 495, 255}, "Sec.");
  lblRBAutoBeep.Create(Frame3, {240, 840, 1020, 255}, "Beep");
  DesignCombo(cboRBAutoBeep, Frame3, {1320, 780, 900, 315});
}

// A list with a field the user can type in; what is typed there is never a choice.
void frmVirtualButton::DesignCombo(ui::ComboBox& combo, ui::Container& in, const ui::Rect& place) {
  combo.Style(ui::ComboStyle::DropdownCombo);
  combo.Create(in, place);
}

void frmVirtualButton::ShowSettings() {
  const ParamBlock& block = Block();
  for (int i = optVirtualButton.LBound(); i <= optVirtualButton.UBound(); ++i)
    optVirtualButton(i).Caption(std::string(" ") + TouchModeNames[static_cast<size_t>(i)]);
  mode_ = block.VirtualButton;
  function_ = block.RightButtonFunction;
  autoMode_ = block.RightButtonAutoMode;
  startTime_ = block.RightButtonAutoSTime;
  endTime_ = block.RightButtonAutoETime;
  beep_ = block.RightButtonAutoBeep;
  MarkChoice(optVirtualButton, mode_);
  MarkChoice(optRBFunction, function_);

  cboRBAutoMode.AddItem(" Manual Mode");
  cboRBAutoMode.AddItem(" Automatic Mode");
  Select(cboRBAutoMode, autoMode_);
  const std::string separator = DecimalSeparator();
  for (int halves = 1; halves <= kDelayItems; ++halves) {
    cboRBAutoSTime.AddItem(HalvesText(halves, separator));
    cboRBAutoETime.AddItem(HalvesText(halves, separator));
  }
  Select(cboRBAutoSTime, startTime_);
  Select(cboRBAutoETime, endTime_);
  cboRBAutoBeep.AddItem("Off");
  cboRBAutoBeep.AddItem("On");
  Select(cboRBAutoBeep, beep_);
  UpdateAutoModeControls();
}

void frmVirtualButton::UpdateAutoModeControls() {
  bool enabled = false;
  if (mode_ == kDragDropMode) {
    cboRBAutoMode.Enabled(function_ == kRightButtonOn);
    enabled = autoMode_ == kRightButtonAutomatic && cboRBAutoMode.Enabled();
  } else {
    cboRBAutoMode.Enabled(false);
  }
  for (ui::Control* control : {static_cast<ui::Control*>(&lblRBAutoSTime), static_cast<ui::Control*>(&cboRBAutoSTime),
                               static_cast<ui::Control*>(&lblRBAutoSTimeSec), static_cast<ui::Control*>(&lblRBAutoETime),
                               static_cast<ui::Control*>(&cboRBAutoETime), static_cast<ui::Control*>(&lblRBAutoETimeSec),
                               static_cast<ui::Control*>(&lblRBAutoBeep), static_cast<ui::Control*>(&cboRBAutoBeep)})
    control->Enabled(enabled);
}

// The automatic settings count only where they apply: drag-and-drop, right button on, and
// (for the delays and the beep) automatic mode chosen.
bool frmVirtualButton::SettingsChanged() const {
  const ParamBlock& block = Block();
  if (mode_ != block.VirtualButton) return true;
  if (function_ != block.RightButtonFunction) return true;
  if (mode_ != kDragDropMode || function_ != kRightButtonOn) return false;
  if (autoMode_ != block.RightButtonAutoMode) return true;
  if (autoMode_ != kRightButtonAutomatic) return false;
  return startTime_ != block.RightButtonAutoSTime || endTime_ != block.RightButtonAutoETime ||
         beep_ != block.RightButtonAutoBeep;
}

void frmVirtualButton::StoreSettings(ParamBlock& block) const {
  block.VirtualButton = static_cast<uint8_t>(mode_);
  block.RightButtonFunction = static_cast<uint8_t>(function_);
  block.RightButtonAutoMode = static_cast<uint8_t>(autoMode_);
  block.RightButtonAutoSTime = static_cast<uint8_t>(startTime_);
  block.RightButtonAutoETime = static_cast<uint8_t>(endTime_);
  block.RightButtonAutoBeep = static_cast<uint8_t>(beep_);
}

// A tool already running settles a second start itself: the new one shows it and ends.
void frmVirtualButton::SettingsApplied() {
  if (RightButtonUsesTool(Block()))
    device::StartRightButtonTool(installFolder_);
  else
    device::TellRightButtonTool(Controller().driver(), installFolder_, device::kQuitTool);
}

void frmVirtualButton::optVirtualButton_Click(int index) {
  if (!Choose(optVirtualButton, mode_, index)) return;
  UpdateAutoModeControls();
  UpdateApply();
}

void frmVirtualButton::optRBFunction_Click(int index) {
  if (!Choose(optRBFunction, function_, index)) return;
  UpdateAutoModeControls();
  UpdateApply();
}

void frmVirtualButton::cboRBAutoMode_Click() {
  if (!Chosen(cboRBAutoMode, autoMode_)) return;
  UpdateAutoModeControls();
  UpdateApply();
}

void frmVirtualButton::cboRBAutoSTime_Click() {
  if (Chosen(cboRBAutoSTime, startTime_)) UpdateApply();
}

void frmVirtualButton::cboRBAutoETime_Click() {
  if (Chosen(cboRBAutoETime, endTime_)) UpdateApply();
}

void frmVirtualButton::cboRBAutoBeep_Click() {
  if (Chosen(cboRBAutoBeep, beep_)) UpdateApply();
}

}  // namespace koral::panel
