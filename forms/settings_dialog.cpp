#include "forms/settings_dialog.h"

#include "common/core/messages.h"
#include "common/win/message_box.h"
#include "common/win/pointer.h"

namespace koral {

SettingsDialog::SettingsDialog(ui::Application& app, std::string name, device::Controller& controller,
                               device::Group group, std::string settings)
    : DialogForm(app, std::move(name)), controller_(controller), group_(group), settings_(std::move(settings)) {
  cmdApply.Click = Handler(&SettingsDialog::cmdApply_Click);
  cmdOK.Click = Handler(&SettingsDialog::cmdOK_Click);
  cmdCandel.Click = Handler(&SettingsDialog::cmdCandel_Click);
}

void SettingsDialog::DesignFurniture(const std::string& caption, int contentHeight) {
  const int buttonsTop = DesignFrame(caption, contentHeight);
  cmdCandel.Create(*this, ButtonPlace(buttonsTop, 2), "&Cancel");
  cmdCandel.Cancel(true);
  cmdOK.Create(*this, ButtonPlace(buttonsTop, 1), "&OK");
  cmdOK.Default(true);
  cmdApply.Create(*this, ButtonPlace(buttonsTop, 0), "&Apply");
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

void SettingsDialog::Form_Unload(bool&) { ReturnToMainWindow(*this); }

bool SettingsDialog::Apply() {
  ParamBlock changed = Block();
  StoreSettings(changed);
  if (!controller_.Write(group_, changed)) {
    ErrorBox(ApplyFailureText(settings_), Caption());
    return false;
  }
  cmdApply.Enabled(false);
  SettingsApplied();
  if (BlockApplied) BlockApplied();
  return true;
}

void SettingsDialog::cmdApply_Click() {
  BusyPointer busy;
  Apply();
}

void SettingsDialog::cmdOK_Click() {
  BusyPointer busy;
  if (cmdApply.Enabled() && !Apply()) return;
  Unload();
}

void SettingsDialog::cmdCandel_Click() {
  BusyPointer busy;
  Unload();
}

}  // namespace koral
