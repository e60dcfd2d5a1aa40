#include "settings_dialog.h"

#include "driver_link.h"
#include "pointer.h"

namespace koral {
namespace {

constexpr int kWidth = 6645;
constexpr int kMargin = 120;  // between the window's edge and Shape1
constexpr int kButtonWidth = 1275;
constexpr int kButtonHeight = 435;
constexpr int kButtonGap = 120;
constexpr int kRowGap = 240;  // between the own controls and the buttons
constexpr int kBottom = 360;  // below the buttons

}  // namespace

SettingsDialog::SettingsDialog(std::string name) : BrandedForm(std::move(name)) {
  cmdApply.Click = Handler(&SettingsDialog::cmdApply_Click);
  cmdOK.Click = Handler(&SettingsDialog::cmdOK_Click);
  cmdCandel.Click = Handler(&SettingsDialog::cmdCandel_Click);
}

ParamBlock& SettingsDialog::Block() { return device::Link().Block; }

void SettingsDialog::DesignFurniture(const std::string& caption, int contentHeight) {
  const int buttonsTop = kContentTop + contentHeight + kRowGap;
  const int height = buttonsTop + kButtonHeight + kBottom;
  Caption(caption);
  BorderStyle(ui::FormBorder::FixedSingle);
  ClientSize(kWidth, height);

  // The title area stands where the main window has it, so DressDialog's copies fit.
  DesignTitleArea();

  Shape1.Create(*this, {kMargin, kMargin, kWidth - 2 * kMargin, height - 2 * kMargin});
  Shape1.BorderColor(ui::kGrey);

  // Cancel, OK and Apply, left to right, flush with the right edge of the own controls.
  const int applyLeft = kContentRight - kButtonWidth;
  const int okLeft = applyLeft - kButtonGap - kButtonWidth;
  const int cancelLeft = okLeft - kButtonGap - kButtonWidth;
  cmdCandel.Create(*this, {cancelLeft, buttonsTop, kButtonWidth, kButtonHeight}, "&Cancel");
  cmdCandel.Cancel(true);
  cmdOK.Create(*this, {okLeft, buttonsTop, kButtonWidth, kButtonHeight}, "&OK");
  cmdOK.Default(true);
  cmdApply.Create(*this, {applyLeft, buttonsTop, kButtonWidth, kButtonHeight}, "&Apply");
  cmdApply.Enabled(false);
}

void SettingsDialog::UpdateApply() { cmdApply.Enabled(SettingsChanged()); }

void SettingsDialog::DesignOptions(Options& group, ui::Container& in, const ui::Rect& first, int spacing) {
  for (ui::OptionButton& option : group) {
    ui::Rect place = first;
    place.Top += spacing * (option.Index() - group.LBound());
    option.Create(in, place);
    option.ForeColor(kChoiceColour);
  }
}

void SettingsDialog::MarkChoice(Options& group, int choice) {
  if (choice < group.LBound() || choice > group.UBound()) return;
  group(choice).Value(true);
  group(choice).ForeColor(kChosenColour);
}

bool SettingsDialog::Choose(Options& group, int& working, int choice) {
  if (choice == working) return false;
  if (working >= group.LBound() && working <= group.UBound()) {
    group(working).Value(false);
    group(working).ForeColor(kChoiceColour);
  }
  working = choice;
  MarkChoice(group, choice);
  return true;
}

void SettingsDialog::Form_Load() {
  ShowSettings();
  UpdateApply();
  DressDialog(*this);
}

void SettingsDialog::Form_Unload(bool&) { ReturnToMainWindow(); }

void SettingsDialog::cmdApply_Click() {
  BusyPointer busy;
  WriteSettings();
  cmdApply.Enabled(false);
  if (BlockApplied) BlockApplied();
}

void SettingsDialog::cmdOK_Click() {
  BusyPointer busy;
  if (cmdApply.Enabled()) cmdApply_Click();
  Unload();
}

void SettingsDialog::cmdCandel_Click() {
  BusyPointer busy;
  Unload();
}

}  // namespace koral
