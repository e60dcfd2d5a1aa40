#include "programs/startup/frmMain.h"

#include <string>

#include "common/core/placement.h"
#include "common/core/titles.h"
#include "common/win/pointer.h"
#include "common/win/startup_steps.h"
#include "programs/startup/start_sequence.h"
#include "programs/startup/test_icons.h"

namespace koral::startup {
namespace {

constexpr char kProgram[] = "KORALpao";
constexpr char kVersion[] = "7.2.PS2";
constexpr int kSplashHeight = 2025;

// The bars' rows inside Frame1: the value above the bar, the scale below it.
constexpr int kRowTop = 300;
constexpr int kRowSpacing = 780;
constexpr int kBarLeft = 180;
constexpr int kBarWidth = 3375;
constexpr int kScaleWidth = 735;

HICON TestIcon(int resource) { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource)); }

}  // namespace

frmMain::frmMain(ui::Application& app, device::Driver& driver, SettingsStore& store, bool dialogMode)
    : BrandedForm(app, "frmMain"), dialogs(app), driver_(driver), store_(store) {
  state_.DialogMode = dialogMode;
  // A bar's value label follows its thumb while it is dragged too.
  hscTT.Change = hscTT.Scroll = Handler(&frmMain::hscTT_Change);
  hscWW.Change = hscWW.Scroll = Handler(&frmMain::hscWW_Change);
  hscHH.Change = hscHH.Scroll = Handler(&frmMain::hscHH_Change);
  cmdApply.Click = Handler(&frmMain::cmdApply_Click);
  cmdOK.Click = Handler(&frmMain::cmdOK_Click);
  cmdCandel.Click = Handler(&frmMain::cmdCandel_Click);
  imgOFF.DblClick = Handler(&frmMain::imgOFF_DblClick);
  imgON.DblClick = Handler(&frmMain::imgON_DblClick);
  imgIcon.DblClick = Handler(&frmMain::imgIcon_DblClick);
}

// Laid out for the dialog: the title area, the bars on the left, the values Windows uses and the
// test picture on the right, the buttons below. The splash keeps only the title area.
void frmMain::Design() {
  Caption("TouchScreen System Startup");
  BorderStyle(ui::FormBorder::FixedSingle);
  ClientSize(6495, 5295);

  DesignTitleArea("TouchScreen System Startup Version ");
  picIcon.Left(5220);

  Shape1.Create(*this, {240, 1320, 6015, 2940});
  Shape1.BorderColor(ui::kGrey);

  Frame1.Create(*this, {360, 1440, 3735, 2700}, "  Double Click Configuration");
  DesignBar(0, hscTT, lblTT, {"Speed: 500", kSpeedMin, kSpeedMax, kDefaultDoubleClick.Speed, 10, 100});
  DesignBar(1, hscWW, lblWW, {"Width: 32", kSizeMin, kSizeMax, kDefaultDoubleClick.Width, 1, 8});
  DesignBar(2, hscHH, lblHH, {"Height: 32", kSizeMin, kSizeMax, kDefaultDoubleClick.Height, 1, 8});

  Frame2.Create(*this, {4215, 1440, 1920, 1200}, " System Information");
  const char* names[] = {"Speed:", "Width:", "Height:"};
  ui::Label* values[] = {&lblSiTT, &lblSiWW, &lblSiHH};
  const char* designed[] = {"500", "32", "32"};
  for (int i = 0; i < 3; ++i) {
    Label1(i).Create(Frame2, {180, 300 + 270 * i, 840, 195}, names[i]);
    values[i]->Create(Frame2, {1080, 300 + 270 * i, 660, 195}, designed[i]);
  }

  Frame4.Create(*this, {4215, 2760, 1920, 1380});
  picTest.Create(Frame4, {570, 300, 780, 780});
  imgOFF.Create(picTest, {0, 0, 480, 480});
  imgOFF.Icon(TestIcon(KORAL_TEST_OFF_ICON));
  imgON.Create(picTest, {0, 0, 480, 480});
  imgON.Icon(TestIcon(KORAL_TEST_ON_ICON));

  cmdCandel.Create(*this, {2070, 4500, 1275, 495}, "&Cancel");
  cmdCandel.Cancel(true);
  cmdOK.Create(*this, {3465, 4500, 1275, 495}, "&OK");
  cmdOK.Default(true);
  cmdApply.Create(*this, {4860, 4500, 1275, 495}, "&Apply");
  cmdApply.Enabled(false);
}

void frmMain::DesignBar(int row, ui::HScrollBar& bar, ui::Label& value, const BarDesign& design) {
  const int top = kRowTop + row * kRowSpacing;
  value.Create(Frame1, {kBarLeft, top, 1800, 195}, design.Text);
  bar.Create(Frame1, {kBarLeft, top + 225, kBarWidth, 255});
  bar.Range(design.Min, design.Max);
  bar.Steps(design.SmallChange, design.LargeChange);
  bar.Value(design.Value);
  ui::Label& low = Label2(2 * row);
  ui::Label& high = Label2(2 * row + 1);
  low.Create(Frame1, {kBarLeft, top + 510, kScaleWidth, 195}, std::to_string(design.Min));
  high.Create(Frame1, {kBarLeft + kBarWidth - kScaleWidth, top + 510, kScaleWidth, 195},
              std::to_string(design.Max));
  high.Alignment(ui::Alignment::Right);
}

void frmMain::Form_Load() {
  Caption(kStartupTitle);
  lblSystem.Caption(lblSystem.Caption() + kVersion);
  const StartupSteps start(Caption());
  if (!start.OnlyInstance(kProgram, hwnd()) || !start.LoadProfile(store_, profile_)) return App().EndProgram();
  LoadStoredDoubleClick(store_, state_);
  if (state_.DialogMode)
    ShowDialog();
  else
    UseSplashLayout();
  BrandMainWindow(*this, profile_);
  CentreWindow(*this);
  CentreIcon(*this);
}

void frmMain::ShowDialog() {
  const Position at = CentredInside(picTest.ScaleWidth(), picTest.ScaleHeight(), imgOFF.Width(), imgOFF.Height());
  imgOFF.Move(at.Left, at.Top);
  imgON.Move(at.Left, at.Top);
  ShowTestState(false);
  ShowSystemValues();
  // Only a bar whose value changes re-evaluates Apply here: stored values equal to the bars'
  // design values leave it disabled, whatever Windows uses.
  const DoubleClickSettings& inForce = state_.InForce;
  hscTT.Value(inForce.Speed);
  hscWW.Value(inForce.Width);
  hscHH.Value(inForce.Height);
}

void frmMain::UseSplashLayout() {
  Height(kSplashHeight);
  Shape1.Visible(false);
  Frame1.Visible(false);
  Frame2.Visible(false);
}

void frmMain::ShowSystemValues() {
  lblSiTT.Caption(std::to_string(GetDoubleClickTime()));
  lblSiWW.Caption(std::to_string(GetSystemMetrics(SM_CXDOUBLECLK)));
  lblSiHH.Caption(std::to_string(GetSystemMetrics(SM_CYDOUBLECLK)));
}

void frmMain::ShowTestState(bool on) {
  imgOFF.Visible(!on);
  imgOFF.Enabled(!on);
  imgON.Visible(on);
  imgON.Enabled(on);
  picTest.BackColor(on ? ui::kBlue : ui::kNearWhite);
}

bool frmMain::DoubleClickChanged() const {
  return koral::DoubleClickChanged({hscTT.Value(), hscWW.Value(), hscHH.Value()}, state_.InForce,
                                   ShownNumber(lblSiTT.Caption()), ShownNumber(lblSiWW.Caption()),
                                   ShownNumber(lblSiHH.Caption()));
}

void frmMain::UpdateApply() { cmdApply.Enabled(DoubleClickChanged()); }

void frmMain::hscTT_Change() {
  lblTT.Caption("Speed: " + std::to_string(hscTT.Value()));
  UpdateApply();
}

void frmMain::hscWW_Change() {
  lblWW.Caption("Width: " + std::to_string(hscWW.Value()));
  UpdateApply();
}

void frmMain::hscHH_Change() {
  lblHH.Caption("Hight: " + std::to_string(hscHH.Value()));
  UpdateApply();
}

void frmMain::cmdApply_Click() {
  state_.InForce = {hscTT.Value(), hscWW.Value(), hscHH.Value()};
  // What the user chose replaces whatever was stored, readable or not.
  state_.StoredValuesUnreadable = false;
  ApplyDoubleClick(state_, store_, Caption());
  ShowSystemValues();
  cmdApply.Enabled(false);
}

void frmMain::cmdOK_Click() {
  if (cmdApply.Enabled()) cmdApply_Click();
  End();
}

void frmMain::cmdCandel_Click() { End(); }

void frmMain::imgOFF_DblClick() { ShowTestState(true); }
void frmMain::imgON_DblClick() { ShowTestState(false); }

void frmMain::imgIcon_DblClick() {
  HourglassPointer();
  Hide();
  dialogs.About.Show();
  NormalPointer();
}

void frmMain::End() {
  Unload();
  App().EndProgram();
}

void frmMain::RunStartSequence(const std::string& installFolder) {
  startup::RunStartSequence(App(), driver_, store_, state_, Caption(), installFolder);
}

}  // namespace koral::startup
