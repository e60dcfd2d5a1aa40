// The start-up steps and the right-button helpers against the real substitute driver, with the
// message boxes answered in this process.
#include <gtest/gtest.h>

#include "common/core/messages.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/right_button.h"
#include "common/win/startup_steps.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/tool_window.h"
#include "tools/sim_client.h"

namespace koral {
namespace {

using device::Link;
constexpr char kCaption[] = " TouchScreen Test #KR-PS2";

class StartupStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    Link().Block = {};
  }
  void TearDown() override {
    device::CloseDevice();
    sim_.Reset();
    test::WriteDevelopmentProfile(test::ProgramFolder());
  }
  sim::SimClient sim_;
  test::FakeMessageBoxes boxes_;
};

TEST_F(StartupStepsTest, AMissingProfileIsReportedInTheProgramsKindOfBox) {
  struct Case {
    StartupSteps::Report report;
    std::vector<std::string> events;
    UINT flags;
  };
  for (const Case& c : {Case{StartupSteps::Report::ErrorBox, {"beep", "box"}, MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL},
                        Case{StartupSteps::Report::PlainBox, {"box"}, MB_OK}}) {
    ASSERT_TRUE(test::RemoveModelKey());
    boxes_.shown.clear();
    boxes_.events.clear();
    EXPECT_FALSE(StartupSteps(kCaption, c.report).LoadProfile());
    EXPECT_EQ(boxes_.events, c.events);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].Text, kProfileFailureText);
    EXPECT_EQ(boxes_.shown[0].Caption, kCaption);
    EXPECT_EQ(boxes_.shown[0].Flags, c.flags);
  }
  ASSERT_TRUE(test::WriteDevelopmentProfile("C:\\suite"));
  boxes_.shown.clear();
  EXPECT_TRUE(StartupSteps(kCaption).LoadProfile());
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(Profile().InstallPath, "C:\\suite");
}

TEST_F(StartupStepsTest, NoControllerIsReportedAndClosesTheDriver) {
  for (const uint8_t port : {uint8_t{0}, uint8_t{12}}) {
    ParamBlock block = sim_.DefaultBlock();
    block.DetectedPort = port;
    ASSERT_TRUE(sim_.LoadBlock(block));
    boxes_.shown.clear();
    const StartupSteps start(kCaption);
    ASSERT_TRUE(start.OpenDriver());
    EXPECT_EQ(start.FindController(), port != 0);
    EXPECT_EQ(static_cast<bool>(Link().Device), port != 0) << "the driver stays open only with a controller";
    if (port == 0) {
      ASSERT_EQ(boxes_.shown.size(), 1u);
      EXPECT_EQ(boxes_.shown[0].Text, kControllerNotFoundText);
    } else {
      EXPECT_TRUE(boxes_.shown.empty());
    }
    device::CloseDevice();
  }
}

// Suspend and Resume around a full-screen window: what the driver and the tool are told.
TEST_F(StartupStepsTest, RightButtonPauseSwitchesAutomaticModeOrHidesTheTool) {
  struct Case {
    const char* name;
    uint8_t mode, function, automatic;
    std::vector<WPARAM> toolMessages;  // hide on Suspend, show on Resume
    bool autoSwitched;                 // 0xF2060 with automatic mode off, then on again
  };
  const Case cases[] = {
      {"function off", kDragDropMode, kRightButtonOff, 1, {}, false},
      {"stream mode", kStreamMode, kRightButtonOn, 1, {device::kHideTool, device::kShowTool}, false},
      {"drag-drop manual", kDragDropMode, kRightButtonOn, 0, {device::kHideTool, device::kShowTool}, false},
      {"drag-drop automatic", kDragDropMode, kRightButtonOn, 1, {}, true},
      {"drag-drop automatic 2", kDragDropMode, kRightButtonOn, 2, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(sim_.Reset());
    test::ToolWindow tool;
    ASSERT_TRUE(device::OpenDevice());
    Link().Slot = {tool.Handle(), kToolIdle, {}};
    device::SetRightButtonSlot();
    ParamBlock& block = Link().Block;
    block = sim_.DefaultBlock();
    block.VirtualButton = c.mode;
    block.RightButtonFunction = c.function;
    block.RightButtonAutoMode = c.automatic;
    sim_.ReadJournal();

    RightButtonPause pause;
    pause.Suspend(block);
    std::vector<uint8_t> sentAuto;
    for (const JournalEntry& entry : sim_.ReadJournal())
      if (entry.Code == kWriteVirtualButton) sentAuto.push_back(entry.Data[54]);
    pause.Resume(block);
    for (const JournalEntry& entry : sim_.ReadJournal())
      if (entry.Code == kWriteVirtualButton) sentAuto.push_back(entry.Data[54]);

    EXPECT_EQ(test::ToolWindow::Received(), c.toolMessages);
    const std::vector<uint8_t> expectedAuto = c.autoSwitched ? std::vector<uint8_t>{0, 1} : std::vector<uint8_t>{};
    EXPECT_EQ(sentAuto, expectedAuto);
    device::CloseDevice();
  }
}

TEST(RightButtonTool, OnlyALiveToolWindowCounts) {
  test::ToolWindow tool(kRightButtonToolCaption);
  test::ToolWindow other("tool");
  int32_t gone = 0;
  {
    test::ToolWindow killed(kRightButtonToolCaption);
    gone = killed.Handle();
  }
  EXPECT_TRUE(IsRightButtonToolWindow(tool.Handle()));
  EXPECT_FALSE(IsRightButtonToolWindow(other.Handle()));
  EXPECT_FALSE(IsRightButtonToolWindow(gone));
  EXPECT_FALSE(IsRightButtonToolWindow(kNoWindow));
}

}  // namespace
}  // namespace koral
