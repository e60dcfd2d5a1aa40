// The substitute driver's service stopped under the running suite and started again. Commands to
// a driver that has gone fail; where the user asked for the command, the program says so, and
// otherwise it carries on with the values it holds. What must hold is that none of them crashes
// or stops answering, that an armed right-button tool can still be cancelled by the user (and
// one pressed while the driver is gone does not wait), and that a program started once the
// driver is back works with it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/core/messages.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/service_control.h"
#include "tests/reliability/suite_session.h"

namespace koral::reliability {
namespace {

using namespace std::chrono_literals;

// The block the tests start from: touch-down mode with the right-button tool in use.
ParamBlock ToolBlock() {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.VirtualButton = 3;
  block.RightButtonFunction = kRightButtonOn;
  return block;
}

class DriverGoesAway : public SuiteSession {
 protected:
  void StopDriver() {
    sim_.Close();
    ASSERT_EQ(service::Stop(), 0u) << "the service did not stop";
    ASSERT_FALSE(service::WaitForDevice(0)) << "the device is still there";
  }
  void StartDriver() {
    ASSERT_EQ(service::Start(), 0u);
    ASSERT_TRUE(service::WaitForDevice(10000));
    ASSERT_TRUE(sim_.Open(10000));
  }
};

TEST_F(DriverGoesAway, RunningProgramsKeepAnsweringAndAToolCanStillBeCancelled) {
  struct Case {
    const char* Name;
    bool ArmedBefore;  // the tool waits for its right click when the driver goes
  };
  for (const Case& c : {Case{"idle tool", false}, Case{"armed tool", true}}) {
    SCOPED_TRACE(c.Name);
    test::RunningProgram panel, tool, startup;
    const HWND main = StartPanel(panel, ToolBlock());
    ASSERT_NE(main, nullptr);
    const ToolView view = StartTool(tool);
    ASSERT_NE(view.Window, nullptr);
    if (c.ArmedBefore) {
      ASSERT_TRUE(view.Arm());
      ASSERT_TRUE(test::WaitUntil([&] { return sim_.RightButtonSlot()->State == kToolArmed; }));
    }
    // The startup program begins its run just as the driver goes: it may still read the block
    // or find no driver, whichever comes first.
    ASSERT_TRUE(startup.Start(kStartup));
    ASSERT_NO_FATAL_FAILURE(StopDriver());

    EXPECT_TRUE(Answers(main)) << "the control panel stopped answering";
    EXPECT_TRUE(Answers(view.Window)) << "the tool stopped answering";
    if (c.ArmedBefore) {
      // Armed when the driver went: the wait holds until the user cancels it, and the cancel works.
      EXPECT_TRUE(view.Cancel()) << "the armed tool could not be cancelled";
    } else {
      // Pressed now, the arming reaches no driver: the tool does not wait for a right click that
      // cannot come, and the button stays. Sent, the press returns once its handler has run.
      DWORD_PTR result = 0;
      EXPECT_NE(SendMessageTimeoutA(view.Button(), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &result), 0)
          << "the press did not return: the tool waits for a right click";
      EXPECT_TRUE(IsWindowVisible(view.Button())) << "the button did not come back";
    }
    EXPECT_TRUE(Answers(view.Window));

    // The panel's dialogs still open and close; Apply says that the driver did not take the
    // values, and the status line keeps what the driver last took.
    EXPECT_EQ(RefusedOption(panel.Id(), main, "cmdMouseSpeed", "frmMouseSpeed", "optAcceleration(3)"),
              ApplyFailureText("mouse speed"));
    EXPECT_EQ(test::WindowText(Control(main, "lblMouseSpeed")), "HS=50%, VS=50%, Acceleration=Slow");
    EXPECT_TRUE(Answers(main));

    // The startup program ends by itself, or after the one box it may show: no driver to open,
    // or (opened just before the driver went) a block read that failed and so names no
    // controller.
    test::WaitUntil(
        [&] {
          if (HWND box = FindWindowA("#32770", kStartupTitle)) {
            // Found while it is still being made, or just as it goes: its text is judged only
            // once it has one.
            std::string text;
            test::WaitUntil(
                [&] { return !IsWindow(box) || !(text = test::WindowText(GetDlgItem(box, 0xFFFF))).empty(); }, 15s);
            if (!IsWindow(box)) return !startup.Running();
            EXPECT_TRUE(text == "Fail to open KORALPS2.vxd!" || text == "TouchScreen Controller Not Found!")
                << "box text: \"" << text << "\"";
            test::AnswerMessageBox(box, IDOK);
          }
          return !startup.Running();
        },
        20s);
    EXPECT_EQ(startup.WaitForExit(1ms), 0u) << "the startup program did not end cleanly";

    ASSERT_NO_FATAL_FAILURE(StartDriver());
    EXPECT_TRUE(Answers(main));
    EXPECT_TRUE(Answers(view.Window));

    // Told to quit as the uninstaller tells them, both end cleanly.
    PostMessageA(view.Window, WM_USER, device::kQuitTool, 0);
    EXPECT_EQ(tool.WaitForExit(), 0u) << "the tool did not end cleanly";
    Click(Control(main, "cmdExit"));
    EXPECT_EQ(panel.WaitForExit(), 0u) << "the control panel did not end cleanly";
    sim_.Reset();
  }
}

TEST_F(DriverGoesAway, ProgramsStartedOnceItIsBackWorkWithIt) {
  {
    test::RunningProgram panel;
    ASSERT_NE(StartPanel(panel, ToolBlock()), nullptr);
    ASSERT_NO_FATAL_FAILURE(StopDriver());
    ASSERT_NO_FATAL_FAILURE(StartDriver());
    Click(Control(test::FindForm(panel.Id(), "frmMain"), "cmdExit"));
    EXPECT_EQ(panel.WaitForExit(), 0u);
  }
  ParamBlock block = ToolBlock();
  block.MouseAcceleration = 2;
  ASSERT_TRUE(sim_.LoadBlock(block));
  sim_.ReadJournal();

  // The startup program reads the block, hands over the screen size (no companion here) and
  // starts the tool, which registers.
  test::RunningProgram startup;
  ASSERT_TRUE(startup.Start(kStartup));
  EXPECT_EQ(startup.WaitForExit(), 0u);
  EXPECT_EQ(FindWindowA("#32770", kStartupTitle), nullptr) << "the startup program reported a failure";
  EXPECT_TRUE(test::WaitUntil([&] {
    const auto slot = sim_.RightButtonSlot();
    return slot && slot->Handle != kNoWindow && IsWindowVisible(AsWindow(slot->Handle));
  })) << "the tool did not register";
  const auto sent = sim_.ReadBlock();
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->ResolutionX, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(sent->ResolutionY, GetSystemMetrics(SM_CYSCREEN));

  // The control panel reads the block and its apply reaches the driver.
  test::RunningProgram panel;
  const HWND main = StartPanel(panel, *sent);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(test::WindowText(Control(main, "lblMouseSpeed")), "HS=50%, VS=50%, Acceleration=Medium");
  ASSERT_TRUE(ApplyOption(panel.Id(), main, "cmdMouseSpeed", "frmMouseSpeed", "optAcceleration(3)"));
  EXPECT_EQ(sim_.ReadBlock()->MouseAcceleration, 3);
}

TEST_F(DriverGoesAway, ACalibrationCountingATouchCanStillBeBrokenOff) {
  test::RunningProgram panel;
  const HWND main = StartPanel(panel, sim::SimClient::DefaultBlock());
  ASSERT_NE(main, nullptr);
  Click(Control(main, "cmdCalibration"));
  const HWND calibration = WaitForForm(panel.Id(), "frmCalibration");
  ASSERT_NE(calibration, nullptr);
  const HWND prompt = Control(calibration, "lblMesg1");
  ASSERT_TRUE(test::WaitUntil(
      [&] { return test::ControlText(prompt) == "Please touch on the center of Cross Mark that"; }));

  // A finger comes down on the mark and rests there while the driver goes: the calibration,
  // counting the touch's samples back to back, reads the last one again and again.
  ASSERT_TRUE(sim_.PushSample(300, 400, true));
  ASSERT_NO_FATAL_FAILURE(StopDriver());
  EXPECT_TRUE(Answers(calibration)) << "the calibration stopped answering";
  PostMessageA(calibration, WM_CLOSE, 0, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(calibration) && IsWindowVisible(main); }))
      << "the calibration could not be broken off";
  EXPECT_TRUE(Answers(main));
}

// The driver there but refusing the group's command, as `korctl refuse` makes it: Apply says
// so, the driver keeps its block, the status line keeps what the driver holds, and once the
// driver takes the command again the same choice applies.
TEST_F(DriverGoesAway, ARefusedApplyIsToldAndTheDriverKeepsItsBlock) {
  test::RunningProgram panel;
  const ParamBlock start = sim::SimClient::DefaultBlock();
  const HWND main = StartPanel(panel, start);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(sim_.Refuse(kWriteMouseSpeed, 1));
  sim_.ReadJournal();

  EXPECT_EQ(RefusedOption(panel.Id(), main, "cmdMouseSpeed", "frmMouseSpeed", "optAcceleration(3)"),
            ApplyFailureText("mouse speed"));
  const auto held = sim_.ReadBlock();
  ASSERT_TRUE(held);
  EXPECT_EQ(std::memcmp(&*held, &start, sizeof start), 0) << "the driver's block changed";
  EXPECT_EQ(test::WindowText(Control(main, "lblMouseSpeed")), "HS=50%, VS=50%, Acceleration=Slow");

  EXPECT_TRUE(ApplyOption(panel.Id(), main, "cmdMouseSpeed", "frmMouseSpeed", "optAcceleration(3)"));
  EXPECT_EQ(test::WindowText(Control(main, "lblMouseSpeed")), "HS=50%, VS=50%, Acceleration=Fast");
  EXPECT_NE(sim_.ReadBlock()->MouseAcceleration, start.MouseAcceleration);
  Click(Control(main, "cmdExit"));
  EXPECT_EQ(panel.WaitForExit(), 0u) << "the control panel did not end cleanly";
}

}  // namespace
}  // namespace koral::reliability
