#include "programs/rbtool/frmMain.h"

#include <string>

#include "common/core/status_texts.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
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

WindowSlot& Slot() { return device::Link().Slot; }

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

frmMain& MainForm() {
  static frmMain form;
  return form;
}

frmMain::frmMain() : Form("frmMain") { cmdAction.Click = Handler(&frmMain::cmdAction_Click); }

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
  if (!start.OpenDriver()) return ui::EndProgram();
  if (!RegisterToolWindow(hwnd())) {
    device::CloseDevice();
    return ui::EndProgram();
  }
  previousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&frmMain::RBF_WndProc)));
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
  WindowSlot& slot = Slot();
  // Claimed before the slot is read: of two tools started at once in a session, only the one
  // holding the session's claim may write the slot.
  const bool anotherTool = PreviousInstanceRunning(kProgram);
  device::GetRightButtonSlot();
  if (IsRightButtonToolWindow(slot.Handle)) {
    SendWithTimeout(SlotWindow(slot.Handle), WM_USER, device::kShowTool, 0);
    return false;
  }
  if (anotherTool) return false;
  // A registration whose window is gone, or is no tool of this installation and session, is left
  // over from a tool that was killed (or was put there by someone else): the tool holding the
  // claim takes it over, the only way the right-button function works again.
  slot.State = kToolIdle;
  slot.Handle = SlotHandle(window);
  device::SetRightButtonSlot();
  return true;
}

void frmMain::UnregisterToolWindow() {
  Slot().Handle = kNoWindow;
  Slot().State = kToolIdle;
  device::SetRightButtonSlot();
}

void frmMain::Form_Unload(bool&) {
  UnregisterToolWindow();
  device::CloseDevice();
  if (previousProc_) SetWindowLongPtrA(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  previousProc_ = nullptr;
}

void frmMain::cmdAction_Click() {
  if (armed_) return;
  cmdAction.Visible(false);
  // The hidden button had the focus; keys must still reach this window to cancel.
  if (GetActiveWindow() == hwnd()) ::SetFocus(hwnd());
  Slot().State = kToolArmed;
  device::SetRightButtonSlot();
  armed_ = true;
  WaitForRightClick();
  armed_ = false;
  if (!Loaded()) return;  // quit while waiting: the registration is withdrawn already
  Slot().State = kToolIdle;
  device::SetRightButtonSlot();
  cmdAction.Visible(true);
}

void frmMain::WaitForRightClick() {
  do {
    ui::DoEvents();
    device::GetRightButtonSlot();
    ui::DoEvents();
  } while (Slot().State != kToolIdle && armed_ && Loaded());
}

void frmMain::Form_KeyDown(int, int) { armed_ = false; }

void frmMain::Form_MouseDown(int button, int, int, int) {
  if (button & (ui::kLeftButton | ui::kRightButton)) armed_ = false;
}

LRESULT CALLBACK frmMain::RBF_WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  frmMain& form = MainForm();
  if (message != WM_USER) return CallWindowProcA(form.previousProc_, window, message, wParam, lParam);
  switch (wParam) {
    case device::kHideTool:
      form.Hide();
      break;
    case device::kShowTool:
      form.ShowInCorner();
      break;
    case device::kQuitTool:
      form.Unload();
      break;
    default:
      PlainBox("RBF_WndProc Fail! wParam=" + HexText(static_cast<uint32_t>(wParam)) +
                   "h, lParam=" + HexText(static_cast<uint32_t>(lParam)) + "h",
               kRightButtonTitle);
      break;
  }
  return 0;
}

}  // namespace koral::rbtool
