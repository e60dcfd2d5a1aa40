#include "programs/rbtool/frmMain.h"

#include <string>
#include <utility>

#include "common/core/status_texts.h"
#include "common/core/titles.h"
#include "common/win/message_box.h"
#include "common/win/right_button.h"
#include "common/win/single_instance.h"
#include "common/win/slot_window.h"
#include "common/win/startup_steps.h"
#include "ui/twips.h"

namespace koral::rbtool {
namespace {

constexpr int kButtonSize = 600;  // twips, square
constexpr int kIconSize = 36;     // pixels

// The claim that keeps this the only tool of the session (see PreviousInstanceRunning).
constexpr char kProgram[] = "KORALprb";

int32_t SlotHandle(HWND window) { return static_cast<int32_t>(reinterpret_cast<INT_PTR>(window)); }

}  // namespace

// ---- PictureButton ----

void PictureButton::Picture(HICON icon) {
  icon_ = icon;
  if (hwnd()) SendMessageA(hwnd(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_));
}

DWORD PictureButton::ExtraStyle() const { return CommandButton::ExtraStyle() | BS_ICON; }

void PictureButton::Created() { Picture(icon_); }

void PictureButton::ResetState() { icon_ = nullptr; }

// ---- frmMain ----

frmMain::frmMain(ui::Application& app, device::Driver& driver, std::string installFolder)
    : Form(app, "frmMain"), driver_(driver), installFolder_(std::move(installFolder)) {
  cmdAction.Click = Handler(&frmMain::cmdAction_Click);
}

void frmMain::Design() {
  Caption("TouchScreen Right Button");
  BorderStyle(ui::FormBorder::Thin);
  KeysToForm(true);  // any key cancels the wait, Esc and Enter too
  ClientSize(kButtonSize, kButtonSize);
  if (!icon_)
    icon_.reset(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, kIconSize, kIconSize, 0)));
  cmdAction.Create(*this, {0, 0, kButtonSize, kButtonSize});
  cmdAction.Picture(icon_ ? icon_.get() : ui::ProgramIcon());
}

void frmMain::Form_Load() {
  InitialiseWindow();
  const StartupSteps start(kRightButtonTitle);
  if (!start.OpenDriver(driver_)) return App().EndProgram();
  if (!RegisterToolWindow(hwnd())) {
    driver_.Close();
    return App().EndProgram();
  }
}

// The client area is exactly the button, in the bottom-right corner of the work area (above the
// task bar), above all normal windows.
void frmMain::InitialiseWindow() {
  Caption(kRightButtonToolCaption);
  BackColor(ui::kButtonFace);
  armed_ = false;
  cmdAction.Move(0, 0);
  Width(Width() - ScaleWidth() + cmdAction.Width());
  Height(Height() - ScaleHeight() + cmdAction.Height());
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  Move(work.right * ui::TwipsPerPixelX() - Width(), work.bottom * ui::TwipsPerPixelY() - Height());
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void frmMain::ShowInCorner() {
  if (!Loaded()) return;
  ShowWindow(hwnd(), SW_SHOWNA);
  // A program's first show may take the launcher's show state instead (hidden, when the other
  // programs start the tool); the corner button must appear all the same.
  if (!IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_SHOWNA);
}

bool frmMain::RegisterToolWindow(HWND window) {
  // Claimed before the slot is read: of two tools started at once in a session, only the one
  // holding the session's claim may write the slot.
  const bool anotherTool = PreviousInstanceRunning(kProgram);
  if (const std::optional<WindowSlot> read = driver_.RightButtonSlot()) slot_ = *read;
  if (IsRightButtonToolWindow(slot_.Handle, installFolder_)) {
    SendWithTimeout(SlotWindow(slot_.Handle), WM_USER, device::kShowTool, 0);
    return false;
  }
  if (anotherTool) return false;
  // A registration whose window is gone, or is no tool of this installation and session, is left
  // over from a tool that was killed (or was put there by someone else): the tool holding the
  // claim takes it over, the only way the right-button function works again.
  slot_.State = kToolIdle;
  slot_.Handle = SlotHandle(window);
  driver_.SetRightButtonSlot(slot_);
  return true;
}

void frmMain::UnregisterToolWindow() {
  slot_.Handle = kNoWindow;
  slot_.State = kToolIdle;
  driver_.SetRightButtonSlot(slot_);
}

bool frmMain::SetSlotState(int16_t state) {
  slot_.State = state;
  return driver_.SetRightButtonSlot(slot_);
}

void frmMain::Form_Unload(bool&) {
  UnregisterToolWindow();
  driver_.Close();
}

// An arming the driver refused would wait for a right click that never comes: the button stays.
void frmMain::cmdAction_Click() {
  if (armed_) return;
  cmdAction.Visible(false);
  // The hidden button had the focus; keys must still reach this window to cancel.
  if (GetActiveWindow() == hwnd()) ::SetFocus(hwnd());
  if (SetSlotState(kToolArmed)) {
    armed_ = true;
    WaitForRightClick();
    armed_ = false;
    if (!Loaded()) return;  // quit while waiting: the registration is withdrawn already
  }
  SetSlotState(kToolIdle);
  cmdAction.Visible(true);
}

// A read the driver refused leaves the state as it was: the wait goes on until the user cancels.
void frmMain::WaitForRightClick() {
  do {
    App().DoEvents();
    if (const std::optional<WindowSlot> read = driver_.RightButtonSlot()) slot_ = *read;
    App().DoEvents();
  } while (slot_.State != kToolIdle && armed_ && Loaded());
}

void frmMain::Form_KeyDown(int, int) { armed_ = false; }

void frmMain::Form_MouseDown(int button, int, int, int) {
  if (button & (ui::kLeftButton | ui::kRightButton)) armed_ = false;
}

bool frmMain::Form_Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_USER) return false;
  RBF_WndProc(wParam, lParam);
  result = 0;
  return true;
}

void frmMain::RBF_WndProc(WPARAM wParam, LPARAM lParam) {
  switch (wParam) {
    case device::kHideTool:
      Hide();
      break;
    case device::kShowTool:
      ShowInCorner();
      break;
    case device::kQuitTool:
      Unload();
      break;
    default:
      PlainBox("RBF_WndProc Fail! wParam=" + HexText(static_cast<uint32_t>(wParam)) +
                   "h, lParam=" + HexText(static_cast<uint32_t>(lParam)) + "h",
               kRightButtonTitle);
      break;
  }
}

}  // namespace koral::rbtool
