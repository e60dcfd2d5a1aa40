// The control panel's main window: one row per setting group with a summary of its current
// values, and the buttons that open each group's dialog. It holds what its windows share: the
// installation profile (loaded as it loads), the program's copy of the block and the calibration
// method; the driver and the settings store are the program's, made in its main.
#pragma once

#include <cstdint>
#include <string>

#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "forms/branding.h"
#include "forms/frmAbout.h"
#include "programs/panel/frmCalibration.h"
#include "programs/panel/frmFeedbackSound.h"
#include "programs/panel/frmMcuInfo.h"
#include "programs/panel/frmMouseSpeed.h"
#include "programs/panel/frmSensitivity.h"
#include "programs/panel/frmSerialPort.h"
#include "programs/panel/frmSleepTime.h"
#include "programs/panel/frmSupport.h"
#include "programs/panel/frmDrawingScreen.h"
#include "programs/panel/frmVirtualButton.h"
#include "ui/controls.h"

namespace koral::panel {

class frmMain : public BrandedForm {
 public:
  // The auxiliary programs are started from, and found in, `installFolder` (the trusted one).
  frmMain(ui::Application& app, device::Driver& driver, SettingsStore& store, std::string installFolder);

 private:
  SettingsStore& store_;
  std::string installFolder_;
  InstallationProfile profile_;
  device::Controller controller_;

 public:
  const device::Controller& Controller() const { return controller_; }
  device::Controller& Controller() { return controller_; }
  const InstallationProfile& Profile() const { return profile_; }
  int32_t CalibrationMode() const { return calibrationMode_; }

  // The windows this one opens, as they are built; each shows this window again when it unloads.
  struct Dialogs {
    Dialogs(ui::Application& app, device::Controller& controller, const std::string& installFolder);
    frmMouseSpeed MouseSpeed;
    frmVirtualButton VirtualButton;
    calibration::frmCalibration Calibration;
    frmSensitivity Sensitivity;
    frmSleepTime SleepTime;
    frmSerialPort SerialPort;
    frmFeedbackSound FeedbackSound;
    calibration::frmDrawingScreen DrawingScreen;
    frmMcuInfo McuInfo;
    frmSupport Support;
    frmAbout About;
  } dialogs;

  ui::CommandButton cmdSerialPort{this, "cmdSerialPort"};
  ui::Shape shpSerialPort{this, "shpSerialPort"};
  ui::Label lblSerialPort{this, "lblSerialPort"};
  ui::CommandButton cmdVirtualButton{this, "cmdVirtualButton"};
  ui::Shape shpVirtualButton{this, "shpVirtualButton"};
  ui::Label lblVirtualButton{this, "lblVirtualButton"};
  ui::CommandButton cmdFeedbackSound{this, "cmdFeedbackSound"};
  ui::Shape shpFeedbackSound{this, "shpFeedbackSound"};
  ui::Label lblFeedbackSound{this, "lblFeedbackSound"};
  ui::CommandButton cmdMouseSpeed{this, "cmdMouseSpeed"};
  ui::Shape shpMouseSpeed{this, "shpMouseSpeed"};
  ui::Label lblMouseSpeed{this, "lblMouseSpeed"};
  ui::CommandButton cmdSleepTime{this, "cmdSleepTime"};
  ui::Shape shpSleepTime{this, "shpSleepTime"};
  ui::Label lblSleepTime{this, "lblSleepTime"};
  ui::CommandButton cmdCalibration{this, "cmdCalibration"};
  ui::Shape shpCalibration{this, "shpCalibration"};
  ui::ComboBox cboCalibration{this, "cboCalibration"};
  ui::CommandButton cmdSupport{this, "cmdSupport"};
  ui::CommandButton cmdExit{this, "cmdExit"};
  ui::Shape shpDetection{this, "shpDetection"};
  ui::Label lblDetection{this, "lblDetection"};
  ui::CommandButton cmdSensivitity{this, "cmdSensivitity"};
  ui::Shape shpSensitivity{this, "shpSensitivity"};
  ui::Label lblSensitivity{this, "lblSensitivity"};
  ui::CommandButton cmdTest{this, "cmdTest"};
  ui::CommandButton cmdSMIon{this, "cmdSMIon"};
  ui::CommandButton cmdSMIoff{this, "cmdSMIoff"};

 private:
  enum class Order { ShowThenHide, HideFirst };

  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

  void cmdMouseSpeed_Click();
  void cmdVirtualButton_Click();
  void cmdCalibration_Click();
  void cmdSensivitity_Click();
  void cmdSleepTime_Click();
  void cmdSerialPort_Click();
  void cmdFeedbackSound_Click();
  void cmdTest_Click();
  void cmdExit_MouseDown(int button, int shift, int x, int y);
  void cmdSupport_Click();
  void imgIcon_DblClick();
  void cmdSerialPort_MouseDown(int button, int shift, int x, int y);
  void cmdExit_Click();
  void cboCalibration_Click();
  void cmdSMIon_Click();
  void cmdSMIoff_Click();

  void UsePs2Layout();
  void ChooseSupportRole();
  // The status lines from the program's block: at start, and whenever a dialog applied it.
  void ShowStatus();
  void Dialog_Applied();
  void FillCalibrationList();
  // Hourglass, the dialog shown modeless, this window hidden (before or after), normal pointer.
  void Open(ui::Form& dialog, Order order);

  std::string vendorBitmap_;
  int32_t calibrationMode_ = 1;
  // False while loading selects the fallback for a stored mode the list cannot show, and while a
  // refused choice is taken back.
  bool writeCalibrationMode_ = true;
};

}  // namespace koral::panel
