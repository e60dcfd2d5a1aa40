#include "programs/panel/frmSerialPort.h"

#include <string>

#include "common/core/status_texts.h"
#include "common/win/pointer.h"

namespace koral::panel {
namespace {

constexpr int kLineSpacing = 300;

// The design's stand-in lines: "COM1, BasePort=1111h, IRQ=11" and so on.
std::string Placeholder(int n) {
  const std::string digit = std::to_string(n);
  return "COM" + digit + ", BasePort=" + std::string(4, digit[0]) + "h, IRQ=" + digit + digit;
}

}  // namespace

frmSerialPort::frmSerialPort(ui::Application& app, device::Controller& controller)
    : DialogForm(app, "frmSerialPort"), COMxSet(app, controller, *this), controller_(controller) {
  cmdOK.Click = Handler(&frmSerialPort::cmdOK_Click);
  cmdSetup.Click = Handler(&frmSerialPort::cmdSetup_Click);
}

void frmSerialPort::Design() {
  constexpr int kWidth = kContentRight - kContentLeft;
  constexpr int kFrameHeight = kPorts * kLineSpacing + 360;
  const int buttonsTop = DesignFrame("Serial Port", kFrameHeight);

  Frame1.Create(*this, {kContentLeft, kContentTop, kWidth, kFrameHeight}, "  Serial Port Information  ");
  for (int n = 1; n <= kPorts; ++n) {
    const int top = n * kLineSpacing;
    optDetected(n).Create(Frame1, {240, top, 255, 255});
    optDetected(n).Enabled(false);
    lblCOM(n).Create(Frame1, {600, top + 30, kWidth - 840, 195}, Placeholder(n));
    lblCOM(n).ForeColor(ui::kGrey);
  }

  cmdSetup.Create(*this, ButtonPlace(buttonsTop, 1), "&Setup");
  cmdSetup.Visible(false);
  cmdSetup.Enabled(false);
  cmdSetup.Cancel(true);
  cmdOK.Create(*this, ButtonPlace(buttonsTop, 0), "&OK");
  cmdOK.Default(true);
}

void frmSerialPort::Form_Load() { DressDialog(*this); }

void frmSerialPort::Form_Activate() { ShowPorts(); }

void frmSerialPort::Form_Unload(bool&) { ReturnToMainWindow(*this); }

// DetectedPort 1..9 names the COM port of the controller; 0 and values above 9 mark none.
void frmSerialPort::ShowPorts() {
  const ParamBlock& block = controller_.Block();
  for (int n = 1; n <= kPorts; ++n) {
    const ComPortEntry& port = block.ComPort[n - 1];
    const bool detected = n == block.DetectedPort;
    lblCOM(n).Caption(SerialPortText(n, port.BasePort, port.Irq));
    lblCOM(n).ForeColor(detected ? ui::kBlack : ui::kGrey);
    optDetected(n).Enabled(detected);
    optDetected(n).Value(detected);
  }
}

void frmSerialPort::cmdOK_Click() {
  BusyPointer busy;
  Unload();
}

void frmSerialPort::cmdSetup_Click() {
  BusyPointer busy;
  COMxSet.Show();
  Hide();
}

}  // namespace koral::panel
