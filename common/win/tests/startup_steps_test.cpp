// The start-up steps and the right-button helpers against the real substitute driver, with the
// message boxes answered in this process.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/core/messages.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/right_button.h"
#include "common/win/slot_window.h"
#include "common/win/startup_steps.h"
#include "common/win/trusted_folders.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/slot_stand_in.h"
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
  const std::filesystem::path install = std::filesystem::temp_directory_path() / "koral pause";
  const TrustedFolders saved = Trusted();
  Trusted().Install = install.string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(sim_.Reset());
    test::SlotStandIn tool;
    ASSERT_TRUE(tool.Start(install, test::SlotStandIn::Role::Tool));
    ASSERT_TRUE(device::OpenDevice());
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

    EXPECT_EQ(tool.Received(), c.toolMessages);
    const std::vector<uint8_t> expectedAuto = c.autoSwitched ? std::vector<uint8_t>{0, 1} : std::vector<uint8_t>{};
    EXPECT_EQ(sentAuto, expectedAuto);
    device::CloseDevice();
  }
  Trusted() = saved;
}

// Only the tool's program in the trusted installation folder, in this session, with the tool's
// class and caption; the companion's check asks for the companion's program there.
TEST(SlotWindow, OnlyTheSuitesOwnWindowsCount) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "koral slot check";
  const fs::path install = root / "Install";
  const TrustedFolders saved = Trusted();
  Trusted().Install = install.string();
  test::SlotStandIn tool, companion, elsewhere;
  ASSERT_TRUE(tool.Start(install, test::SlotStandIn::Role::Tool));
  ASSERT_TRUE(companion.Start(install, test::SlotStandIn::Role::Companion));
  ASSERT_TRUE(elsewhere.Start(root / "Elsewhere", test::SlotStandIn::Role::Tool));
  test::ToolWindow inThisProcess(kRightButtonToolCaption);
  int32_t gone = 0;
  {
    test::SlotStandIn ended;
    ASSERT_TRUE(ended.Start(root / "Ended", test::SlotStandIn::Role::Tool));
    gone = ended.Handle();
  }
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(SlotWindow(gone)); }));

  struct Case {
    const char* Name;
    int32_t Handle;
    bool Tool, Companion;
  };
  for (const Case& c : {Case{"the tool", tool.Handle(), true, false},
                        Case{"the companion", companion.Handle(), false, true},
                        Case{"the tool's program in another folder", elsewhere.Handle(), false, false},
                        Case{"a window of this process with the tool's caption", inThisProcess.Handle(), false, false},
                        Case{"a window that has gone", gone, false, false}, Case{"no window", kNoWindow, false, false}}) {
    EXPECT_EQ(IsRightButtonToolWindow(c.Handle), c.Tool) << c.Name;
    EXPECT_EQ(IsCompanionWindow(c.Handle), c.Companion) << c.Name;
  }
  Trusted().Install.clear();
  EXPECT_FALSE(IsRightButtonToolWindow(tool.Handle())) << "without a trusted folder nothing counts";

  // The time-out: a window that stopped answering lets the sender go.
  test::SlotStandIn hung;
  Trusted().Install = install.string();
  ASSERT_TRUE(hung.Start(root / "Hung", test::SlotStandIn::Role::Tool, true));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(SendWithTimeout(SlotWindow(hung.Handle()), WM_USER, device::kShowTool, 0, 1000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(SendWithTimeout(SlotWindow(tool.Handle()), WM_USER, device::kShowTool, 0, 1000));
  Trusted() = saved;
  std::error_code ignored;
  hung.Kill();
  tool.Kill();
  companion.Kill();
  elsewhere.Kill();
  fs::remove_all(root, ignored);
}

}  // namespace
}  // namespace koral
