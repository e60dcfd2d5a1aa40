#include "programs/panel/frmSensitivity.h"

#include "common/core/status_texts.h"
#include "common/win/driver_link.h"
#include "programs/panel/bar_scale.h"

namespace koral::panel {
namespace {

constexpr int kDesignValue = 63;

}  // namespace

frmSensitivity::frmSensitivity(ui::Application& app, device::Controller& controller)
    : SettingsDialog(app, "frmSensitivity", controller, device::Group::Sensitivity, "touch sensitivity") {
  hscSensitivity.Scroll = Handler(&frmSensitivity::hscSensitivity_Scroll);
  hscSensitivity.Change = Handler(&frmSensitivity::hscSensitivity_Change);
  lblTestBox.MouseDown = Handler(&frmSensitivity::lblTestBox_MouseDown);
  lblTestBox.MouseUp = Handler(&frmSensitivity::lblTestBox_MouseUp);
}

// The bar with its scale in a frame, the test box below it.
void frmSensitivity::Design() {
  constexpr int kWidth = kContentRight - kContentLeft;
  constexpr int kBoxTop = kContentTop + 1335;
  constexpr int kBoxHeight = 735;
  DesignFurniture("Touch Sensitivity", 1335 + kBoxHeight);

  Frame3.Create(*this, {kContentLeft, kContentTop, kWidth, 1215}, "  Touch Sensitivity Adjustment ");
  DesignBar(Frame3, hscSensitivity, 300);
  hscSensitivity.Range(kLightest, kHeaviest);
  hscSensitivity.Steps(1, 10);
  hscSensitivity.Value(kDesignValue);
  DesignScaleRow(Frame3, 615, {Label1(3), "0", Label1(0), "63", Label1(4), "127"});
  DesignScaleRow(Frame3, 870, {Label1(1), "Light", lblSV, "63", Label1(2), "Heavy"});
  lblSV.ForeColor(ui::kBlue);

  lblTestBox(0).Create(*this, {kContentLeft, kBoxTop, kWidth, kBoxHeight});
  lblTestBox(0).BorderStyle(ui::BorderStyle::FixedSingle);
  lblTestBox(0).BackColor(ui::kYellow);
  lblTestBox(0).BackStyle(ui::BackStyle::Transparent);
  lblTestBox(1).Create(*this, {kContentLeft + 120, kBoxTop + (kBoxHeight - 195) / 2, kWidth - 240, 195},
                       "Touch On This Box To Test");
  lblTestBox(1).Alignment(ui::Alignment::Centre);
  lblTestBox(1).BackColor(ui::kYellow);
  lblTestBox(1).BackStyle(ui::BackStyle::Transparent);
  lblTestBox(1).ZOrder();  // above the box, where it takes the presses on its text
}

void frmSensitivity::ShowSettings() { hscSensitivity.Value(kHeaviest - Block().Sensitivity); }

bool frmSensitivity::SettingsChanged() const { return kHeaviest - hscSensitivity.Value() != Block().Sensitivity; }

void frmSensitivity::StoreSettings(ParamBlock& block) const {
  block.Sensitivity = static_cast<uint8_t>(kHeaviest - hscSensitivity.Value());
}

void frmSensitivity::hscSensitivity_Scroll() { lblSV.Caption(SignedDecimal(hscSensitivity.Value())); }

void frmSensitivity::hscSensitivity_Change() {
  hscSensitivity_Scroll();
  UpdateApply();
}

// Pressing the box or its caption lights the box; the pressed label keeps the pointer until
// the release, so that a finger sliding off before it lifts still puts the box out.
void frmSensitivity::lblTestBox_MouseDown(int index, int, int, int, int) {
  SetCapture(lblTestBox(index).hwnd());
  LightTestBox(true);
}

void frmSensitivity::lblTestBox_MouseUp(int index, int, int, int, int) {
  if (GetCapture() == lblTestBox(index).hwnd()) ReleaseCapture();
  LightTestBox(false);
}

// The caption is a window of its own over the box: it takes the box's look so that the box
// shows through it.
void frmSensitivity::LightTestBox(bool lit) {
  const ui::BackStyle style = lit ? ui::BackStyle::Opaque : ui::BackStyle::Transparent;
  lblTestBox(0).BackStyle(style);
  lblTestBox(1).BackStyle(style);
}

}  // namespace koral::panel
