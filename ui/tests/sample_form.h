// A form with one of each kind of control, recording the events it receives.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"

namespace koral::ui::testing {

class frmSample : public Form {
 public:
  explicit frmSample(Application& app) : Form(app, "frmSample") {
    cmdOK.Click = Handler(&frmSample::cmdOK_Click);
    cmdCancel.Click = Handler(&frmSample::cmdCancel_Click);
    cmdOther.Click = Handler(&frmSample::cmdOther_Click);
    cmdOther.MouseDown = Handler(&frmSample::cmdOther_MouseDown);
    chkBoth.Click = Handler(&frmSample::chkBoth_Click);
    optSpeed.Click = Handler(&frmSample::optSpeed_Click);
    optOther.Click = Handler(&frmSample::optOther_Click);
    hscTone.Change = Handler(&frmSample::hscTone_Change);
    hscTone.Scroll = Handler(&frmSample::hscTone_Scroll);
    cboMode.Click = Handler(&frmSample::cboMode_Click);
    lblTitle.Click = Handler(&frmSample::lblTitle_Click);
    imgIcon.DblClick = Handler(&frmSample::imgIcon_DblClick);
    picSheet.MouseDown = Handler(&frmSample::picSheet_MouseDown);
    picSheet.KeyPress = Handler(&frmSample::picSheet_KeyPress);
  }

  std::vector<std::string> events;
  bool refuseUnload = false;
  bool endInLoad = false;

  Label lblTitle{this, "lblTitle"};
  Label lblStatus{this, "lblStatus"};
  CommandButton cmdOK{this, "cmdOK"};
  CommandButton cmdCancel{this, "cmdCancel"};
  CommandButton cmdOther{this, "cmdOther"};
  CheckBox chkBoth{this, "chkBoth"};
  Frame frameSpeed{this, "frameSpeed"};
  ControlArray<OptionButton> optSpeed{this, "optSpeed", 1, 3};
  OptionButton optOther{this, "optOther"};
  HScrollBar hscTone{this, "hscTone"};
  ComboBox cboMode{this, "cboMode"};
  PictureBox picSheet{this, "picSheet"};
  Image imgIcon{this, "imgIcon"};
  Shape shpRow{this, "shpRow"};

 private:
  void Design() override {
    Caption("Sample");
    BorderStyle(FormBorder::FixedSingle);
    ClientSize(6645, 5520);
    shpRow.Create(*this, {2280, 1500, 3855, 435});
    lblTitle.Create(*this, {120, 120, 2940, 465}, "Title &Text");
    lblTitle.ForeColor(kRed);
    lblStatus.Create(*this, {2400, 1620, 3615, 195}, "Silence");
    lblStatus.BackStyle(BackStyle::Transparent);
    cmdOK.Create(*this, {4080, 4500, 975, 435}, "&OK");
    cmdOK.Default(true);
    cmdCancel.Create(*this, {5160, 4500, 975, 435}, "&Cancel");
    cmdCancel.Cancel(true);
    cmdOther.Create(*this, {480, 4500, 1695, 435}, "Ot&her");
    chkBoth.Create(*this, {480, 2100, 3000, 255}, "Set Both Horizontal && Vertical ");
    chkBoth.ForeColor(kTeal);
    frameSpeed.Create(*this, {480, 2500, 3000, 1500}, "  Acceleration  ");
    for (OptionButton& option : optSpeed) {
      option.Create(frameSpeed, {120, 240 + 300 * (option.Index() - 1), 2000, 255}, "Speed");
      option.ForeColor(kTeal);
    }
    optOther.Create(*this, {3600, 2100, 1500, 255}, "Other");
    hscTone.Create(*this, {3600, 2500, 2500, 255});
    hscTone.Range(200, 5000);
    hscTone.Steps(1, 100);
    hscTone.Value(1000);
    cboMode.Create(*this, {3600, 3000, 1600, 315});
    picSheet.Create(*this, {3600, 3400, 1500, 900});
    imgIcon.Create(*this, {5280, 360, 480, 480});
    imgIcon.Icon(ProgramIcon());
  }
  void Form_Load() override {
    events.push_back("Form_Load");
    if (endInLoad) App().EndProgram();
  }
  void Form_Activate() override { events.push_back("Form_Activate"); }
  void Form_Resize() override { events.push_back("Form_Resize"); }
  void Form_Unload(bool& cancel) override {
    events.push_back("Form_Unload");
    cancel = refuseUnload;
  }
  void cmdOK_Click() { events.push_back("cmdOK_Click"); }
  void cmdCancel_Click() { events.push_back("cmdCancel_Click"); }
  void cmdOther_Click() { events.push_back("cmdOther_Click"); }
  void cmdOther_MouseDown(int button, int shift, int x, int y) {
    events.push_back("cmdOther_MouseDown " + std::to_string(button) + " " + std::to_string(shift) + " " +
                     std::to_string(x) + " " + std::to_string(y));
  }
  void chkBoth_Click() { events.push_back("chkBoth_Click " + std::to_string(chkBoth.Value())); }
  void optSpeed_Click(int index) { events.push_back("optSpeed_Click " + std::to_string(index)); }
  void optOther_Click() { events.push_back("optOther_Click"); }
  void hscTone_Change() { events.push_back("hscTone_Change " + std::to_string(hscTone.Value())); }
  void hscTone_Scroll() { events.push_back("hscTone_Scroll " + std::to_string(hscTone.Value())); }
  void cboMode_Click() { events.push_back("cboMode_Click " + std::to_string(cboMode.ListIndex())); }
  void lblTitle_Click() { events.push_back("lblTitle_Click"); }
  void imgIcon_DblClick() { events.push_back("imgIcon_DblClick"); }
  void picSheet_MouseDown(int button, int shift, int x, int y) {
    events.push_back("picSheet_MouseDown " + std::to_string(button) + " " + std::to_string(shift) + " " +
                     std::to_string(x) + " " + std::to_string(y));
  }
  void picSheet_KeyPress(int ascii) { events.push_back("picSheet_KeyPress " + std::to_string(ascii)); }
};

// Each test starts with a fresh form and leaves no window and no pending quit behind.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(form.Load()); form.events.clear(); }
  void TearDown() override {
    app.EndProgram();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // The events recorded since the last call.
  std::vector<std::string> Events() { return std::exchange(form.events, {}); }

  Application app;
  frmSample form{app};
};

inline std::string WindowText(HWND window) {
  char buffer[256] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// A control's place in its parent, in pixels.
inline RECT PlaceInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace koral::ui::testing
