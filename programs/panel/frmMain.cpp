#include "programs/panel/frmMain.h"

#include <initializer_list>
#include <utility>

#include "common/core/messages.h"
#include "common/core/status_texts.h"
#include "common/core/titles.h"
#include "common/win/message_box.h"
#include "common/win/phase_marks.h"
#include "common/win/pointer.h"
#include "common/win/startup_steps.h"
#include "common/win/utilities.h"

namespace koral::panel {
namespace {

constexpr char kProgram[] = "KORALpcp";
constexpr char kVersion[] = "7.2.PS2";
constexpr char kPs2Found[] = "TouchScreen or Mouse found on PS/2 port";
constexpr const char* kCalibrationMethods[] = {" 4 points, mode 1", " 4 points, mode 2"};
constexpr int kAllShiftKeys = ui::kShiftKey | ui::kCtrlKey | ui::kAltKey;

// The gesture that reaches the hidden windows: the right button with Shift, Ctrl and Alt held.
bool HiddenGesture(int button, int shift) { return button == ui::kRightButton && shift == kAllShiftKeys; }

}  // namespace

frmMain::Dialogs::Dialogs(ui::Application& app, device::Controller& controller, const std::string& installFolder)
    : MouseSpeed(app, controller),
      VirtualButton(app, controller, installFolder),
      Calibration(app, controller, installFolder),
      Sensitivity(app, controller),
      SleepTime(app, controller),
      SerialPort(app, controller),
      FeedbackSound(app, controller),
      DrawingScreen(app, controller),
      McuInfo(app, controller),
      Support(app),
      About(app) {}

frmMain::frmMain(ui::Application& app, device::Driver& driver, SettingsStore& store, std::string installFolder)
    : BrandedForm(app, "frmMain"),
      store_(store),
      installFolder_(std::move(installFolder)),
      controller_(driver),
      dialogs(app, controller_, installFolder_) {
  for (SettingsDialog* dialog : std::initializer_list<SettingsDialog*>{
           &dialogs.MouseSpeed, &dialogs.VirtualButton, &dialogs.FeedbackSound, &dialogs.Sensitivity,
           &dialogs.SleepTime})
    dialog->BlockApplied = Handler(&frmMain::Dialog_Applied);
  cmdVirtualButton.Click = Handler(&frmMain::cmdVirtualButton_Click);
  cmdFeedbackSound.Click = Handler(&frmMain::cmdFeedbackSound_Click);
  cmdMouseSpeed.Click = Handler(&frmMain::cmdMouseSpeed_Click);
  cmdSleepTime.Click = Handler(&frmMain::cmdSleepTime_Click);
  cmdSerialPort.Click = Handler(&frmMain::cmdSerialPort_Click);
  cmdSerialPort.MouseDown = Handler(&frmMain::cmdSerialPort_MouseDown);
  cmdSensivitity.Click = Handler(&frmMain::cmdSensivitity_Click);
  cmdCalibration.Click = Handler(&frmMain::cmdCalibration_Click);
  cmdTest.Click = Handler(&frmMain::cmdTest_Click);
  cmdSupport.Click = Handler(&frmMain::cmdSupport_Click);
  imgIcon.DblClick = Handler(&frmMain::imgIcon_DblClick);
  cmdExit.MouseDown = Handler(&frmMain::cmdExit_MouseDown);
  cmdExit.Click = Handler(&frmMain::cmdExit_Click);
  cboCalibration.Click = Handler(&frmMain::cboCalibration_Click);
  cmdSMIon.Click = Handler(&frmMain::cmdSMIon_Click);
  cmdSMIoff.Click = Handler(&frmMain::cmdSMIoff_Click);
}

void frmMain::Design() {
  MarkPhase("design");
  Caption("TouchScreen Control Panel");
  BorderStyle(ui::FormBorder::FixedSingle);
  ClientSize(6645, 5520);

  DesignTitleArea();

  // Controls designed hidden are made hidden (and disabled) rather than hidden once made: each
  // window shown or hidden while the form is laid out costs trips to the window server.
  cmdSensivitity.Visible(false);
  cmdSensivitity.Enabled(false);
  shpSensitivity.Visible(false);
  lblSensitivity.Visible(false);

  // Rows 600 twips apart: a button, and a rectangle with the row's status inside.
  struct Row {
    ui::CommandButton& Button;
    ui::Shape& Frame;
    ui::Label& Status;
    int Left, Top;
    const char* Caption;
    const char* Text;
  };
  for (const Row& row : {Row{cmdSerialPort, shpSerialPort, lblSerialPort, 480, 1500, "&Serial Port",
                             "COM?, Port=????h, IRQ=??, ????? BPS"},
                         Row{cmdVirtualButton, shpVirtualButton, lblVirtualButton, 480, 2100, "&Virtual Button",
                             "Drag Drop Mode"},
                         Row{cmdFeedbackSound, shpFeedbackSound, lblFeedbackSound, 480, 2700, "&Feedback Sound",
                             "Silence"},
                         Row{cmdMouseSpeed, shpMouseSpeed, lblMouseSpeed, 480, 3300, "&Mouse Speed",
                             "HS=50%, VS=50%, Acceleration=Slow"},
                         Row{cmdSleepTime, shpSleepTime, lblSleepTime, 480, 3900, "&Power Save",
                             "Disable Power Down Function"},
                         Row{cmdSensivitity, shpSensitivity, lblSensitivity, 2640, 5040, "&Touch Sensitivity",
                             "Level 0 (Normal)"}}) {
    row.Button.Create(*this, {row.Left, row.Top, 1695, 435}, row.Caption);
    row.Frame.Create(*this, {row.Left + 1800, row.Top, 3855, 435});
    row.Frame.BorderColor(ui::kGrey);
    row.Status.Create(*this, {row.Left + 1920, row.Top + 120, 3615, 195}, row.Text);
  }

  cmdCalibration.Create(*this, {480, 4500, 1695, 435}, "&Calibration");
  shpCalibration.Create(*this, {2280, 4500, 1720, 435});
  shpCalibration.BorderColor(ui::kGrey);
  cboCalibration.Style(ui::ComboStyle::DropdownList);
  cboCalibration.Create(*this, {2340, 4560, 1600, 315});
  cmdSupport.Create(*this, {4080, 4500, 975, 435}, "S&upport");
  cmdExit.Default(true);
  cmdExit.Create(*this, {5160, 4500, 975, 435}, "E&xit");

  shpDetection.BackStyle(ui::BackStyle::Opaque);
  shpDetection.BackColor(ui::kGrey);
  shpDetection.BorderColor(ui::kGrey);
  shpDetection.Visible(false);
  shpDetection.Create(*this, {480, 4980, 1695, 435});
  lblDetection.Alignment(ui::Alignment::Centre);
  lblDetection.BackColor(ui::kGrey);
  lblDetection.ForeColor(ui::kWhite);
  lblDetection.Visible(false);
  lblDetection.Create(*this, {960, 5100, 735, 195}, "Detection");

  for (auto [button, top, caption] : {std::tuple{&cmdSMIon, 1500, "SMI on"}, std::tuple{&cmdSMIoff, 1980, "SMI Off"},
                                      std::tuple{&cmdTest, 2460, "&Test"}}) {
    button->Visible(false);
    button->Enabled(false);
    button->Create(*this, {6180, top, 975, 435}, caption);
  }
}

void frmMain::Form_Load() {
  MarkPhase("load");
  Caption(kControlPanelTitle);
  lblSystem.Caption(lblSystem.Caption() + kVersion);
  const StartupSteps start(Caption());
  if (!start.OnlyInstance(kProgram, hwnd())) return App().EndProgram();
  MarkPhase("instance");
  UsePs2Layout();
  MarkPhase("layout");
  if (!start.LoadProfile(store_, profile_)) return App().EndProgram();
  MarkPhase("profile");
  BrandMainWindow(*this, profile_);
  ChooseSupportRole();
  MarkPhase("branding");

  BusyPointer busy;  // the name tables are constants: nothing to fill
  if (!start.OpenDriver(controller_.driver()) || !start.FindController(controller_)) return App().EndProgram();
  MarkPhase("driver");
  lblSerialPort.Caption(kPs2Found);
  ShowStatus();
  FillCalibrationList();
  CentreWindow(*this);
  CentreIcon(*this);
  MarkPhase("loaded");
}

// The PS/2 model has no serial port and no power saving: the detection box takes the serial
// port button's place and the power save row goes, the rows below it moving up.
void frmMain::UsePs2Layout() {
  const int labelLeft = lblDetection.Left() - shpDetection.Left();
  const int labelTop = lblDetection.Top() - shpDetection.Top();
  shpDetection.Move(cmdSerialPort.Left(), cmdSerialPort.Top());
  lblDetection.Move(shpDetection.Left() + labelLeft, shpDetection.Top() + labelTop);
  shpDetection.Visible(true);
  lblDetection.Visible(true);
  cmdSerialPort.Enabled(false);
  cmdSerialPort.Visible(false);

  cmdSleepTime.Enabled(false);
  cmdSleepTime.Visible(false);
  shpSleepTime.Visible(false);
  lblSleepTime.Enabled(false);
  lblSleepTime.Visible(false);
  const int top = cmdSleepTime.Top();
  Height(Height() - (cmdCalibration.Top() - top));
  for (ui::Control* control : {static_cast<ui::Control*>(&cmdCalibration), static_cast<ui::Control*>(&shpCalibration),
                               static_cast<ui::Control*>(&cmdSupport), static_cast<ui::Control*>(&cmdExit)})
    control->Top(top);
  cboCalibration.Top(shpCalibration.Top() + 60);
}

// With KRVender.Cut the vendor wants no support button; without KRVender.Bmp it shows the
// about window instead of the support picture.
void frmMain::ChooseSupportRole() {
  const std::string& folder = profile_.InstallPath;
  if (FileExists(folder + kVenderCutFile)) {
    cmdSupport.Caption("");
    cmdSupport.Enabled(false);
    return;
  }
  vendorBitmap_ = folder + kVenderBitmapFile;
  if (!FileExists(vendorBitmap_)) cmdSupport.Caption("&About");
}

void frmMain::ShowStatus() {
  const ParamBlock& block = controller_.Block();
  lblVirtualButton.Caption(TouchModeText(block.VirtualButton, block.RightButtonFunction, block.RightButtonAutoMode));
  lblFeedbackSound.Caption(FeedbackName(block.FeedbackSound));
  lblSensitivity.Caption(SensitivityText(block.Sensitivity));
  lblMouseSpeed.Caption(
      MouseSpeedText(block.MouseHSpeed, block.MouseVSpeed, block.MouseAcceleration, block.MouseBypass));
}

void frmMain::Dialog_Applied() {
  ShowStatus();
  lblSleepTime.Caption(PowerDownText(controller_.Block().SleepTime));
}

// A stored mode the list cannot show (a number outside it, or a value of another type) stays in
// the registry until the user chooses one; only a missing mode is written with the fallback. That
// write goes unreported: the mode in force is the same whether it is stored or not.
void frmMain::FillCalibrationList() {
  int32_t mode = 1;
  const bool read = store_.ReadNumber(kCalibrationModeName, mode);
  if (!read) mode = 1;
  for (const char* method : kCalibrationMethods) cboCalibration.AddItem(method);
  const bool listed = read && mode >= 0 && mode < cboCalibration.ListCount();
  if (!listed) mode = 1;
  calibrationMode_ = mode;
  if (listed || !store_.Has(kCalibrationModeName)) store_.WriteNumber(kCalibrationModeName, mode);
  writeCalibrationMode_ = false;
  cboCalibration.ListIndex(mode);
  writeCalibrationMode_ = true;
}

void frmMain::Form_Unload(bool&) { controller_.driver().Close(); }

void frmMain::Open(ui::Form& dialog, Order order) {
  HourglassPointer();
  if (order == Order::HideFirst) Hide();
  dialog.Show();
  if (order == Order::ShowThenHide) Hide();
  NormalPointer();
}

void frmMain::cmdMouseSpeed_Click() { Open(dialogs.MouseSpeed, Order::ShowThenHide); }
void frmMain::cmdVirtualButton_Click() { Open(dialogs.VirtualButton, Order::ShowThenHide); }
void frmMain::cmdCalibration_Click() {
  dialogs.Calibration.Mode(calibrationMode_);
  Open(dialogs.Calibration, Order::HideFirst);
}
void frmMain::cmdSensivitity_Click() { Open(dialogs.Sensitivity, Order::ShowThenHide); }
void frmMain::cmdSleepTime_Click() { Open(dialogs.SleepTime, Order::ShowThenHide); }
void frmMain::cmdSerialPort_Click() { Open(dialogs.SerialPort, Order::ShowThenHide); }
void frmMain::cmdFeedbackSound_Click() { Open(dialogs.FeedbackSound, Order::ShowThenHide); }
void frmMain::cmdTest_Click() { Open(dialogs.DrawingScreen, Order::HideFirst); }

void frmMain::cmdExit_MouseDown(int button, int shift, int, int) {
  if (HiddenGesture(button, shift)) Open(dialogs.DrawingScreen, Order::ShowThenHide);
}

// A vendor picture that cannot be read as a bitmap would open an empty window: the about window
// stands in for it, as it does when there is no picture. The picture is read once, and the
// window shows the very bitmap that was checked.
void frmMain::cmdSupport_Click() {
  UniqueGdiObject picture(FileExists(vendorBitmap_) ? LoadCompleteBitmap(vendorBitmap_) : nullptr);
  if (picture) {
    dialogs.Support.UsePicture(std::move(picture));
    Open(dialogs.Support, Order::HideFirst);
  } else {
    Open(dialogs.About, Order::HideFirst);
  }
}

void frmMain::imgIcon_DblClick() { Open(dialogs.About, Order::HideFirst); }

void frmMain::cmdSerialPort_MouseDown(int button, int shift, int, int) {
  if (HiddenGesture(button, shift)) Open(dialogs.McuInfo, Order::ShowThenHide);
}

void frmMain::cmdExit_Click() {
  Unload();
  App().EndProgram();
}

// A choice the registry refused is taken back, so that the list shows what is stored and the
// next calibration uses it.
void frmMain::cboCalibration_Click() {
  const int32_t chosen = cboCalibration.ListIndex();
  if (!writeCalibrationMode_ || store_.WriteNumber(kCalibrationModeName, chosen)) {
    calibrationMode_ = chosen;
    return;
  }
  ErrorBox(kCalibrationModeFailureText, Caption());
  writeCalibrationMode_ = false;
  cboCalibration.ListIndex(calibrationMode_);
  writeCalibrationMode_ = true;
}

void frmMain::cmdSMIon_Click() { device::StartCompanion(installFolder_); }
void frmMain::cmdSMIoff_Click() { device::QuitCompanion(controller_.driver(), installFolder_); }

}  // namespace koral::panel
