// The suite's real programs run side by side against the substitute driver, driven from outside:
// what the reliability tests share. Each test starts from the driver's start state and the
// development profile, and leaves no program of the suite running and the driver's service
// running, whatever happened in it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/core/driver_protocol.h"
#include "common/core/titles.h"
#include "programs/startup/tests/double_click_guard.h"
#include "tests/support/driver_service.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/right_button_tools.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral::reliability {

inline constexpr char kPanel[] = "KORALpcp.exe";
inline constexpr char kStartup[] = "KORALpao.exe";
inline constexpr char kTool[] = "KORALprb.exe";

// A window answers when its thread takes a message within a few seconds: the program neither
// hangs nor has gone.
inline bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return IsWindow(window) && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

inline HWND Control(HWND form, const char* name) {
  const HWND control = ui::FindNamedChild(form, name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}
inline void Click(HWND control) { PostMessageA(control, BM_CLICK, 0, 0); }

inline HWND WaitForForm(DWORD process, const char* name) {
  HWND form = nullptr;
  test::WaitUntil([&] { return (form = test::FindForm(process, name)) != nullptr; });
  return form;
}

inline HWND AsWindow(int32_t handle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle)); }

// The right-button tool as a user sees it: its corner window and the button on it.
struct ToolView {
  HWND Window = nullptr;
  HWND Button() const { return ui::FindNamedChild(Window, "cmdAction"); }
  // Pressed: the button hides while the tool waits for the right click.
  bool Arm() const {
    Click(Button());
    return test::WaitUntil([&] { return !IsWindowVisible(Button()); });
  }
  // A press on the window's background cancels the wait and brings the button back.
  bool Cancel() const {
    PostMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(Window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    return test::WaitUntil([&] { return IsWindowVisible(Button()) != FALSE; });
  }
};

class SuiteSession : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
    ASSERT_EQ(test::RightButtonToolProcesses(), 0) << "a tool from elsewhere is running";
  }
  void TearDown() override {
    // The service first: a test that failed while it was stopped leaves it running all the same.
    test::RestartDriverService();
    // Programs a failed test left behind: their boxes answered, their main windows closed.
    for (const char* title : {kControlPanelTitle, kStartupTitle})
      if (HWND box = FindWindowA("#32770", title)) test::AnswerMessageBox(box, IDOK);
    for (const char* program : {kPanel, kStartup})
      for (DWORD id : test::ProcessesOf(program))
        if (HWND main = test::FindForm(id, "frmMain")) PostMessageA(main, WM_CLOSE, 0, 0);
    test::WaitUntil([] { return test::ProcessesOf(kPanel).empty() && test::ProcessesOf(kStartup).empty(); },
                    std::chrono::seconds(10));
    EXPECT_TRUE(test::QuitRightButtonTools()) << "a tool did not end when told to quit";
    if (!sim_.IsOpen()) sim_.Open(10000);
    sim_.Reset();
  }

  // Loads the block and starts the control panel; its main window once shown.
  HWND StartPanel(test::RunningProgram& panel, const ParamBlock& block) {
    EXPECT_TRUE(sim_.LoadBlock(block));
    EXPECT_TRUE(panel.Start(kPanel));
    const HWND main = WaitForForm(panel.Id(), "frmMain");
    EXPECT_NE(main, nullptr) << "the control panel's main window did not appear";
    return main;
  }
  // Starts the tool and waits until the driver holds its visible window.
  ToolView StartTool(test::RunningProgram& tool) {
    ToolView view;
    EXPECT_TRUE(tool.Start(kTool));
    EXPECT_TRUE(test::WaitUntil([&] {
      const auto slot = sim_.RightButtonSlot();
      if (!slot || slot->Handle == kNoWindow || !IsWindowVisible(AsWindow(slot->Handle))) return false;
      view.Window = AsWindow(slot->Handle);
      return true;
    })) << "no tool window registered";
    return view;
  }

  // Opens a settings dialog from the panel's main window, clicks one option, applies it and
  // closes the dialog with OK; true once the main window is back and the dialog gone.
  static bool ApplyOption(DWORD panel, HWND main, const char* button, const char* dialogName, const char* option) {
    Click(Control(main, button));
    const HWND dialog = WaitForForm(panel, dialogName);
    if (!dialog) return false;
    const HWND choice = Control(dialog, option);
    const HWND apply = Control(dialog, "cmdApply");
    Click(choice);
    if (!test::WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; })) return false;
    Click(apply);
    if (!test::WaitUntil([&] { return !IsWindowEnabled(apply); })) return false;
    Click(Control(dialog, "cmdOK"));
    return test::WaitUntil([&] { return !IsWindowVisible(dialog) && IsWindowVisible(main); });
  }
  // Chooses an option in a settings dialog and applies it where the driver does not take it: the
  // text of the box that says so (empty when none came), once the dialog, still open with Apply
  // enabled, has been closed with Cancel.
  static std::string RefusedOption(DWORD panel, HWND main, const char* button, const char* dialogName,
                                   const char* option) {
    Click(Control(main, button));
    const HWND dialog = WaitForForm(panel, dialogName);
    if (!dialog) return {};
    const HWND apply = Control(dialog, "cmdApply");
    Click(Control(dialog, option));
    if (!test::WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; })) return {};
    Click(apply);
    const auto box = test::WaitForMessageBox(kControlPanelTitle);
    if (!box) return {};
    test::AnswerMessageBox(box->Box, IDOK);
    if (!test::WaitUntil([&] { return !IsWindow(box->Box); }) || !IsWindowVisible(dialog) || !IsWindowEnabled(apply))
      return {};
    Click(Control(dialog, "cmdCandel"));
    return test::WaitUntil([&] { return !IsWindowVisible(dialog) && IsWindowVisible(main); }) ? box->Text
                                                                                             : std::string();
  }

  sim::SimClient sim_;
  // The startup program applies its double-click settings to the test prefix.
  test::DoubleClickGuard doubleClick_;
};

}  // namespace koral::reliability
