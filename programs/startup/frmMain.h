// The startup program's window. At each Windows start it is the splash: cut down to the title
// area while the start-up run works. Started with "/SDC" it is the double-click settings dialog:
// three bars for the speed, width and height, the values Windows uses now, and a test picture
// that changes at every double click Windows recognises.
#pragma once

#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "forms/branding.h"
#include "forms/frmAbout.h"
#include "programs/startup/start_sequence.h"
#include "ui/controls.h"

namespace koral::startup {

class frmMain : public BrandedForm {
 public:
  // `dialogMode`: started with "/SDC", the window is the double-click settings dialog.
  frmMain(ui::Application& app, device::Driver& driver, SettingsStore& store, bool dialogMode);

  bool DialogMode() const { return state_.DialogMode; }
  const ProgramState& State() const { return state_; }
  // The start-up run, once the splash is up; the auxiliary programs come from `installFolder`.
  void RunStartSequence(const std::string& installFolder);

  struct Dialogs {
    explicit Dialogs(ui::Application& app) : About(app) {}
    frmAbout About;
  } dialogs;

  ui::Frame Frame2{this, "Frame2"};
  // "Speed:", "Width:" and "Height:" beside the values Windows uses.
  ui::ControlArray<ui::Label> Label1{this, "Label1", 0, 2};
  ui::Label lblSiTT{this, "lblSiTT"};
  ui::Label lblSiWW{this, "lblSiWW"};
  ui::Label lblSiHH{this, "lblSiHH"};
  ui::Frame Frame1{this, "Frame1"};
  ui::HScrollBar hscTT{this, "hscTT"};
  ui::Label lblTT{this, "lblTT"};
  ui::HScrollBar hscWW{this, "hscWW"};
  ui::Label lblWW{this, "lblWW"};
  ui::HScrollBar hscHH{this, "hscHH"};
  ui::Label lblHH{this, "lblHH"};
  // The scales: 0 and 1 under the speed bar, 2 and 3 under the width bar, 4 and 5 under the height bar.
  ui::ControlArray<ui::Label> Label2{this, "Label2", 0, 5};
  ui::Frame Frame4{this, "Frame4"};
  ui::PictureBox picTest{this, "picTest"};
  ui::Image imgOFF{this, "imgOFF"};
  ui::Image imgON{this, "imgON"};
  ui::CommandButton cmdCandel{this, "cmdCandel"};
  ui::CommandButton cmdOK{this, "cmdOK"};
  ui::CommandButton cmdApply{this, "cmdApply"};
  ui::Shape Shape1{this, "Shape1"};

 private:
  void Design() override;
  void Form_Load() override;

  void hscTT_Change();
  void hscWW_Change();
  void hscHH_Change();
  void cmdApply_Click();
  void cmdOK_Click();
  void cmdCandel_Click();
  void imgOFF_DblClick();
  void imgON_DblClick();
  void imgIcon_DblClick();

  struct BarDesign {
    const char* Text;  // the value label's design text
    int Min, Max, Value, SmallChange, LargeChange;
  };
  void DesignBar(int row, ui::HScrollBar& bar, ui::Label& value, const BarDesign& design);
  void ShowDialog();
  void UseSplashLayout();
  // The values Windows uses now, as decimal text.
  void ShowSystemValues();
  // The test picture: off (a pale background, the dark lamp) or on (blue, the lit lamp).
  void ShowTestState(bool on);
  // False only when the bars and the values Windows uses all equal the settings in force.
  bool DoubleClickChanged() const;
  void UpdateApply();
  void End();

  device::Driver& driver_;
  SettingsStore& store_;
  InstallationProfile profile_;
  ProgramState state_;
};

}  // namespace koral::startup
