// The serial port list and its interrupt set-up in this process, against the real substitute
// driver. The main window's button and the list's Setup button are hidden in the PS/2 layout;
// the test shows them, as a layout that offers them would.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win/pointer.h"
#include "programs/panel/frmSerialPort.h"
#include "programs/panel/tests/panel_dialog_fixture.h"
#include "tests/support/wait.h"

namespace koral::panel {
namespace {

struct Port {
  int16_t Base;
  uint8_t Irq;
};

// COM1..COM9 as a serial model's driver might report them, with the detected port given.
ParamBlock BlockWith(int detected, const std::vector<Port>& ports = {}) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.DetectedPort = static_cast<uint8_t>(detected);
  for (size_t n = 0; n < ports.size(); ++n) {
    block.ComPort[n].BasePort = ports[n].Base;
    block.ComPort[n].Irq = ports[n].Irq;
  }
  return block;
}

const std::vector<Port> kUsual = {{0x3F8, 4}, {0x2F8, 3}, {0x3E8, 5}, {0x2E8, 10}};

// A choice the user makes in a drop-down list: the list reports the new selection.
void Choose(const ui::ComboBox& list, int item) {
  SendMessageA(list.hwnd(), CB_SETCURSEL, item, 0);
  SendMessageA(GetParent(list.hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list.hwnd()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list.hwnd()));
}
int Selected(const ui::ComboBox& list) { return static_cast<int>(SendMessageA(list.hwnd(), CB_GETCURSEL, 0, 0)); }
std::string Item(const ui::ComboBox& list, int item) {
  char text[64] = {};
  SendMessageA(list.hwnd(), CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
  return text;
}
int ItemIndex(int irq) {
  for (size_t i = 0; i < frmCOMxSet::kIrqChoices.size(); ++i)
    if (frmCOMxSet::kIrqChoices[i] == irq) return static_cast<int>(i);
  return -1;
}

class SerialPortDialogs : public PanelDialogTest {
 protected:
  // A DetectedPort of 0 ends the program before its main window shows, so that case reaches
  // the program's block after the main window loaded (read again from the driver).
  void Open(const ParamBlock& stored) {
    ParamBlock present = stored;
    if (present.DetectedPort == 0) present.DetectedPort = sim::SimClient::DefaultBlock().DetectedPort;
    ASSERT_NO_FATAL_FAILURE(LoadMain(present));
    ASSERT_TRUE(sim_.LoadBlock(stored));
    ASSERT_TRUE(main_.Controller().ReadBlock());
    Sent();
    ASSERT_NO_FATAL_FAILURE(OpenWith(main_.cmdSerialPort, list_));
    // The lines are rebuilt when the window becomes active; until then they are the design's.
    ASSERT_TRUE(LineShows(9, [](const std::string& text) { return text != "COM9, BasePort=9999h, IRQ=99"; }));
  }
  bool LineShows(int n, const std::function<bool(const std::string&)>& wanted) {
    return test::WaitUntil([&] { return wanted(Text(list_.lblCOM(n))); }, std::chrono::seconds(10));
  }
  void OpenSetup(const ParamBlock& stored) {
    ASSERT_NO_FATAL_FAILURE(Open(stored));
    list_.cmdSetup.Visible(true);
    list_.cmdSetup.Enabled(true);
    Click(list_.cmdSetup);
    ASSERT_TRUE(setup_.Visible());
    EXPECT_FALSE(list_.Visible());
  }

  frmSerialPort& list_ = main_.dialogs.SerialPort;
  frmCOMxSet& setup_ = list_.COMxSet;
};

// ---- The list ----

struct DetectedCase {
  int Detected;
  int Marked;  // 0: none
};

TEST_F(SerialPortDialogs, TheDetectedPortIsMarkedAndTheOthersGrey) {
  for (const DetectedCase& c : std::vector<DetectedCase>{{0, 0}, {3, 3}, {1, 1}, {9, 9}, {10, 0}, {12, 0}}) {
    SCOPED_TRACE(c.Detected);
    ASSERT_NO_FATAL_FAILURE(Open(BlockWith(c.Detected, kUsual)));
    for (int n = 1; n <= frmSerialPort::kPorts; ++n) {
      const bool marked = n == c.Marked;
      EXPECT_EQ(list_.lblCOM(n).ForeColor(), marked ? ui::kBlack : ui::kGrey) << n;
      EXPECT_EQ(Checked(list_.optDetected(n)), marked) << n;
      EXPECT_EQ(Enabled(list_.optDetected(n)), marked) << n;
    }
    EXPECT_FALSE(Shown(list_.cmdSetup));
    EXPECT_FALSE(Enabled(list_.cmdSetup));
    EXPECT_TRUE(Sent().empty());
  }
}

TEST_F(SerialPortDialogs, EachLineTellsThePortsAddressAndInterruptOrWhyItIsUnusable) {
  const ParamBlock block = BlockWith(
      2, {{0x3F8, 4}, {0x2F8, 3}, {0, 0xFF}, {0, 0xFE}, {0, 7}, {0, 0}, {static_cast<int16_t>(0x8000), 11},
          {0x12, 255}, {0x2E8, 10}});
  ASSERT_NO_FATAL_FAILURE(Open(block));
  const char* lines[] = {"COM1, BasePort=03F8h, IRQ=4",   "COM2, BasePort=02F8h, IRQ=3",
                         "COM3..Not Found.",              "COM4..Used by Other Device.",
                         "COM5..Unabled (code=7)",        "COM6..Unabled (code=0)",
                         "COM7, BasePort=8000h, IRQ=11",  "COM8, BasePort=0012h, IRQ=255",
                         "COM9, BasePort=02E8h, IRQ=10"};
  for (int n = 1; n <= frmSerialPort::kPorts; ++n) EXPECT_EQ(Text(list_.lblCOM(n)), lines[n - 1]) << n;
}

struct CloseCase {
  const char* What;
  std::function<void(frmSerialPort&)> Act;
  bool Closes;
};

TEST_F(SerialPortDialogs, OkAndTheCloseBoxGoBackToTheMainWindowEscDoesNothing) {
  using D = frmSerialPort;
  for (const CloseCase& c : std::vector<CloseCase>{
           {"OK", [](D& d) { Click(d.cmdOK); }, true},
           {"close box", [](D& d) { SendMessageA(d.hwnd(), WM_CLOSE, 0, 0); }, true},
           // Esc belongs to the Setup button, which stays disabled.
           {"Esc", [](D& d) { PressEsc(d.cmdOK); }, false},
       }) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(BlockWith(3, kUsual)));
    c.Act(list_);
    EXPECT_EQ(list_.Loaded(), !c.Closes);
    EXPECT_EQ(main_.Visible(), c.Closes);
    EXPECT_FALSE(setup_.Loaded());
    EXPECT_EQ(HourglassCount(), 0);
    EXPECT_TRUE(Sent().empty());
  }
}

// ---- The interrupt set-up ----

TEST_F(SerialPortDialogs, SetupShowsEachRowsAddressAndStoredInterrupt) {
  ASSERT_NO_FATAL_FAILURE(OpenSetup(BlockWith(1, {{0x3F8, 4}, {0x2F8, 3}, {0, 0xFF}, {0x2E8, 9}})));
  const char* addresses[] = {"03F8", "02F8", "0000", "02E8"};
  const int shown[] = {ItemIndex(4), ItemIndex(3), -1, -1};  // 0xFF and 9 are no choices
  for (int row = 1; row <= frmCOMxSet::kRows; ++row) {
    SCOPED_TRACE(row);
    const ui::ComboBox& port = setup_.cboPort(row);
    ASSERT_EQ(SendMessageA(port.hwnd(), CB_GETCOUNT, 0, 0), 4);
    for (int item = 0; item < 4; ++item) EXPECT_EQ(Item(port, item), addresses[item]);
    EXPECT_EQ(Selected(port), row - 1) << "each row shows its own port";
    EXPECT_FALSE(Enabled(port));
    const ui::ComboBox& irq = setup_.cboIRQ(row);
    ASSERT_EQ(SendMessageA(irq.hwnd(), CB_GETCOUNT, 0, 0), 6);
    for (int item = 0; item < 6; ++item) EXPECT_EQ(Item(irq, item), std::to_string(frmCOMxSet::kIrqChoices[item]));
    EXPECT_EQ(Selected(irq), shown[row - 1]);
  }
  EXPECT_FALSE(Enabled(setup_.cmdSave)) << "rows without a choice are no change";
  EXPECT_TRUE(Sent().empty());
}

struct ChoiceCase {
  const char* What;
  std::vector<std::pair<int, int>> Choices;  // row, interrupt
  bool Save;
};

TEST_F(SerialPortDialogs, SaveIsEnabledExactlyWhileAnInterruptDiffers) {
  for (const ChoiceCase& c : std::vector<ChoiceCase>{
           {"one row changed", {{2, 7}}, true},
           {"changed and back", {{2, 7}, {2, 3}}, false},
           {"the stored choice again", {{1, 4}}, false},
           {"two rows, one back", {{1, 11}, {4, 5}, {1, 4}}, true},
           {"a row that had no choice", {{3, 5}}, true},
       }) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(OpenSetup(BlockWith(1, {{0x3F8, 4}, {0x2F8, 3}, {0, 0xFF}, {0x2E8, 10}})));
    for (auto [row, irq] : c.Choices) Choose(setup_.cboIRQ(row), ItemIndex(irq));
    EXPECT_EQ(Enabled(setup_.cmdSave), c.Save);
    Click(setup_.cmdCancel);
    EXPECT_TRUE(Sent().empty());
  }
}

struct SaveCase {
  const char* What;
  std::function<void(frmCOMxSet&)> Act;
  bool Sends;
  bool StaysOpen;
};

// COM1 goes from IRQ 4 to 5; COM3's status code and COM4's stored 9, which are no choices,
// are sent back as they were.
TEST_F(SerialPortDialogs, SaveOkAndEscSendTheTableCancelAndTheCloseBoxDoNot) {
  using D = frmCOMxSet;
  const std::vector<Port> stored = {{0x3F8, 4}, {0x2F8, 3}, {0, 0xFF}, {0x2E8, 9}};
  const auto change = [](D& d) { Choose(d.cboIRQ(1), ItemIndex(5)); };
  for (const SaveCase& c : std::vector<SaveCase>{
           {"Save", [&](D& d) { change(d); Click(d.cmdSave); }, true, true},
           {"OK", [&](D& d) { change(d); Click(d.cmdOK); }, true, false},
           {"Esc", [&](D& d) { change(d); PressEsc(d.cboIRQ(2)); }, true, false},
           {"Save, then OK", [&](D& d) { change(d); Click(d.cmdSave); Click(d.cmdOK); }, true, false},
           {"OK with nothing changed", [](D& d) { Click(d.cmdOK); }, false, false},
           {"Cancel", [&](D& d) { change(d); Click(d.cmdCancel); }, false, false},
           {"close box", [&](D& d) { change(d); SendMessageA(d.hwnd(), WM_CLOSE, 0, 0); }, false, false},
       }) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(OpenSetup(BlockWith(1, stored)));
    c.Act(setup_);
    ParamBlock expected = BlockWith(1, stored);
    expected.ComPort[0].Irq = 5;
    if (c.Sends) {
      ExpectSentOnce(kWriteSerialPorts, expected);
    } else {
      EXPECT_TRUE(Sent().empty());
    }
    EXPECT_EQ(setup_.Loaded(), c.StaysOpen);
    EXPECT_EQ(HourglassCount(), 0);
    if (c.StaysOpen) {
      EXPECT_FALSE(Enabled(setup_.cmdSave));
      Click(setup_.cmdCancel);
      EXPECT_TRUE(Sent().empty());
    }
    // Every way out leads back to the list, which shows the table as it now stands.
    EXPECT_TRUE(list_.Visible());
    EXPECT_FALSE(main_.Visible());
    const std::string line = c.Sends ? "COM1, BasePort=03F8h, IRQ=5" : "COM1, BasePort=03F8h, IRQ=4";
    EXPECT_TRUE(LineShows(1, [&](const std::string& text) { return text == line; })) << Text(list_.lblCOM(1));
    Click(list_.cmdOK);
    EXPECT_TRUE(main_.Visible());
  }
}

TEST_F(SerialPortDialogs, ARowWithoutAChoiceSavesTheChoiceOnceOneIsPicked) {
  const std::vector<Port> stored = {{0x3F8, 4}, {0x2F8, 3}, {0, 0xFF}, {0x2E8, 9}};
  ASSERT_NO_FATAL_FAILURE(OpenSetup(BlockWith(1, stored)));
  Choose(setup_.cboIRQ(4), ItemIndex(11));
  Click(setup_.cmdSave);
  ParamBlock expected = BlockWith(1, stored);
  expected.ComPort[3].Irq = 11;
  ExpectSentOnce(kWriteSerialPorts, expected);
}

}  // namespace
}  // namespace koral::panel
