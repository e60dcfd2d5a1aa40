// The interrupt set-up of COM1 to COM4: each row shows its port's base address and lets the
// user choose its IRQ; Save hands the table to the driver (control code 0xF2050). It opens from
// the serial port list and goes back to it, not to the main window.
#pragma once

#include <array>

#include "common/win/driver_link.h"
#include "forms/dialog_form.h"
#include "ui/controls.h"

namespace koral::panel {

class frmCOMxSet : public DialogForm {
 public:
  // `serialPort` is the window that opened this one, shown again when it unloads.
  frmCOMxSet(ui::Application& app, device::Controller& controller, ui::Form& serialPort);

  static constexpr int kRows = 4;
  // The interrupts offered for every row, in this order.
  static constexpr std::array<int, 6> kIrqChoices = {3, 4, 5, 7, 10, 11};

  ui::Label lblCaution{this, "lblCaution"};
  ui::Image imgCaution{this, "imgCaution"};
  ui::Label lblNote{this, "lblNote"};
  ui::Frame Frame1{this, "Frame1"};
  ui::ControlArray<ui::Label> lblCOM{this, "lblCOM", 1, kRows};
  ui::ControlArray<ui::Label> lblPortName{this, "lblPortName", 1, kRows};
  ui::ControlArray<ui::ComboBox> cboPort{this, "cboPort", 1, kRows};
  ui::ControlArray<ui::Label> lblIRQ{this, "lblIRQ", 1, kRows};
  ui::ControlArray<ui::ComboBox> cboIRQ{this, "cboIRQ", 1, kRows};
  ui::CommandButton cmdCancel{this, "cmdCancel"};
  ui::CommandButton cmdOK{this, "cmdOK"};
  ui::CommandButton cmdSave{this, "cmdSave"};

 private:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

  void cboIRQ_Click(int row);
  void cmdSave_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

  // Selects the row's item that reads `irq`; a value that is none of the choices selects none.
  void SelectIrqItem(int row, int irq);
  // The interrupt the row stands for: the chosen item's, or the stored one while none is chosen.
  int RowIrq(int row) const;
  bool IrqChanged() const;
  const ComPortEntry& Port(int row) const { return controller_.Block().ComPort[row - 1]; }
  // False after telling the user that the driver refused the table.
  bool Save();

  device::Controller& controller_;
  ui::Form& serialPort_;
};

}  // namespace koral::panel
