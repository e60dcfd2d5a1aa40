#include "programs/panel/frmCalibration.h"

#include <string>
#include <tuple>
#include <utility>

#include "common/calibration/pointer_mapping.h"
#include "common/core/titles.h"
#include "common/win/message_box.h"
#include "common/win/utilities.h"
#include "forms/branding.h"
#include "ui/twips.h"

namespace koral::calibration {
namespace {

constexpr char kFailureCaption[] = "Touchscreen Calibration";
constexpr char kEscape = 27;
// The static control that holds a message box's text.
constexpr int kMessageBoxText = 0xFFFF;
constexpr UINT_PTR kKeepTimer = 1;

}  // namespace

frmCalibration::frmCalibration(ui::Application& app, device::Controller& controller, std::string installFolder)
    : Form(app, "frmCalibration"), device_(controller, std::move(installFolder)) {
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
  lblResolution.Caption("Resolution: " + std::to_string(device_.ResolutionX()) + " X " +
                        std::to_string(device_.ResolutionY()));
  device_.SuspendRightButton();
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
    if (session_) session_->Abort();
    return;
  }
  device_.ResumeRightButton();
  ReturnToMainWindow(*this);
  ShowMouseCursor();
}

void frmCalibration::picCalibration_KeyPress(int ascii) {
  if (ascii == kEscape && session_) session_->Escape();
}

void frmCalibration::RunCalibration() {
  running_ = true;
  const SessionSettings settings = device_.Settings(mode_);
  HideMouseCursor();
  CalibrationSession session(device_, *this);
  session_ = &session;
  session.Start(settings);
  for (;;) {
    if (session.WantsSamples()) {
      // The driver is read back to back while a touch is being counted; messages come between.
      session.Pump();
      ProcessMessages();
    } else if (pending_) {
      ShowPendingBox(session);
    } else {
      break;
    }
  }
  session.Abort();  // a run that waits for nothing more is over, whatever it was waiting for
  session_ = nullptr;
  ShowMouseCursor();
  running_ = false;
}

void frmCalibration::ShowPendingBox(CalibrationSession& session) {
  const PendingBox box = *pending_;
  pending_.reset();
  withdrawn_ = false;
  if (!box.IsQuestion) {
    ShowMouseCursor();  // the box waits for a click
    switch (box.Notice) {
      case SessionNotice::kUnsupportedMode:
        CurrentMessageBoxes().Show(box.Text, kControlPanelTitle, MB_OK);
        break;
      case SessionNotice::kRestoredUnanswered:
        InformationBox(box.Text, kQuestionCaption);
        break;
      case SessionNotice::kNotComputed:
      case SessionNotice::kTouchesDoNotFit:
      case SessionNotice::kNewValuesRefused:
      case SessionNotice::kOldValuesRefused:
        ErrorBox(box.Text, kFailureCaption);
        break;
    }
    HideMouseCursor();
    session.Answer(SessionReply::kOk);
    return;
  }
  const int reply = box.Question == SessionQuestion::kBreak ? AskBreak() : AskKeep(box.SecondsLeft);
  if (withdrawn_) return;
  if (box.Question == SessionQuestion::kBreak) {
    // No is the default button: anything but Yes goes on.
    session.Answer(reply == IDYES ? SessionReply::kYes : SessionReply::kNo);
  } else {
    // Only No restores; a box closed otherwise keeps the new values, as Yes does.
    session.Answer(reply == IDNO ? SessionReply::kNo : SessionReply::kYes);
  }
}

int frmCalibration::AskBreak() {
  picMesg.Visible(false);
  lblHelp.Visible(false);
  ShowMouseCursor();
  const int reply = QuestionBox(kBreakQuestion, kQuestionCaption, MB_DEFBUTTON2);
  HideMouseCursor();
  lblHelp.Visible(true);
  picMesg.Visible(true);
  picCalibration.SetFocus();
  return reply;
}

int frmCalibration::AskKeep(int secondsLeft) {
  picCalibration.Visible(false);
  ShowMouseCursor();
  // Meanwhile the new values are in force and the user can try them.
  const bool ticking = secondsLeft > 0 && SetTimer(hwnd(), kKeepTimer, 1000, nullptr) != 0;
  const int reply = QuestionBox(KeepQuestionText(secondsLeft), kQuestionCaption);
  if (ticking) KillTimer(hwnd(), kKeepTimer);
  return reply;
}

bool frmCalibration::Form_Message(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_TIMER || wParam != kKeepTimer) return false;
  try {
    if (session_) session_->Tick();
  } catch (...) {
    // Nothing may leave the window procedure; the question then just stays open.
  }
  result = 0;
  return true;
}

HWND frmCalibration::OpenQuestionBox() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM out) -> BOOL {
        char className[16]{};
        char caption[64]{};
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, caption, sizeof caption);
        if (std::string(className) != "#32770" || std::string(caption) != kQuestionCaption) return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void frmCalibration::ProcessMessages() {
  if ((!App().DoEvents() || !Loaded()) && session_) session_->Abort();
}

void frmCalibration::ShowMark(int16_t target, bool visible) {
  const auto mark = CrossMarkOf(target, targetGeometry_);
  if (!mark) return;
  const ui::Colour outline = visible ? ui::kRed : ui::kWhite;
  const ui::Colour lines = visible ? ui::kBlack : ui::kWhite;
  const auto& [o, h, v] = *mark;
  picCalibration.Box(o.From.X, o.From.Y, o.To.X, o.To.Y, outline);
  picCalibration.Line(h.From.X, h.From.Y, h.To.X, h.To.Y, lines);
  picCalibration.Line(v.From.X, v.From.Y, v.To.X, v.To.Y, lines);
}

void frmCalibration::ShowTouchPrompt(std::string_view target, bool again) {
  const PromptLines lines = TouchPromptLines(target, again);
  lblMesg3.Visible(false);
  lblMesg1.Caption(lines.First);
  lblMesg2.Caption(lines.Second);
  lblMesg2.Left(lblMesg1.Left());
  lblMesg1.Visible(true);
  lblMesg2.Visible(true);
}

void frmCalibration::ShowLiftOffPrompt(std::string_view text) {
  lblMesg1.Visible(false);
  lblMesg2.Visible(false);
  lblMesg3.Caption("PLEASE LIFT OFF TO " + std::string(text));
  lblMesg3.Visible(true);
}

void frmCalibration::SetTouchIndicator(bool on) { picStat.BackColor(on ? ui::kYellow : ui::kWhite); }

void frmCalibration::Ask(SessionQuestion question, int secondsLeft) {
  PendingBox box;
  box.IsQuestion = true;
  box.Question = question;
  box.SecondsLeft = secondsLeft;
  pending_ = box;
}

void frmCalibration::ShowTimeLeft(int secondsLeft) {
  if (const HWND box = OpenQuestionBox()) SetDlgItemTextA(box, kMessageBoxText, KeepQuestionText(secondsLeft).c_str());
}

void frmCalibration::Withdraw() {
  withdrawn_ = true;
  pending_.reset();
  if (const HWND box = OpenQuestionBox()) EndDialog(box, IDCANCEL);
}

void frmCalibration::Tell(SessionNotice notice, const std::string& text) {
  PendingBox box;
  box.Notice = notice;
  box.Text = text;
  pending_ = box;
}

}  // namespace koral::calibration
