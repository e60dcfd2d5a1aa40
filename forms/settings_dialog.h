// What every settings dialog of the control panel shares: the dialog furniture (dialog_form.h)
// with Cancel, OK and Apply in the bottom row, and their rules.
//
// - Apply is enabled exactly while the dialog's values differ from the block (SettingsChanged);
//   a dialog calls UpdateApply() after every change of a control that holds a stored value.
// - Apply sends the program's block with the dialog's values in its group's fields (StoreSettings)
//   with the group's control code. When the driver took it, the program's block becomes that
//   block, Apply disables itself, SettingsApplied runs and BlockApplied is raised, on which the
//   main window refreshes its status lines; the dialog stays open. When the driver refused it,
//   the error box says so, the program's block stays as the driver has it, and the dialog keeps
//   the user's values with Apply enabled, for another try or Cancel.
// - OK applies only when Apply is enabled, then unloads unless that Apply failed; Cancel (also Esc
//   and the close box) unloads and sends nothing, since nothing was sent before.
// - Every unload brings the main window back; the hourglass shows while a button acts.
// - In option groups the chosen option's text is black and the others teal.
//
// A dialog lays itself out in Design() with DesignFurniture() and then its own controls, from
// kContentTop down and between kContentLeft and kContentRight; it shows the block's values in
// ShowSettings(), after which the Apply rule is evaluated and DressDialog runs:
//
//   class frmExample : public SettingsDialog {
//    public:
//     frmExample(ui::Application& app, device::Controller& controller)
//         : SettingsDialog(app, "frmExample", controller, device::Group::Flag, "example") {}
//    private:
//     void Design() override { DesignFurniture("Example", 1200); chkOn.Create(*this, {...}, "On"); }
//     void ShowSettings() override { chkOn.Value(Block().Flag); }
//     bool SettingsChanged() const override { return chkOn.Value() != Block().Flag; }
//     void StoreSettings(ParamBlock& block) const override { block.Flag = chkOn.Value(); }
//     void chkOn_Click() { UpdateApply(); }
//   };
#pragma once

#include <string>

#include "common/core/driver_protocol.h"
#include "common/win/driver_link.h"
#include "forms/dialog_form.h"
#include "ui/controls.h"

namespace koral {

class SettingsDialog : public DialogForm {
 public:
  // `settings` names the group in the failure message ("mouse speed").
  SettingsDialog(ui::Application& app, std::string name, device::Controller& controller, device::Group group,
                 std::string settings);

  static constexpr ui::Colour kChoiceColour = ui::kTeal;
  static constexpr ui::Colour kChosenColour = ui::kBlack;

  ui::CommandButton cmdCandel{this, "cmdCandel"};
  ui::CommandButton cmdOK{this, "cmdOK"};
  ui::CommandButton cmdApply{this, "cmdApply"};

  // Raised after the driver took the dialog's values (Apply, or OK).
  ui::Event BlockApplied;

 protected:
  // The program's one block, as the driver took it.
  const ParamBlock& Block() const { return controller_.Block(); }
  device::Controller& Controller() const { return controller_; }

  // The dialog's frame (DesignFrame) with Cancel, OK and Apply, left to right, in its button row.
  void DesignFurniture(const std::string& caption, int contentHeight);

  virtual void ShowSettings() = 0;
  virtual bool SettingsChanged() const = 0;
  // The dialog's values into the fields of its group.
  virtual void StoreSettings(ParamBlock& block) const = 0;
  // Runs once the driver took the values.
  virtual void SettingsApplied() {}
  void UpdateApply();

  using Options = ui::ControlArray<ui::OptionButton>;
  // Creates a group's options one under another, teal, the first at `first`.
  static void DesignOptions(Options& group, ui::Container& in, const ui::Rect& first, int spacing);
  // Selects the chosen option and turns it black. A stored choice outside the group marks none.
  static void MarkChoice(Options& group, int choice);
  // The user clicked option `choice`: the previous choice is cleared and turns teal, the new
  // one is selected and turns black. False, and nothing changes, when it was already chosen.
  static bool Choose(Options& group, int& working, int choice);

 private:
  void Form_Load() final;
  void Form_Unload(bool& cancel) final;

  void cmdApply_Click();
  void cmdOK_Click();
  void cmdCandel_Click();
  // False after telling the user that the driver refused the values.
  bool Apply();

  device::Controller& controller_;
  device::Group group_;
  std::string settings_;
};

}  // namespace koral
