// The right-button tool's one window: a picture button in the bottom-right corner of the work
// area, always on top. Pressing it arms the driver so that the next touch becomes a right click,
// hides the button until the driver has made that click (or the user cancels) and then shows it
// again. The window registers its handle with the driver so that the other programs can hide,
// show and quit it with WM_USER messages; only one registered tool runs at a time.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/driver_link.h"
#include "common/win/handles.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace koral::rbtool {

// A push button that shows an icon instead of a caption.
class PictureButton : public ui::CommandButton {
 public:
  using CommandButton::CommandButton;
  // The icon stays the caller's.
  void Picture(HICON icon);

 protected:
  DWORD ExtraStyle() const override;
  void Created() override;
  void ResetState() override;

 private:
  HICON icon_ = nullptr;
};

class frmMain : public ui::Form {
 public:
  // A registered tool counts as running only when it runs from `installFolder`, the trusted one.
  frmMain(ui::Application& app, device::Driver& driver, std::string installFolder);

  PictureButton cmdAction{this, "cmdAction"};

  // Shows the window without taking the focus from the window the user works in.
  void ShowInCorner();

 private:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;
  void Form_KeyDown(int keyCode, int shift) override;
  void Form_MouseDown(int button, int shift, int x, int y) override;
  // The hide, show and quit commands of the other programs (WM_USER) go to RBF_WndProc.
  bool Form_Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void cmdAction_Click();

  void InitialiseWindow();
  // Registers `window` with the driver unless a live tool of this installation and session is
  // registered already (that one is told to show itself) or another tool of the session holds the
  // claim to the registration; false then.
  bool RegisterToolWindow(HWND window);
  void UnregisterToolWindow();
  // Writes the slot with this state; false when the driver refused it.
  bool SetSlotState(int16_t state);
  // Polls the driver, processing the window messages around every poll, until the driver has
  // made the right click or the user cancelled.
  void WaitForRightClick();
  void RBF_WndProc(WPARAM wParam, LPARAM lParam);

  device::Driver& driver_;

  std::string installFolder_;
  // The slot as last read or written: writes change only what they mean to change.
  WindowSlot slot_{kNoWindow, kToolIdle, {}};
  bool armed_ = false;  // waiting for the right click; a key or a press cancels it
  UniqueIcon icon_;
};

}  // namespace koral::rbtool
