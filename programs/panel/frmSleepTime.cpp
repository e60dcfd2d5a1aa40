#include "programs/panel/frmSleepTime.h"

#include "common/core/status_texts.h"
#include "common/win/driver_link.h"
#include "programs/panel/bar_scale.h"

namespace koral::panel {
namespace {

constexpr int kDesignValue = 15;
constexpr int kSecondsPerStep = 10;

}  // namespace

frmSleepTime::frmSleepTime(ui::Application& app, device::Controller& controller)
    : SettingsDialog(app, "frmSleepTime", controller, device::Group::SleepTime, "power save") {
  hscSleepTime.Scroll = Handler(&frmSleepTime::hscSleepTime_Scroll);
  hscSleepTime.Change = Handler(&frmSleepTime::hscSleepTime_Change);
}

// In the frame: the seconds above the bar's middle between its end values, the bar, and the
// power-down text below it between "Short" and "Long".
void frmSleepTime::Design() {
  DesignFurniture("Power Save", 1215);
  Frame3.Create(*this, {kContentLeft, kContentTop, kContentRight - kContentLeft, 1215},
                "  Power Down Timer Adjustment ");
  DesignScaleRow(Frame3, 330, {Label1(0), "0", lblST, "150", Label1(2), "300"});
  lblST.ForeColor(ui::kBlue);
  DesignBar(Frame3, hscSleepTime, 570);
  hscSleepTime.Range(kShortest, kLongest);
  hscSleepTime.Steps(1, 6);  // ten seconds, one minute
  hscSleepTime.Value(kDesignValue);
  DesignScaleRow(Frame3, 900, {Label1(1), "Short", lblSS, "Disable Power Down Function", Label1(3), "Long"});
  lblSS.ForeColor(ui::kBlue);
}

// The labels are set whether or not the bar moved, so the design texts never show.
void frmSleepTime::ShowSettings() {
  hscSleepTime.Value(Block().SleepTime);
  hscSleepTime_Scroll();
}

bool frmSleepTime::SettingsChanged() const { return hscSleepTime.Value() != Block().SleepTime; }

void frmSleepTime::StoreSettings(ParamBlock& block) const { block.SleepTime = static_cast<uint8_t>(hscSleepTime.Value()); }

void frmSleepTime::hscSleepTime_Scroll() {
  lblST.Caption(SignedDecimal(static_cast<long>(hscSleepTime.Value()) * kSecondsPerStep));
  lblSS.Caption(PowerDownText(hscSleepTime.Value()));
}

void frmSleepTime::hscSleepTime_Change() {
  hscSleepTime_Scroll();
  UpdateApply();
}

}  // namespace koral::panel
