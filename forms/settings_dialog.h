// What every settings dialog of the control panel shares: the dialog furniture (dialog_form.h)
// with Cancel, OK and Apply in the bottom row, and their rules.
//
// - Apply is enabled exactly while the dialog's values differ from the block (SettingsChanged);
//   a dialog calls UpdateApply() after every change of a control that holds a stored value.
// - Apply writes the values (WriteSettings: the block's fields and the group's control code),
//   disables itself and raises BlockApplied, on which the main window refreshes its status
//   lines; the dialog stays open.
// - OK applies only when Apply is enabled, then unloads; Cancel (also Esc and the close box)
//   unloads and sends nothing, since nothing was sent before.
// - Every unload brings the main window back; the hourglass shows while a button acts.
// - In option groups the chosen option's text is black and the others teal.
//
// A dialog lays itself out in Design() with DesignFurniture() and then its own controls, from
// kContentTop down and between kContentLeft and kContentRight; it shows the block's values in
// ShowSettings(), after which the Apply rule is evaluated and DressDialog runs:
//
//   class frmExample : public SettingsDialog {
//     void Design() override { DesignFurniture("Example", 1200); chkOn.Create(*this, {...}, "On"); }
//     void ShowSettings() override { chkOn.Value(Block().Flag); }
//     bool SettingsChanged() const override { return chkOn.Value() != Block().Flag; }
//     void WriteSettings() override { Block().Flag = chkOn.Value(); device::WriteFlag(); ... }
//     void chkOn_Click() { UpdateApply(); }
//   };
#pragma once

#include <string>

#include "common/core/driver_protocol.h"
#include "forms/dialog_form.h"
#include "ui/controls.h"

namespace koral {

class SettingsDialog : public DialogForm {
 public:
  explicit SettingsDialog(std::string name);

  static constexpr ui::Colour kChoiceColour = ui::kTeal;
  static constexpr ui::Colour kChosenColour = ui::kBlack;

  ui::CommandButton cmdCandel{this, "cmdCandel"};
  ui::CommandButton cmdOK{this, "cmdOK"};
  ui::CommandButton cmdApply{this, "cmdApply"};

  // Raised after Apply (or OK) sent the dialog's values in the program's block.
  ui::Event BlockApplied;

 protected:
  // The program's one block, which every dialog edits.
  static ParamBlock& Block();

  // The dialog's frame (DesignFrame) with Cancel, OK and Apply, left to right, in its button row.
  void DesignFurniture(const std::string& caption, int contentHeight);

  virtual void ShowSettings() = 0;
  virtual bool SettingsChanged() const = 0;
  virtual void WriteSettings() = 0;
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
};

}  // namespace koral
