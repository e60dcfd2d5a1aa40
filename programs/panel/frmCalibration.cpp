#include "programs/panel/frmCalibration.h"

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>

#include "common/calibration/pointer_mapping.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/message_box.h"
#include "common/win/pointer.h"
#include "common/win/profile.h"
#include "common/win/utilities.h"
#include "forms/branding.h"
#include "ui/twips.h"

namespace koral::calibration {
namespace {

using device::Link;

constexpr char kQuestionCaption[] = "TouchScreen Calibration";
constexpr char kFailureCaption[] = "Touchscreen Calibration";
constexpr char kBreakQuestion[] = "Are you sure you want to break calibration?";
constexpr char kCompletionQuestion[] =
    "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
    "To save new calibration, click Yes button.\rTo restore old calibration, click No button.";
constexpr char kEscape = 27;

void PutCalibration(const NewCalibration& c, ParamBlock& b) {
  b.CalXLeft = c.CalXLeft;
  b.CalXCenter = c.CalXCenter;
  b.CalXRight = c.CalXRight;
  b.CalYTop = c.CalYTop;
  b.CalYCenter = c.CalYCenter;
  b.CalYBottom = c.CalYBottom;
  b.PanelDirection = c.PanelDirection;
}

}  // namespace

frmCalibration::frmCalibration() : Form("frmCalibration") {
  picCalibration.KeyPress = Handler(&frmCalibration::picCalibration_KeyPress);
}

void frmCalibration::Design() {
  Caption("TouchScreen Calibration");
  BorderStyle(ui::FormBorder::None);
  State(ui::WindowState::Maximized);
  BackColor(ui::kLightGrey);
  ClientSize(ui::ScreenWidth(), ui::ScreenHeight());

  // Created first, so that it is first in the tab order and keeps the keyboard.
  picCalibration.Create(*this, {0, 0, ScaleWidth(), ScaleHeight()});
  picCalibration.ScaleMode(ui::ScaleMode::Pixels);
  picCalibration.BackColor(ui::kWindowBackground);

  lblTitle.Create(picCalibration, {0, 0, 4500, 540}, "TouchScreen Calibration");
  lblTitle.Font({"Times New Roman", 21.75, true, false});
  lblTitle.ForeColor(ui::kRed);
  lblTitle.BackColor(ui::kWindowBackground);
  lblTitle.AutoSize(true);

  picHome.Create(picCalibration, {0, 0, 6135, 3255});
  picStat.Create(picHome, {1620, 240, 2895, 975});
  picStat.BackColor(ui::kWhite);
  lblResolution.Create(picStat, {0, 360, 2835, 195}, "Resolution: ");
  lblResolution.Font({"MS Sans Serif", 8.25, true, false});
  lblResolution.ForeColor(ui::kBlack);
  lblResolution.Alignment(ui::Alignment::Centre);
  lblResolution.BackStyle(ui::BackStyle::Transparent);  // the status box's colour shows around it

  picMesg.Create(picHome, {240, 1455, 5655, 975});
  picMesg.BackColor(ui::kBlack);
  const ui::FontSpec prompt{"MS Sans Serif", 9.75, true, false};
  for (auto [label, top, colour] : {std::tuple{&lblMesg1, 210, ui::kBrightGreen}, std::tuple{&lblMesg2, 525, ui::kBrightGreen},
                                    std::tuple{&lblMesg3, 360, ui::kYellow}}) {
    label->Create(picMesg, {120, top, 5355, 255});
    label->Font(prompt);
    label->ForeColor(colour);
    label->BackColor(ui::kBlack);
    label->Alignment(ui::Alignment::Centre);
  }
  lblMesg3.Visible(false);

  lblHelp.Create(picHome, {240, 2670, 5655, 255}, "Press ESC key to break calibration");
  lblHelp.Font({"MS Sans Serif", 8.25, true, false});
  lblHelp.ForeColor(ui::kBlue);
  lblHelp.Alignment(ui::Alignment::Centre);
}

void frmCalibration::Form_Load() {
  ParamBlock& block = Link().Block;
  lblResolution.Caption("Resolution: " + std::to_string(block.ResolutionX) + " X " +
                        std::to_string(block.ResolutionY));

  // The right-button function would turn calibration touches into right clicks: suspend it.
  rightButton_.Suspend(block);
  markShown_ = false;
  runPending_ = true;
}

void frmCalibration::Form_Resize() {
  picCalibration.BorderStyle(ui::BorderStyle::None);
  picCalibration.Move(0, 0, ScaleWidth(), ScaleHeight());
  const int surfaceWidth = ui::PixelsToTwipsX(picCalibration.ScaleWidth());
  const int surfaceHeight = ui::PixelsToTwipsY(picCalibration.ScaleHeight());

  picHome.BorderStyle(ui::BorderStyle::None);
  picHome.Width(2 * picMesg.Left() + picMesg.Width());
  picHome.Move((surfaceWidth - picHome.Width()) / 2, (surfaceHeight - picHome.Height()) / 2);
  lblTitle.Move((surfaceWidth - lblTitle.Width()) / 2, picHome.Top() - lblTitle.Height() * 3 / 2);
  picStat.Left((picHome.Width() - picStat.Width()) / 2);
  picMesg.Left((picHome.Width() - picMesg.Width()) / 2);
  lblMesg3.Top((picStat.Height() - lblMesg3.Height()) / 2);

  targetGeometry_ = GeometryOf(picCalibration.ScaleWidth(), picCalibration.ScaleHeight());
}

void frmCalibration::Form_Activate() {
  if (!runPending_) return;
  runPending_ = false;
  picCalibration.SetFocus();
  RunCalibration();
  Unload();
}

void frmCalibration::Form_Unload(bool& cancel) {
  // Closing the window while a run is on breaks the run off; the run then closes it.
  if (running_) {
    cancel = true;
    breakRequested_ = true;
    return;
  }
  rightButton_.Resume(Link().Block);
  ReturnToMainWindow();
  ShowMouseCursor();
}

void frmCalibration::picCalibration_KeyPress(int ascii) {
  if (ascii == kEscape && capturing_ && !confirming_) ConfirmBreak();
}

void frmCalibration::RunCalibration() {
  running_ = true;
  std::fill(pointX_.begin() + 1, pointX_.end(), 0);
  std::fill(pointY_.begin() + 1, pointY_.end(), 0);
  device::GetCompanionSlot();  // its state word is the orientation code
  oldCalibration_ = CalibrationOf(Link().Block);
  HideMouseCursor();

  breakRequested_ = false;
  if (!WaitForInitialLiftOff()) {
    device::SignalCalibration(kCalBroken);
  } else {
    SetTouchIndicator(false);
    breakRequested_ = false;
    const int32_t mode = CalibrationMode();
    int16_t result = kBroken;
    if (mode == kCornerMode) {
      result = CalibrateCorners();
    } else if (mode == kEdgeMode) {
      result = CalibrateEdges();
    } else {
      ShowMouseCursor();  // the box waits for a click
      CurrentMessageBoxes().Show("Fail to calibration! ( mode " + std::to_string(mode) + " not support )",
                                 kControlPanelTitle, MB_OK);
    }
    if (result == kTaken) {
      ApplyNewCalibration();
      picCalibration.Visible(false);
      ShowMouseCursor();
      device::SignalCalibration(kCalLeft);
      // Meanwhile the new values are in force and the user can try them.
      if (QuestionBox(kCompletionQuestion, kQuestionCaption) == IDNO) {
        BusyPointer busy;
        RestoreOldCalibration();
      }
    }
  }
  ShowMouseCursor();
  running_ = false;
}

bool frmCalibration::WaitForInitialLiftOff() {
  if (!ReadSample().Touched) return true;
  ShowLiftOffPrompt("START CALIBRATION!");
  SetTouchIndicator(true);
  device::SignalCalibration(kCalTouchedAtStart);
  // A panel that never reports a release must not keep the user from breaking off.
  capturing_ = true;
  bool released = false;
  while (!released) {
    ProcessMessages();
    if (breakRequested_) break;
    released = !ReadSample().Touched;
  }
  capturing_ = false;
  return released;
}

int16_t frmCalibration::CalibrateCorners() { return CaptureTargets(kFirstCornerTarget); }
int16_t frmCalibration::CalibrateEdges() { return CaptureTargets(kFirstEdgeTarget); }

int16_t frmCalibration::CaptureTargets(int16_t first) {
  for (int16_t index = first; index < first + 4; ++index) {
    if (CapturePoint(index, std::string(kTargetNames[static_cast<size_t>(index)])) == kBroken) return kBroken;
  }
  return Compute() ? kTaken : kBroken;
}

bool frmCalibration::Compute() {
  const ParamBlock& block = Link().Block;
  CalibrationInput in;
  in.CalibrationMode = CalibrationMode();
  in.PointX = pointX_;
  in.PointY = pointY_;
  in.OrientationCode = Link().Slot.State;
  in.ResolutionX = block.ResolutionX;
  in.ResolutionY = block.ResolutionY;
  const CalibrationResult result = ComputeCalibration(in);
  Link().Slot.State = result.OrientationCode;
  if (!result.Succeeded()) {
    ShowMouseCursor();
    ErrorBox(result.Reason, kFailureCaption);
    HideMouseCursor();
    return false;
  }
  newCalibration_ = result.Calibration;
  return true;
}

int16_t frmCalibration::CapturePoint(int16_t index, const std::string& name) {
  const auto broken = [this] {
    capturing_ = false;
    device::SignalCalibration(kCalBroken);
    return kBroken;
  };
  currentTarget_ = index;
  DrawCrossMark(index, true);
  ShowTouchPrompt(name);
  capturing_ = true;
  ProcessMessages();

  // The driver is read back to back; messages wait while a touch is being counted, so that it
  // is taken the moment its count runs down.
  const std::optional<PanelPoint> taken = AwaitStillTouch(*this);
  if (!taken) return broken();
  pointX_[static_cast<size_t>(index)] = taken->X;
  pointY_[static_cast<size_t>(index)] = taken->Y;
  device::SignalCalibration(kCalPointAccepted);
  DrawCrossMark(index, false);
  ShowLiftOffPrompt("NEXT STEP!");
  if (!AwaitRelease(*this)) return broken();
  capturing_ = false;
  return kTaken;
}

void frmCalibration::DrawCrossMark(int16_t index, bool visible) {
  const auto mark = CrossMarkOf(index, targetGeometry_);
  if (!mark) return;
  const ui::Colour outline = visible ? ui::kRed : ui::kWhite;
  const ui::Colour lines = visible ? ui::kBlack : ui::kWhite;
  const auto& [o, h, v] = *mark;
  picCalibration.Box(o.From.X, o.From.Y, o.To.X, o.To.Y, outline);
  picCalibration.Line(h.From.X, h.From.Y, h.To.X, h.To.Y, lines);
  picCalibration.Line(v.From.X, v.From.Y, v.To.X, v.To.Y, lines);
  markShown_ = visible;
}

void frmCalibration::ShowTouchPrompt(const std::string& name) {
  lblMesg3.Visible(false);
  lblMesg1.Caption("Please touch on the center of Cross Mark that");
  lblMesg2.Caption("show on the " + name + " of the screen");
  lblMesg2.Left(lblMesg1.Left());
  lblMesg1.Visible(true);
  lblMesg2.Visible(true);
}

void frmCalibration::ShowLiftOffPrompt(const std::string& text) {
  lblMesg1.Visible(false);
  lblMesg2.Visible(false);
  lblMesg3.Caption("PLEASE LIFT OFF TO " + text);
  lblMesg3.Visible(true);
}

void frmCalibration::SetTouchIndicator(bool on) { picStat.BackColor(on ? ui::kYellow : ui::kWhite); }

void frmCalibration::ApplyNewCalibration() {
  PutCalibration(newCalibration_, Link().Block);
  device::WriteCalibration();
}

void frmCalibration::RestoreOldCalibration() {
  PutCalibration(oldCalibration_, Link().Block);
  device::WriteCalibration();
}

void frmCalibration::ConfirmBreak() {
  confirming_ = true;
  device::SignalCalibration(kCalLeft);
  // A mark already taken stays erased: only the one still awaiting its touch comes back.
  const bool markWasShown = markShown_;
  if (markWasShown) DrawCrossMark(currentTarget_, false);
  picMesg.Visible(false);
  lblHelp.Visible(false);
  ShowMouseCursor();
  breakRequested_ = QuestionBox(kBreakQuestion, kQuestionCaption, MB_DEFBUTTON2) == IDYES;
  HideMouseCursor();
  lblHelp.Visible(true);
  picMesg.Visible(true);
  if (markWasShown) DrawCrossMark(currentTarget_, true);
  picCalibration.SetFocus();
  confirming_ = false;
}

PanelSample frmCalibration::ReadSample() {
  device::ReadRawPoint();
  samplesRead_.fetch_add(1, std::memory_order_relaxed);
  const RawPoint& raw = Link().Raw;
  return {raw.X, raw.Y, (raw.Status & kTouchedBit) != 0, raw.Counter};
}

void frmCalibration::ProcessMessages() {
  if (!ui::DoEvents() || !Loaded()) breakRequested_ = true;
}

}  // namespace koral::calibration
