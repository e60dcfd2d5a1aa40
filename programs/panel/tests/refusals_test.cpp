// The control panel's windows in this process against a driver and a settings store that refuse
// what a test chooses (tests/support/fake_driver.h): a refusal is told to the user, never shown
// as success, and neither the program's copy of the block nor the driver nor the store is left
// claiming what was refused.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/calibration/synthetic_panel.h"
#include "common/calibration/targets.h"
#include "common/core/messages.h"
#include "common/core/titles.h"
#include "common/win/pointer.h"
#include "programs/panel/frmMain.h"
#include "programs/panel/tests/panel_dialog_fixture.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/fake_driver.h"
#include "tests/support/programs.h"
#include "tests/support/wait.h"

namespace koral::panel {
namespace {

namespace fs = std::filesystem;

bool SameBlock(const ParamBlock& a, const ParamBlock& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A button the PS/2 layout hides, shown as a layout that offers it would show it, then clicked.
void PressHidden(ui::CommandButton& button) {
  button.Visible(true);
  button.Enabled(true);
  Click(button);
}

void Drain() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// The main window as the program makes it, over the fake driver and store.
class Refusals : public ::testing::Test {
 protected:
  void SetUp() override { app_.MainForm(&main_); }
  void TearDown() override { EndMain(); }
  void EndMain() {
    app_.EndProgram();
    Drain();
  }
  void LoadMain() {
    ASSERT_TRUE(main_.Load()) << "the main window did not load";
    main_.Show();
    driver_.Journal();
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& shown : boxes_.shown) texts.push_back(shown.Text);
    return texts;
  }

  test::FakeMessageBoxes boxes_;
  test::FakeDriver driver_;
  test::FakeSettingsStore store_{"C:\\nowhere"};
  ui::Application app_;
  frmMain main_{app_, driver_, store_, test::ProgramFolder()};
};

// ---- Settings dialogs: Apply (and OK) with the driver refusing the group's code ----

struct DialogCase {
  const char* Name;
  uint32_t Code;
  ui::Form& (*Open)(frmMain& main);          // the dialog opened from the main window
  void (*Change)(frmMain& main);             // the user changes one value
  ui::CommandButton& (*Apply)(frmMain& main);
  ui::CommandButton& (*Ok)(frmMain& main);
  std::string Text;
  std::string (*Status)(frmMain& main);      // the main window's line for the group ("" none)
};

const DialogCase kDialogs[] = {
    {"mouse speed", kWriteMouseSpeed,
     [](frmMain& m) -> ui::Form& { Click(m.cmdMouseSpeed); return m.dialogs.MouseSpeed; },
     [](frmMain& m) { Drag(m.dialogs.MouseSpeed.hscMouseHSpeed, {3}); },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.MouseSpeed.cmdApply; },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.MouseSpeed.cmdOK; },
     "Fail to apply mouse speed! The previous settings are kept.",
     [](frmMain& m) { return Text(m.lblMouseSpeed); }},
    {"virtual button", kWriteVirtualButton,
     [](frmMain& m) -> ui::Form& { Click(m.cmdVirtualButton); return m.dialogs.VirtualButton; },
     [](frmMain& m) { Click(m.dialogs.VirtualButton.optVirtualButton(1)); },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.VirtualButton.cmdApply; },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.VirtualButton.cmdOK; },
     "Fail to apply virtual button! The previous settings are kept.",
     [](frmMain& m) { return Text(m.lblVirtualButton); }},
    {"feedback sound", kWriteFeedback,
     [](frmMain& m) -> ui::Form& { Click(m.cmdFeedbackSound); return m.dialogs.FeedbackSound; },
     [](frmMain& m) { Click(m.dialogs.FeedbackSound.optFeedbackSound(2)); },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.FeedbackSound.cmdApply; },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.FeedbackSound.cmdOK; },
     "Fail to apply feedback sound! The previous settings are kept.",
     [](frmMain& m) { return Text(m.lblFeedbackSound); }},
    {"touch sensitivity", kWriteSensitivity,
     [](frmMain& m) -> ui::Form& { PressHidden(m.cmdSensivitity); return m.dialogs.Sensitivity; },
     [](frmMain& m) { Drag(m.dialogs.Sensitivity.hscSensitivity, {3}); },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.Sensitivity.cmdApply; },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.Sensitivity.cmdOK; },
     "Fail to apply touch sensitivity! The previous settings are kept.",
     [](frmMain& m) { return Text(m.lblSensitivity); }},
    {"power save", kWriteSleepTime,
     [](frmMain& m) -> ui::Form& { PressHidden(m.cmdSleepTime); return m.dialogs.SleepTime; },
     [](frmMain& m) { Drag(m.dialogs.SleepTime.hscSleepTime, {6}); },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.SleepTime.cmdApply; },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.SleepTime.cmdOK; },
     "Fail to apply power save! The previous settings are kept.",
     [](frmMain& m) { return Text(m.lblSleepTime); }},
    {"COM port set-up", kWriteSerialPorts,
     [](frmMain& m) -> ui::Form& {
       PressHidden(m.cmdSerialPort);
       PressHidden(m.dialogs.SerialPort.cmdSetup);
       return m.dialogs.SerialPort.COMxSet;
     },
     [](frmMain& m) {
       const ui::ComboBox& irq = m.dialogs.SerialPort.COMxSet.cboIRQ(1);
       SendMessageA(irq.hwnd(), CB_SETCURSEL, 2, 0);  // IRQ 5 for COM1, which has 4
       SendMessageA(GetParent(irq.hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(irq.hwnd()), CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(irq.hwnd()));
     },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.SerialPort.COMxSet.cmdSave; },
     [](frmMain& m) -> ui::CommandButton& { return m.dialogs.SerialPort.COMxSet.cmdOK; },
     "Fail to apply COM port configuration! The previous settings are kept.",
     [](frmMain&) { return std::string(); }},
};

// Apply or OK that the driver refuses: the error box names the group, the dialog stays open
// with the user's value and Apply enabled, the program's block and the driver's stay as they
// were, the main window's line is not changed, and a second Apply once the driver takes it works.
TEST_F(Refusals, EverySettingsDialogReportsARefusedApplyAndKeepsTheBlock) {
  for (const DialogCase& c : kDialogs) {
    for (const bool ok : {false, true}) {
      SCOPED_TRACE(std::string(c.Name) + (ok ? ", OK" : ", Apply"));
      driver_.Load(test::FakeDriver().Held());
      ASSERT_NO_FATAL_FAILURE(LoadMain());
      const ParamBlock before = main_.Controller().Block();
      const std::string status = c.Status(main_);
      ui::Form& dialog = c.Open(main_);
      ASSERT_TRUE(dialog.Visible());
      c.Change(main_);
      ASSERT_TRUE(Enabled(c.Apply(main_)));
      boxes_.shown.clear();
      driver_.Refuse(c.Code, 1);

      Click(ok ? c.Ok(main_) : c.Apply(main_));
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.Text});
      ASSERT_EQ(boxes_.shown.size(), 1u);
      EXPECT_EQ(boxes_.shown[0].Caption, kControlPanelTitle);
      EXPECT_TRUE(dialog.Loaded()) << "the dialog stays open";
      EXPECT_TRUE(Enabled(c.Apply(main_))) << "Apply stays enabled for another try";
      EXPECT_TRUE(SameBlock(main_.Controller().Block(), before)) << "the program's block keeps what the driver has";
      EXPECT_TRUE(SameBlock(driver_.Held(), before));
      EXPECT_EQ(c.Status(main_), status) << "the main window shows nothing that was refused";
      EXPECT_EQ(HourglassCount(), 0);

      Click(c.Apply(main_));
      EXPECT_EQ(boxes_.shown.size(), 1u) << "the driver takes it now";
      EXPECT_FALSE(Enabled(c.Apply(main_)));
      EXPECT_FALSE(SameBlock(main_.Controller().Block(), before));
      EXPECT_TRUE(SameBlock(driver_.Held(), main_.Controller().Block()));
      EndMain();
    }
  }
}

// ---- The calibration: the new values, or the old ones put back, refused ----

// A panel that answers each raw read with the next sample of a script: every cross mark in turn
// touched at its centre (a few reads) and let go. The touch emulation of the real program's tests,
// played inside the driver's own read.
class TouchedPanel final : public device::Driver {
 public:
  TouchedPanel(test::FakeDriver& driver, const calibration::SyntheticPanel& panel, int32_t mode) : driver_(driver) {
    const calibration::CalibrationInput marks = calibration::MarksTouched(panel, mode);
    const int first = mode == calibration::kCornerMode ? calibration::kFirstCornerTarget : calibration::kFirstEdgeTarget;
    script_.push_back({0, 0, false});
    for (int i = first; i < first + 4; ++i) {
      for (int read = 0; read < 6; ++read) script_.push_back({marks.PointX[i], marks.PointY[i], true});
      script_.push_back({0, 0, false});
    }
  }
  // The driver refuses the calibration write with this number (1: the new values, 2: the old ones).
  int RefusedCalibrationWrite = 0;

  bool Open() override { return driver_.Open(); }
  void Close() override { driver_.Close(); }
  std::optional<ParamBlock> ReadBlock() override { return driver_.ReadBlock(); }
  std::optional<RawPoint> ReadRawPoint() override {
    const Sample& s = script_[std::min(next_, script_.size() - 1)];
    ++next_;
    driver_.PushSample(s.X, s.Y, s.Touched);
    return driver_.ReadRawPoint();
  }
  bool SignalCalibration(int32_t event) override { return driver_.SignalCalibration(event); }
  bool Write(device::Group group, const ParamBlock& block) override {
    if (group == device::Group::Calibration && ++calibrationWrites_ == RefusedCalibrationWrite)
      driver_.Refuse(kWriteCalibration, 1);
    return driver_.Write(group, block);
  }
  std::optional<WindowSlot> RightButtonSlot() override { return driver_.RightButtonSlot(); }
  bool SetRightButtonSlot(const WindowSlot& slot) override { return driver_.SetRightButtonSlot(slot); }
  std::optional<WindowSlot> CompanionSlot() override { return driver_.CompanionSlot(); }
  bool PlaySound(const SoundTest& sound) override { return driver_.PlaySound(sound); }

 private:
  struct Sample {
    int16_t X, Y;
    bool Touched;
  };
  test::FakeDriver& driver_;
  std::vector<Sample> script_;
  size_t next_ = 0;
  int calibrationWrites_ = 0;
};

struct CalibrationCase {
  const char* Name;
  int RefusedWrite;  // 0 none, 1 the new values, 2 the old ones put back
  int Answer;        // to the completion question
  std::vector<std::string> Boxes;
  bool NewInForce;   // the driver and the program's block hold the new values afterwards
};

TEST(CalibrationRefusals, ACalibrationTheDriverRefusesIsNeverCalledComplete) {
  const std::string question =
      "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
      "To save new calibration, click Yes button.\rTo restore old calibration, click No button.";
  const CalibrationCase cases[] = {
      {"kept", 0, IDYES, {question}, true},
      {"put back", 0, IDNO, {question}, false},
      {"new values refused", 1, IDYES, {"Fail to save calibration! The previous calibration is kept."}, false},
      {"old values refused", 2, IDNO,
       {question, "Fail to restore the previous calibration! The new calibration is kept."}, true},
  };
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const calibration::SyntheticPanel panel{5, 40, 1000, 25, 965, width, height, 0};
  for (const CalibrationCase& c : cases) {
    SCOPED_TRACE(c.Name);
    test::FakeMessageBoxes boxes;
    boxes.answers = {c.Answer};
    test::FakeDriver fake;
    ParamBlock stored = fake.Held();
    stored.ResolutionX = static_cast<int16_t>(width);
    stored.ResolutionY = static_cast<int16_t>(height);
    fake.Load(stored);
    TouchedPanel driver(fake, panel, calibration::kCornerMode);
    driver.RefusedCalibrationWrite = c.RefusedWrite;
    test::FakeSettingsStore store("C:\\nowhere");
    store.Numbers[kCalibrationModeName] = calibration::kCornerMode;
    ui::Application app;
    frmMain main(app, driver, store, test::ProgramFolder());
    app.MainForm(&main);
    ASSERT_TRUE(main.Load());
    main.Show();
    const ParamBlock before = main.Controller().Block();

    Click(main.cmdCalibration);
    ASSERT_TRUE(test::WaitUntil([&] {
      app.DoEvents();
      return !main.dialogs.Calibration.Loaded();
    })) << "the calibration did not run to its end";
    std::vector<std::string> texts;
    for (const auto& shown : boxes.shown) texts.push_back(shown.Text);
    EXPECT_EQ(texts, c.Boxes);

    const ParamBlock after = main.Controller().Block();
    EXPECT_TRUE(SameBlock(after, fake.Held())) << "the program's block says what the driver holds";
    const bool changed = std::memcmp(&after.CalXLeft, &before.CalXLeft, 13) != 0;
    EXPECT_EQ(changed, c.NewInForce);
    EXPECT_EQ(after.PanelDirection, c.NewInForce ? 5 : before.PanelDirection);
    EXPECT_TRUE(main.Visible()) << "the main window comes back";
    app.EndProgram();
    Drain();
  }
}

// ---- The main window ----

// The calibration method the store refuses: told, the list back on the stored method, and the
// next calibration runs with that one.
TEST_F(Refusals, ACalibrationMethodTheStoreRefusesIsTakenBack) {
  store_.Numbers[kCalibrationModeName] = 0;
  ASSERT_NO_FATAL_FAILURE(LoadMain());
  ASSERT_EQ(main_.cboCalibration.ListIndex(), 0);
  store_.RefusedWrites.insert(kCalibrationModeName);
  boxes_.shown.clear();

  SendMessageA(main_.cboCalibration.hwnd(), CB_SETCURSEL, 1, 0);
  SendMessageA(main_.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(main_.cboCalibration.hwnd()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(main_.cboCalibration.hwnd()));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Fail to save calibration mode! The previous mode is kept."});
  EXPECT_EQ(main_.cboCalibration.ListIndex(), 0);
  EXPECT_EQ(main_.CalibrationMode(), 0);
  EXPECT_EQ(store_.Numbers[kCalibrationModeName], 0);

  store_.RefusedWrites.clear();
  SendMessageA(main_.cboCalibration.hwnd(), CB_SETCURSEL, 1, 0);
  SendMessageA(main_.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(main_.cboCalibration.hwnd()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(main_.cboCalibration.hwnd()));
  EXPECT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(main_.CalibrationMode(), 1);
  EXPECT_EQ(store_.Numbers[kCalibrationModeName], 1);
}

// The support picture is the very bitmap that was read and checked: the file is read once, so
// a program holding it open for writing (an editor saving it, say) does not stand in the way.
TEST_F(Refusals, TheSupportPictureIsMadeFromTheBytesThatWereChecked) {
  const fs::path folder = fs::temp_directory_path() / ("koral_support_" + std::to_string(GetCurrentProcessId()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  store_.Texts["InstallPath"] = folder.string();
  const fs::path picture = folder / "KRVender.Bmp";
  {
    // 2 x 1 pixels, 24 bits: blue, then red.
    const unsigned char bitmap[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1,
                                    0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0};
    std::ofstream(picture, std::ios::binary).write(reinterpret_cast<const char*>(bitmap), sizeof bitmap);
  }
  ASSERT_NO_FATAL_FAILURE(LoadMain());
  const HANDLE writer = CreateFileA(picture.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);

  Click(main_.cmdSupport);
  EXPECT_TRUE(main_.dialogs.Support.Visible()) << "the picture was whole when it was read";
  EXPECT_FALSE(main_.dialogs.About.Visible());
  ASSERT_TRUE(main_.dialogs.Support.picSupport.HasPicture());
  main_.dialogs.Support.picSupport.ScaleMode(ui::ScaleMode::Pixels);
  EXPECT_EQ(main_.dialogs.Support.picSupport.Point(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(main_.dialogs.Support.picSupport.Point(1, 0), RGB(255, 0, 0));
  CloseHandle(writer);
  EndMain();
  fs::remove_all(folder);
}

}  // namespace
}  // namespace koral::panel
