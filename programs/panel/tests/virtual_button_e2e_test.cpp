// The real control panel and the real right-button tool against the real substitute driver:
// the virtual button dialog opened from the main window and worked from outside, Apply after
// Apply, with the tool started and stopped as the settings need it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/win/right_button.h"
#include "common/win/trusted_folders.h"
#include "programs/panel/tests/panel_program.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/right_button_tools.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral {
namespace {

using panel::tests::Control;

using namespace std::chrono_literals;

constexpr char kPanel[] = "KORALpcp.exe";

class VirtualButtonEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_EQ(test::RightButtonToolProcesses(), 0) << "a tool from elsewhere is running";
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
  }
  void TearDown() override {
    if (dialog_ && IsWindow(dialog_)) PostMessageA(dialog_, WM_CLOSE, 0, 0);
    if (panel_.Running()) {
      if (HWND main = test::FindForm(panel_.Id(), "frmMain")) PostMessageA(main, WM_CLOSE, 0, 0);
      panel_.WaitForExit(10s);
    }
    EXPECT_TRUE(test::QuitRightButtonTools()) << "a tool did not end when told to quit";
    sim_.Reset();
  }

  // The user's hand in the dialog: options clicked, list items picked, Apply pressed.
  void Click(const char* name) { PostMessageA(Control(dialog_, name), BM_CLICK, 0, 0); }
  void Pick(const char* name, int index) {
    const HWND combo = Control(dialog_, name);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  }
  void Apply() {
    const HWND apply = Control(dialog_, "cmdApply");
    ASSERT_TRUE(test::WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 5s)) << "Apply was not offered";
    PostMessageA(apply, BM_CLICK, 0, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowEnabled(apply); }, 5s)) << "Apply stayed enabled";
  }

  // The one tool window the driver has registered, once there is exactly one tool: a second one
  // started meanwhile has ended.
  HWND RunningTool() {
    HWND registered = nullptr;
    test::WaitUntil([&] {
      const auto slot = sim_.RightButtonSlot();
      const auto tools = test::RightButtonToolWindows();
      if (!slot || !IsRightButtonToolWindow(slot->Handle, test::ProgramFolder()) || tools.size() != 1) return false;
      if (test::RightButtonToolProcesses() != 1) return false;
      registered = reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle));
      return registered == tools[0] && IsWindowVisible(registered);
    });
    return registered;
  }
  bool NoTool() {
    return test::WaitUntil([&] {
      const auto slot = sim_.RightButtonSlot();
      return slot && slot->Handle == kNoWindow && test::RightButtonToolProcesses() == 0;
    });
  }

  sim::SimClient sim_;
  test::RunningProgram panel_;
  HWND dialog_ = nullptr;
};

TEST_F(VirtualButtonEndToEnd, ApplyStartsTheToolWhereTheRightButtonNeedsItAndStopsItElsewhere) {
  ASSERT_TRUE(sim_.LoadBlock(sim::SimClient::DefaultBlock()));  // drag drop, right button off
  ASSERT_TRUE(panel_.Start(kPanel));
  HWND main = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (main = test::FindForm(panel_.Id(), "frmMain")) != nullptr; }))
      << "the main window did not appear";
  PostMessageA(Control(main, "cmdVirtualButton"), BM_CLICK, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return (dialog_ = test::FindForm(panel_.Id(), "frmVirtualButton")) != nullptr; }))
      << "the dialog did not open";
  const HWND status = Control(main, "lblVirtualButton");
  sim_.ReadJournal();

  struct Step {
    const char* What;
    std::function<void()> Act;
    int Mode, Function, Auto;  // block bytes 40, 53, 54 sent
    bool ToolRuns;
    const char* Status;
  };
  const std::vector<Step> steps = {
      {"right button on", [&] { Click("optRBFunction(1)"); }, 4, 1, 0, true,
       "Drag Drop Mode, RBF Enable ( Manual Mode )"},
      {"automatic mode", [&] { Pick("cboRBAutoMode", 1); }, 4, 1, 1, false,
       "Drag Drop Mode, RBF Enable ( Automatic Mode )"},
      {"stream mode, automatic mode kept", [&] { Click("optVirtualButton(1)"); }, 1, 1, 1, true,
       "Stream Mode, RBF Enable"},
      {"right button off", [&] { Click("optRBFunction(0)"); }, 1, 0, 1, false, "Stream Mode, RBF Disable"},
      {"lift off, right button on", [&] { Click("optVirtualButton(2)"); Click("optRBFunction(1)"); }, 2, 1, 1, true,
       "Lift Off Mode, RBF Enable"},
      // Started again while it runs: the second tool shows the first and ends.
      {"touch down", [&] { Click("optVirtualButton(3)"); }, 3, 1, 1, true, "Touch Down Mode, RBF Enable"},
      {"drag drop, automatic mode stored", [&] { Click("optVirtualButton(4)"); }, 4, 1, 1, false,
       "Drag Drop Mode, RBF Enable ( Automatic Mode )"},
  };
  HWND previous = nullptr;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.What);
    step.Act();
    ASSERT_NO_FATAL_FAILURE(Apply());
    if (step.ToolRuns) {
      const HWND tool = RunningTool();
      EXPECT_TRUE(tool) << "no single registered tool";
      if (previous) {
        EXPECT_EQ(tool, previous) << "the running tool was replaced";
      }
      previous = tool;
    } else {
      EXPECT_TRUE(NoTool()) << "the tool still runs";
      previous = nullptr;
    }
    // The main window's line follows once Apply has finished.
    EXPECT_TRUE(test::WaitUntil([&] { return test::WindowText(status) == step.Status; }, 5s))
        << test::WindowText(status);

    std::vector<JournalEntry> writes;
    for (const JournalEntry& e : sim_.ReadJournal())
      if (e.Code == kWriteVirtualButton) writes.push_back(e);
    ASSERT_EQ(writes.size(), 1u) << "one block per Apply";
    ParamBlock sent{};
    std::memcpy(&sent, writes[0].Data, sizeof sent);
    EXPECT_EQ(sent.VirtualButton, step.Mode);
    EXPECT_EQ(sent.RightButtonFunction, step.Function);
    EXPECT_EQ(sent.RightButtonAutoMode, step.Auto);
  }

  PostMessageA(Control(dialog_, "cmdOK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(dialog_) && IsWindowVisible(main); }))
      << "OK closes the dialog and brings the main window back";
  EXPECT_TRUE(NoTool()) << "OK after Apply changes nothing";
}

}  // namespace
}  // namespace koral
