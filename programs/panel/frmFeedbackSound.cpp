#include "programs/panel/frmFeedbackSound.h"

#include "common/core/status_texts.h"
#include "common/win/driver_link.h"

namespace koral::panel {
namespace {

constexpr int kHighestTone = 200;  // the driver divides by the tone: smaller sounds higher
constexpr int kLowestTone = 5000;
constexpr int kShortest = 10;
constexpr int kLongest = 50;
constexpr uint8_t kSilence = 1;  // FeedbackSound: the driver never beeps on touch

// Two columns: the options, then the bars.
constexpr int kLeftWidth = 3135;
constexpr int kRightLeft = SettingsDialog::kContentLeft + kLeftWidth + 120;
constexpr int kRightWidth = SettingsDialog::kContentRight - kRightLeft;

}  // namespace

frmFeedbackSound::frmFeedbackSound(ui::Application& app, device::Controller& controller)
    : SettingsDialog(app, "frmFeedbackSound", controller, device::Group::Feedback, "feedback sound") {
  optFeedbackSound.Click = Handler(&frmFeedbackSound::optFeedbackSound_Click);
  hscTone.Change = Handler(&frmFeedbackSound::hscTone_Change);
  hscTone.Scroll = Handler(&frmFeedbackSound::hscTone_Scroll);
  hscDuration.Change = Handler(&frmFeedbackSound::hscDuration_Change);
  hscDuration.Scroll = Handler(&frmFeedbackSound::hscDuration_Scroll);
  cmdSoundTest.MouseDown = Handler(&frmFeedbackSound::cmdSoundTest_MouseDown);
  cmdSoundTest.MouseUp = Handler(&frmFeedbackSound::cmdSoundTest_MouseUp);
}

// The options on the left, the tone and duration bars on the right, and the test area across
// the whole width below them, large enough to touch.
void frmFeedbackSound::Design() {
  DesignFurniture("Feedback Sound", 2805);
  Frame1.Create(*this, {kContentLeft, kContentTop, kLeftWidth, 2070}, "  Feedback Sound Option  ");
  DesignOptions(optFeedbackSound, Frame1, {300, 330, kLeftWidth - 480, 255}, 420);

  DesignBar(frameTone, kContentTop, "  Tone  ", hscTone, lblTone, "9999", 0, "High", "Low");
  hscTone.Range(kHighestTone, kLowestTone);
  hscTone.Steps(1, 100);
  DesignBar(frameDuration, kContentTop + 1095, "  Duration  ", hscDuration, lblDuration, "99", 2, "Short", "Long");
  hscDuration.Range(kShortest, kLongest);
  hscDuration.Steps(1, 5);

  cmdSoundTest.Create(*this, {kContentLeft, kContentTop + 2190, kContentRight - kContentLeft, 615},
                      "Touch Here to Test");
}

void frmFeedbackSound::DesignBar(ui::Frame& frame, int top, const char* caption, ui::HScrollBar& bar,
                                 ui::Label& value, const char* designValue, int scale, const char* minimumEnd,
                                 const char* maximumEnd) {
  constexpr int kBarWidth = kRightWidth - 360;
  constexpr int kScaleWidth = 495;
  constexpr int kValueWidth = 615;
  frame.Create(*this, {kRightLeft, top, kRightWidth, 975}, caption);
  bar.Create(frame, {180, 285, kBarWidth, 255});
  Label1(scale).Create(frame, {180, 600, kScaleWidth, 195}, minimumEnd);
  value.Create(frame, {180 + (kBarWidth - kValueWidth) / 2, 600, kValueWidth, 195}, designValue);
  value.Alignment(ui::Alignment::Centre);
  Label1(scale + 1).Create(frame, {180 + kBarWidth - kScaleWidth, 600, kScaleWidth, 195}, maximumEnd);
  Label1(scale + 1).Alignment(ui::Alignment::Right);
}

void frmFeedbackSound::ShowSettings() {
  const ParamBlock& block = Block();
  for (int i = optFeedbackSound.LBound(); i <= optFeedbackSound.UBound(); ++i)
    optFeedbackSound(i).Caption(" " + std::string(FeedbackNames[static_cast<size_t>(i)]));
  mode_ = block.FeedbackSound;
  MarkChoice(optFeedbackSound, mode_);
  // A stored value outside the bar's range shows as its nearer end.
  hscTone.Value(block.FeedbackTone);
  hscDuration.Value(block.FeedbackDuration);
  // Set even when a bar kept its value and raised no change, so the design texts never show.
  lblTone.Caption(PlainDecimal(hscTone.Value()));
  lblDuration.Caption(PlainDecimal(hscDuration.Value()));
  EnableSoundTest();
}

bool frmFeedbackSound::SettingsChanged() const {
  const ParamBlock& block = Block();
  return block.FeedbackSound != mode_ || block.FeedbackDuration != hscDuration.Value() ||
         block.FeedbackTone != hscTone.Value();
}

void frmFeedbackSound::StoreSettings(ParamBlock& block) const {
  block.FeedbackTone = static_cast<int16_t>(hscTone.Value());
  block.FeedbackDuration = static_cast<int16_t>(hscDuration.Value());
  block.FeedbackSound = static_cast<uint8_t>(mode_);
}

void frmFeedbackSound::SettingsApplied() { EnableSoundTest(); }

void frmFeedbackSound::EnableSoundTest() { cmdSoundTest.Enabled(Block().FeedbackSound == kSilence); }

void frmFeedbackSound::optFeedbackSound_Click(int index) {
  if (Choose(optFeedbackSound, mode_, index)) UpdateApply();
}

void frmFeedbackSound::hscTone_Change() {
  lblTone.Caption(PlainDecimal(hscTone.Value()));
  UpdateApply();
}

// While the thumb is dragged its label follows it.
void frmFeedbackSound::hscTone_Scroll() { hscTone_Change(); }

void frmFeedbackSound::hscDuration_Change() {
  lblDuration.Caption(PlainDecimal(hscDuration.Value()));
  UpdateApply();
}

void frmFeedbackSound::hscDuration_Scroll() { hscDuration_Change(); }

void frmFeedbackSound::PlayTestTone() {
  // The labels show the bars' values, also while a thumb is dragged.
  Controller().driver().PlaySound({static_cast<int16_t>(hscTone.Value()), static_cast<int16_t>(hscDuration.Value())});
}

// One beep as the finger comes down and one as it lifts, whichever button it is.
void frmFeedbackSound::cmdSoundTest_MouseDown(int, int, int, int) { PlayTestTone(); }
void frmFeedbackSound::cmdSoundTest_MouseUp(int, int, int, int) { PlayTestTone(); }

}  // namespace koral::panel
