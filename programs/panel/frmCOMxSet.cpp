#include "programs/panel/frmCOMxSet.h"

#include <string>

#include "common/core/status_texts.h"
#include "common/core/messages.h"
#include "common/win/message_box.h"
#include "common/win/pointer.h"

namespace koral::panel {
namespace {

constexpr const char kNote[] =
    "Incorrect change to the following Setting could prevent the TouchScreen from operation or operation correctly.";

}  // namespace

frmCOMxSet::frmCOMxSet(ui::Application& app, device::Controller& controller, ui::Form& serialPort)
    : DialogForm(app, "frmCOMxSet"), controller_(controller), serialPort_(serialPort) {
  cboIRQ.Click = Handler(&frmCOMxSet::cboIRQ_Click);
  cmdSave.Click = Handler(&frmCOMxSet::cmdSave_Click);
  cmdOK.Click = Handler(&frmCOMxSet::cmdOK_Click);
  cmdCancel.Click = Handler(&frmCOMxSet::cmdCancel_Click);
}

// The caution with its picture and note at the top, then one row a port: its name, its base
// address (shown, not changeable) and its interrupt.
void frmCOMxSet::Design() {
  constexpr int kWidth = kContentRight - kContentLeft;
  constexpr int kFrameTop = kContentTop + 855;
  constexpr int kRowHeight = 480;
  const int buttonsTop = DesignFrame(" COM Port Configuration", 855 + kRows * kRowHeight + 240);

  imgCaution.Create(*this, {kContentLeft, kContentTop, 480, 480});
  imgCaution.Icon(LoadIconA(nullptr, IDI_WARNING));
  lblCaution.Create(*this, {kContentLeft + 600, kContentTop, kWidth - 600, 195}, "CAUTION:");
  lblCaution.ForeColor(ui::kRed);
  lblNote.Create(*this, {kContentLeft + 600, kContentTop + 240, kWidth - 600, 495}, kNote);
  lblNote.ForeColor(ui::kRed);
  lblNote.WordWrap(true);

  Frame1.Create(*this, {kContentLeft, kFrameTop, kWidth, kRows * kRowHeight + 240});
  for (int row = 1; row <= kRows; ++row) {
    const int top = 240 + (row - 1) * kRowHeight;
    lblCOM(row).Create(Frame1, {240, top + 60, 735, 195}, "COM" + std::to_string(row) + ":");
    lblPortName(row).Create(Frame1, {1080, top + 60, 495, 195}, "PORT");
    cboPort(row).Style(ui::ComboStyle::DropdownCombo);
    cboPort(row).Create(Frame1, {1620, top, 1335, 315});
    cboPort(row).Enabled(false);
    cboPort(row).BackColor(ui::kButtonFace);
    lblIRQ(row).Create(Frame1, {3240, top + 60, 375, 195}, "IRQ");
    cboIRQ(row).Style(ui::ComboStyle::DropdownList);
    cboIRQ(row).Create(Frame1, {3660, top, 1335, 315});
  }

  cmdCancel.Create(*this, ButtonPlace(buttonsTop, 2), "&Cancel");
  cmdOK.Create(*this, ButtonPlace(buttonsTop, 1), "&OK");
  cmdOK.Cancel(true);
  cmdSave.Create(*this, ButtonPlace(buttonsTop, 0), "&Save");
  cmdSave.Enabled(false);
}

void frmCOMxSet::Form_Load() {
  for (int row = 1; row <= kRows; ++row) {
    for (int port = 1; port <= kRows; ++port) cboPort(row).AddItem(Hex4(Port(port).BasePort));
    cboPort(row).ListIndex(row - 1);
    for (int irq : kIrqChoices) cboIRQ(row).AddItem(PlainDecimal(irq));
  }
  for (int row = 1; row <= kRows; ++row) SelectIrqItem(row, Port(row).Irq);
  cmdSave.Enabled(IrqChanged());
  DressDialog(*this);
}

void frmCOMxSet::Form_Unload(bool&) { serialPort_.Show(); }

void frmCOMxSet::SelectIrqItem(int row, int irq) {
  ui::ComboBox& list = cboIRQ(row);
  for (int item = 0; item < list.ListCount(); ++item) {
    if (list.List(item) == PlainDecimal(irq)) {
      list.ListIndex(item);
      return;
    }
  }
}

// A stored value that is none of the choices (a status code of an unusable port, say) opens
// with no choice shown; it is kept, neither counted as a change nor saved as 0, until the user
// picks a choice.
int frmCOMxSet::RowIrq(int row) const {
  const ui::ComboBox& list = cboIRQ(row);
  if (list.ListIndex() < 0) return Port(row).Irq;
  return kIrqChoices[static_cast<size_t>(list.ListIndex())];  // the items are these, in this order
}

bool frmCOMxSet::IrqChanged() const {
  for (int row = 1; row <= kRows; ++row)
    if (RowIrq(row) != Port(row).Irq) return true;
  return false;
}

void frmCOMxSet::cboIRQ_Click(int) { cmdSave.Enabled(IrqChanged()); }

// Only the interrupts change; the base addresses stay as the driver reported them. A table the
// driver refused leaves the program's copy as it was and the rows as the user chose them.
bool frmCOMxSet::Save() {
  ParamBlock changed = controller_.Block();
  for (int row = 1; row <= kRows; ++row) changed.ComPort[row - 1].Irq = static_cast<uint8_t>(RowIrq(row));
  if (!controller_.Write(device::Group::SerialPorts, changed)) {
    ErrorBox(ApplyFailureText("COM port configuration"), Caption());
    return false;
  }
  cmdSave.Enabled(false);
  return true;
}

void frmCOMxSet::cmdSave_Click() {
  BusyPointer busy;
  Save();
}

// OK is also the Esc key: it saves what is pending before closing.
void frmCOMxSet::cmdOK_Click() {
  BusyPointer busy;
  if (cmdSave.Enabled() && !Save()) return;
  Unload();
}

void frmCOMxSet::cmdCancel_Click() {
  BusyPointer busy;
  Unload();
}

}  // namespace koral::panel
