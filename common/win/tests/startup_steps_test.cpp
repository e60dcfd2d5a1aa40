// The start-up steps and the right-button helpers against the driver in this process, with the
// message boxes answered in this process.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "common/core/messages.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/right_button.h"
#include "common/win/slot_window.h"
#include "common/win/startup_steps.h"
#include "common/win/trusted_folders.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/fake_driver.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/slot_stand_in.h"
#include "tests/support/tool_window.h"

namespace koral {
namespace {

constexpr char kCaption[] = " TouchScreen Test #KR-PS2";

class StartupStepsTest : public ::testing::Test {
 protected:
  void TearDown() override { test::WriteDevelopmentProfile(test::ProgramFolder()); }
  test::FakeDriver driver_;
  test::FakeMessageBoxes boxes_;
};

TEST_F(StartupStepsTest, AMissingProfileIsReportedInTheProgramsKindOfBox) {
  struct Case {
    StartupSteps::Report report;
    std::vector<std::string> events;
    UINT flags;
  };
  ModelKeyStore store;
  InstallationProfile profile;
  for (const Case& c : {Case{StartupSteps::Report::ErrorBox, {"beep", "box"}, MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL},
                        Case{StartupSteps::Report::PlainBox, {"box"}, MB_OK}}) {
    ASSERT_TRUE(test::RemoveModelKey());
    boxes_.shown.clear();
    boxes_.events.clear();
    EXPECT_FALSE(StartupSteps(kCaption, c.report).LoadProfile(store, profile));
    EXPECT_EQ(boxes_.events, c.events);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].Text, kProfileFailureText);
    EXPECT_EQ(boxes_.shown[0].Caption, kCaption);
    EXPECT_EQ(boxes_.shown[0].Flags, c.flags);
  }
  ASSERT_TRUE(test::WriteDevelopmentProfile("C:\\suite"));
  boxes_.shown.clear();
  EXPECT_TRUE(StartupSteps(kCaption).LoadProfile(store, profile));
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(profile.InstallPath, "C:\\suite");
}

TEST_F(StartupStepsTest, ADriverThatDoesNotOpenIsReportedByItsFileName) {
  driver_.RefuseOpen = true;
  EXPECT_FALSE(StartupSteps(kStartupTitle).OpenDriver(driver_));
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].Text, "Fail to open KORALPS2.vxd!");
  EXPECT_EQ(boxes_.shown[0].Caption, kStartupTitle);
  EXPECT_EQ(boxes_.events, (std::vector<std::string>{"beep", "box"}));
}

// No controller: the block says none was detected, or the driver did not answer the read.
TEST_F(StartupStepsTest, NoControllerIsReportedAndClosesTheDriver) {
  struct Case {
    const char* name;
    uint8_t port;
    bool readRefused;
    bool found;
  };
  for (const Case& c : {Case{"port 0", 0, false, false}, Case{"port 12", 12, false, true},
                        Case{"read refused", 12, true, false}}) {
    SCOPED_TRACE(c.name);
    ParamBlock block = driver_.Held();
    block.DetectedPort = c.port;
    driver_.Load(block);
    driver_.Refuse(kReadBlock, c.readRefused ? 1 : 0);
    boxes_.shown.clear();
    const StartupSteps start(kCaption);
    device::Controller controller(driver_);
    ASSERT_TRUE(start.OpenDriver(driver_));
    EXPECT_EQ(start.FindController(controller), c.found);
    EXPECT_EQ(driver_.IsOpen(), c.found) << "the driver stays open only with a controller";
    if (c.found) {
      EXPECT_TRUE(boxes_.shown.empty());
      EXPECT_EQ(controller.Block().DetectedPort, 12);
    } else {
      ASSERT_EQ(boxes_.shown.size(), 1u);
      EXPECT_EQ(boxes_.shown[0].Text, kControllerNotFoundText);
    }
    driver_.Close();
  }
}

// Suspend and Resume around a full-screen window: what the driver and the tool are told, and
// that a switch the driver refused is neither switched back nor kept in the program's block.
TEST_F(StartupStepsTest, RightButtonPauseSwitchesAutomaticModeOrHidesTheTool) {
  struct Case {
    const char* name;
    uint8_t mode, function, automatic;
    uint32_t refusedWrites;            // 0xF2060 refused this many times
    std::vector<WPARAM> toolMessages;  // hide on Suspend, show on Resume
    std::vector<uint8_t> sentAuto;     // RightButtonAutoMode of each 0xF2060 the driver took
    uint8_t autoAfter;                 // the program's block after Resume
  };
  const Case cases[] = {
      {"function off", kDragDropMode, kRightButtonOff, 1, 0, {}, {}, 1},
      {"stream mode", kStreamMode, kRightButtonOn, 1, 0, {device::kHideTool, device::kShowTool}, {}, 1},
      {"drag-drop manual", kDragDropMode, kRightButtonOn, 0, 0, {device::kHideTool, device::kShowTool}, {}, 0},
      {"drag-drop automatic", kDragDropMode, kRightButtonOn, 1, 0, {}, {0, 1}, 1},
      {"drag-drop automatic 2", kDragDropMode, kRightButtonOn, 2, 0, {}, {0, 1}, 1},
      {"switch off refused", kDragDropMode, kRightButtonOn, 1, 1, {}, {}, 1},
      {"switch back refused", kDragDropMode, kRightButtonOn, 1, 0, {}, {0}, 0},
  };
  const std::filesystem::path install = std::filesystem::temp_directory_path() / "koral pause";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeDriver driver;
    test::SlotStandIn tool;
    ASSERT_TRUE(tool.Start(install, test::SlotStandIn::Role::Tool));
    ASSERT_TRUE(driver.Open());
    ASSERT_TRUE(driver.SetRightButtonSlot({tool.Handle(), kToolIdle, {}}));
    ParamBlock block = driver.Held();
    block.VirtualButton = c.mode;
    block.RightButtonFunction = c.function;
    block.RightButtonAutoMode = c.automatic;
    driver.Load(block);
    device::Controller controller(driver);
    ASSERT_TRUE(controller.ReadBlock());
    driver.Journal();

    RightButtonPause pause(install.string());
    driver.Refuse(kWriteVirtualButton, c.refusedWrites);
    pause.Suspend(controller);
    if (std::string(c.name) == "switch back refused") driver.Refuse(kWriteVirtualButton, 1);
    pause.Resume(controller);
    std::vector<uint8_t> sentAuto;
    for (const JournalEntry& entry : driver.Journal())
      if (entry.Code == kWriteVirtualButton) sentAuto.push_back(entry.Data[54]);

    EXPECT_EQ(tool.Received(), c.toolMessages);
    EXPECT_EQ(sentAuto, c.sentAuto);
    EXPECT_EQ(controller.Block().RightButtonAutoMode, c.autoAfter);
    EXPECT_EQ(controller.Block().RightButtonAutoMode, driver.Held().RightButtonAutoMode)
        << "the program's block says what the driver holds";
  }
}

// Only the tool's program in the trusted installation folder, in this session, with the tool's
// class and caption; the companion's check asks for the companion's program there.
TEST(SlotWindow, OnlyTheSuitesOwnWindowsCount) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "koral slot check";
  const fs::path install = root / "Install";
  const std::string folder = install.string();
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
    EXPECT_EQ(IsRightButtonToolWindow(c.Handle, folder), c.Tool) << c.Name;
    EXPECT_EQ(IsCompanionWindow(c.Handle, folder), c.Companion) << c.Name;
  }
  EXPECT_FALSE(IsRightButtonToolWindow(tool.Handle(), "")) << "without a trusted folder nothing counts";

  // The time-out: a window that stopped answering lets the sender go.
  test::SlotStandIn hung;
  ASSERT_TRUE(hung.Start(root / "Hung", test::SlotStandIn::Role::Tool, true));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(SendWithTimeout(SlotWindow(hung.Handle()), WM_USER, device::kShowTool, 0, 1000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(SendWithTimeout(SlotWindow(tool.Handle()), WM_USER, device::kShowTool, 0, 1000));
  std::error_code ignored;
  hung.Kill();
  tool.Kill();
  companion.Kill();
  elsewhere.Kill();
  fs::remove_all(root, ignored);
}

}  // namespace
}  // namespace koral
