// What the in-process tests of the control panel's dialogs share: the program's main window
// loaded afresh against the real substitute driver holding a given block, the dialog opened
// with the main window's button, and the user's clicks as the controls send them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "driver_link.h"
#include "frmMain.h"
#include "profile_fixture.h"
#include "programs.h"
#include "sim_client.h"

namespace koral::panel {

inline bool Enabled(const ui::Control& control) { return IsWindowEnabled(control.hwnd()) != FALSE; }
inline bool Checked(const ui::Control& control) {
  return SendMessageA(control.hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline std::string Text(const ui::Control& control) { return test::WindowText(control.hwnd()); }

// A click by the user: a disabled control takes none.
inline void Click(const ui::Control& control) {
  if (Enabled(control)) SendMessageA(control.hwnd(), BM_CLICK, 0, 0);
}

// The main window's `button` opens `dialog`.
class DialogTest : public ::testing::Test {
 protected:
  DialogTest(ui::CommandButton& button, ui::Form& dialog) : opener_(button), opened_(dialog) {}

  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
    SetMainWindow(&main_);
  }
  void TearDown() override {
    ui::EndProgram();
    device::CloseDevice();
    Drain();
    SetMainWindow(nullptr);
    sim_.Reset();
  }

  // The main window loads afresh against a driver holding the block; its button opens the dialog.
  void OpenWith(const ParamBlock& block) {
    if (main_.Loaded()) {
      ui::EndProgram();
      device::CloseDevice();
      Drain();
    }
    ASSERT_TRUE(sim_.LoadBlock(block));
    ASSERT_TRUE(main_.Load()) << "the main window did not load";
    main_.Show();
    Reopen();
  }
  // The main window's button again, with the block as the program holds it now.
  void Reopen() {
    sim_.ReadJournal();
    Click(opener_);
    ASSERT_TRUE(opened_.Visible());
  }
  static void Drain() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  sim::SimClient sim_;
  frmMain& main_ = MainForm();

 private:
  ui::CommandButton& opener_;
  ui::Form& opened_;
};

}  // namespace koral::panel
