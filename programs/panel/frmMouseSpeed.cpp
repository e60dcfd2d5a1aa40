#include "programs/panel/frmMouseSpeed.h"

#include "common/core/status_texts.h"
#include "common/win/driver_link.h"

namespace koral::panel {
namespace {

constexpr int kSlowest = 1;
constexpr int kFastest = 20;

// A speed step is 5 %: 1 shows "5%", 20 "100%".
std::string Percent(int speed) { return PlainDecimal(5L * speed) + "%"; }

}  // namespace

frmMouseSpeed::frmMouseSpeed(ui::Application& app, device::Controller& controller)
    : SettingsDialog(app, "frmMouseSpeed", controller, device::Group::MouseSpeed, "mouse speed") {
  chkBypass.Click = Handler(&frmMouseSpeed::chkBypass_Click);
  chkBoth.Click = Handler(&frmMouseSpeed::chkBoth_Click);
  hscMouseHSpeed.Change = Handler(&frmMouseSpeed::hscMouseHSpeed_Change);
  hscMouseHSpeed.Scroll = Handler(&frmMouseSpeed::hscMouseHSpeed_Scroll);
  hscMouseVSpeed.Change = Handler(&frmMouseSpeed::hscMouseVSpeed_Change);
  hscMouseVSpeed.Scroll = Handler(&frmMouseSpeed::hscMouseVSpeed_Scroll);
  optAcceleration.Click = Handler(&frmMouseSpeed::optAcceleration_Click);
}

// Two columns below the title area: the link and the two speed bars on the left; the bypass
// and the acceleration options on the right.
void frmMouseSpeed::Design() {
  DesignFurniture("Mouse Speed", 2805);
  constexpr int kLeftWidth = 3375;
  constexpr int kRightLeft = kContentLeft + kLeftWidth + 120;
  constexpr int kRightWidth = kContentRight - kRightLeft;

  frameAM.Create(*this, {kContentLeft, kContentTop, kLeftWidth, 615}, "  Adjust Mode");
  chkBoth.Create(frameAM, {180, 255, kLeftWidth - 300, 255}, "Set Both Horizontal && Vertical ");
  chkBoth.ForeColor(kChoiceColour);
  DesignSpeedBar(frameHS, kContentTop + 735, "  Horizontal Speed  ", hscMouseHSpeed, lblHS, 0);
  DesignSpeedBar(frameVS, kContentTop + 1830, "  Vertical Speed  ", hscMouseVSpeed, lblVS, 2);

  Frame5.Create(*this, {kRightLeft, kContentTop, kRightWidth, 615}, "  Bypass Mode");
  chkBypass.Create(Frame5, {180, 255, kRightWidth - 300, 255}, "Enable");
  chkBypass.ForeColor(kChoiceColour);
  frameAC.Create(*this, {kRightLeft, kContentTop + 735, kRightWidth, 2070}, "  Acceleration  ");
  DesignOptions(optAcceleration, frameAC, {300, 330, kRightWidth - 480, 255}, 420);
}

void frmMouseSpeed::DesignSpeedBar(ui::Frame& frame, int top, const char* caption, ui::HScrollBar& bar,
                                   ui::Label& percent, int scale) {
  constexpr int kWidth = 3375;
  constexpr int kBarWidth = kWidth - 360;
  frame.Create(*this, {kContentLeft, top, kWidth, 975}, caption);
  bar.Create(frame, {180, 285, kBarWidth, 255});
  bar.Range(kSlowest, kFastest);
  bar.Steps(1, 2);
  Label1(scale).Create(frame, {180, 600, 735, 195}, "Slow");
  percent.Create(frame, {180 + (kBarWidth - 735) / 2, 600, 735, 195}, "100%");
  percent.Alignment(ui::Alignment::Centre);
  Label1(scale + 1).Create(frame, {180 + kBarWidth - 735, 600, 735, 195}, "Fast");
  Label1(scale + 1).Alignment(ui::Alignment::Right);
}

void frmMouseSpeed::ShowSettings() {
  const ParamBlock& block = Block();
  for (int i = optAcceleration.LBound(); i <= optAcceleration.UBound(); ++i)
    optAcceleration(i).Caption(AccelerationNames[static_cast<size_t>(i)]);
  acceleration_ = block.MouseAcceleration;
  chkBypass.Value(block.MouseBypass);
  // Linked only when the stored speeds agree: linked bars would otherwise open showing a
  // change nobody made, the horizontal bar moved to the vertical speed.
  chkBoth.Value(block.MouseHSpeed == block.MouseVSpeed ? 1 : 0);
  chkBoth_Click();
  // A stored speed outside 1..20 shows as the nearer end of the bar.
  hscMouseHSpeed.Value(block.MouseHSpeed);
  hscMouseVSpeed.Value(block.MouseVSpeed);
  lblHS.Caption(Percent(hscMouseHSpeed.Value()));
  lblVS.Caption(Percent(hscMouseVSpeed.Value()));
  MarkChoice(optAcceleration, acceleration_);
  chkBypass_Click();
}

bool frmMouseSpeed::SettingsChanged() const {
  const ParamBlock& block = Block();
  return block.MouseBypass != chkBypass.Value() || block.MouseVSpeed != hscMouseVSpeed.Value() ||
         block.MouseHSpeed != hscMouseHSpeed.Value() || block.MouseAcceleration != acceleration_;
}

void frmMouseSpeed::StoreSettings(ParamBlock& block) const {
  block.MouseBypass = static_cast<uint8_t>(chkBypass.Value());
  block.MouseHSpeed = static_cast<uint8_t>(hscMouseHSpeed.Value());
  block.MouseVSpeed = static_cast<uint8_t>(hscMouseVSpeed.Value());
  block.MouseAcceleration = static_cast<uint8_t>(acceleration_);
}

// Bypassed, the driver ignores the speeds: their controls are disabled but keep their values.
void frmMouseSpeed::chkBypass_Click() {
  const bool enabled = chkBypass.Value() == 0;
  chkBoth.Enabled(enabled);
  hscMouseHSpeed.Enabled(enabled);
  hscMouseVSpeed.Enabled(enabled);
  for (ui::OptionButton& option : optAcceleration) option.Enabled(enabled);
  UpdateApply();
}

// The link is no stored setting: it changes neither the bars nor Apply.
void frmMouseSpeed::chkBoth_Click() { chkBoth.ForeColor(chkBoth.Value() ? kChosenColour : kChoiceColour); }

void frmMouseSpeed::Follow(const ui::HScrollBar& moved, ui::HScrollBar& other) {
  if (chkBoth.Value()) other.Value(moved.Value());
}

void frmMouseSpeed::hscMouseHSpeed_Change() {
  lblHS.Caption(Percent(hscMouseHSpeed.Value()));
  Follow(hscMouseHSpeed, hscMouseVSpeed);
  UpdateApply();
}

// While the thumb is dragged its own label follows too, linked or not.
void frmMouseSpeed::hscMouseHSpeed_Scroll() { hscMouseHSpeed_Change(); }

void frmMouseSpeed::hscMouseVSpeed_Change() {
  lblVS.Caption(Percent(hscMouseVSpeed.Value()));
  Follow(hscMouseVSpeed, hscMouseHSpeed);
  UpdateApply();
}

void frmMouseSpeed::hscMouseVSpeed_Scroll() { hscMouseVSpeed_Change(); }

void frmMouseSpeed::optAcceleration_Click(int index) {
  if (Choose(optAcceleration, acceleration_, index)) UpdateApply();
}

}  // namespace koral::panel
