// Programs of the suite at work on one driver at the same time. Each sends its own whole copy of
// the block and the driver takes the group each control code names, so what must hold is that
// every block in the driver's journal is whole, that the last one sent wins, and that nothing the
// user applied is lost along the way.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/core/titles.h"
#include "tests/reliability/suite_session.h"

namespace koral::reliability {
namespace {

using namespace std::chrono_literals;

bool CarriesBlock(uint32_t code) {
  for (uint32_t block : {kReadBlock, kWriteSerialPorts, kWriteVirtualButton, kWriteFeedback, kWriteSensitivity,
                         kWriteMouseSpeed, kWriteCalibration, kWriteWholeBlock, kWriteSleepTime})
    if (code == block) return true;
  return false;
}

class SideBySide : public SuiteSession {
 protected:
  // Reads the journal into `journal_` until `code` has arrived (or the limit passes).
  bool WaitForCode(uint32_t code, std::chrono::milliseconds limit = test::kDefaultWait) {
    return test::WaitUntil(
        [&] {
          for (const JournalEntry& entry : sim_.ReadJournal()) journal_.push_back(entry);
          for (const JournalEntry& entry : journal_)
            if (entry.Code == code) return true;
          return false;
        },
        limit);
  }
  std::vector<JournalEntry> Blocks() {
    for (const JournalEntry& entry : sim_.ReadJournal()) journal_.push_back(entry);
    std::vector<JournalEntry> blocks;
    for (const JournalEntry& entry : journal_) {
      if (!CarriesBlock(entry.Code)) continue;
      EXPECT_EQ(entry.Length, sizeof(ParamBlock)) << std::hex << entry.Code << ": not a whole block";
      blocks.push_back(entry);
    }
    return blocks;
  }

  std::vector<JournalEntry> journal_;
};

TEST_F(SideBySide, PanelAppliesWhileTheStartupProgramRuns) {
  ParamBlock stored = sim::SimClient::DefaultBlock();
  stored.ResolutionX = 640;
  stored.ResolutionY = 480;
  test::RunningProgram panel, startup;
  const HWND main = StartPanel(panel, stored);
  ASSERT_NE(main, nullptr);
  sim_.ReadJournal();

  // Applied before the startup program reads the block, and while it pauses after sending its
  // own whole block (it has no companion here, so it hands the driver the screen size).
  ASSERT_TRUE(ApplyOption(panel.Id(), main, "cmdFeedbackSound", "frmFeedbackSound", "optFeedbackSound(4)"));
  ASSERT_TRUE(startup.Start(kStartup));
  ASSERT_TRUE(WaitForCode(kWriteWholeBlock)) << "the startup program sent no block";
  ASSERT_TRUE(ApplyOption(panel.Id(), main, "cmdMouseSpeed", "frmMouseSpeed", "optAcceleration(3)"));
  EXPECT_EQ(startup.WaitForExit(), 0u);
  EXPECT_EQ(FindWindowA("#32770", kStartupTitle), nullptr) << "the startup program reported a failure";

  const auto blocks = Blocks();
  std::vector<uint32_t> codes;
  for (const JournalEntry& entry : blocks) codes.push_back(entry.Code);
  EXPECT_EQ(codes, (std::vector<uint32_t>{kWriteFeedback, kReadBlock, kWriteWholeBlock, kWriteMouseSpeed}));
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_EQ(sim::BlockOf(blocks[2]).FeedbackSound, 4) << "the startup program's block lost the feedback applied";
  EXPECT_EQ(sim::BlockOf(blocks[2]).ResolutionX, GetSystemMetrics(SM_CXSCREEN));

  const auto now = sim_.ReadBlock();
  ASSERT_TRUE(now);
  EXPECT_EQ(now->FeedbackSound, 4);
  EXPECT_EQ(now->MouseAcceleration, 3);
  EXPECT_EQ(now->ResolutionX, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(now->ResolutionY, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(SideBySide, TwoDialogsAppliedInQuickSuccessionBothReachTheDriver) {
  test::RunningProgram panel;
  const HWND main = StartPanel(panel, sim::SimClient::DefaultBlock());
  ASSERT_NE(main, nullptr);
  sim_.ReadJournal();

  // Each dialog changed and closed with OK (which applies), the next opened at once.
  struct Step {
    const char* Button;
    const char* Dialog;
    const char* Option;
    uint32_t Code;
  };
  const Step steps[] = {{"cmdMouseSpeed", "frmMouseSpeed", "optAcceleration(2)", kWriteMouseSpeed},
                        {"cmdFeedbackSound", "frmFeedbackSound", "optFeedbackSound(3)", kWriteFeedback},
                        {"cmdMouseSpeed", "frmMouseSpeed", "optAcceleration(4)", kWriteMouseSpeed},
                        {"cmdFeedbackSound", "frmFeedbackSound", "optFeedbackSound(2)", kWriteFeedback}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.Option);
    Click(Control(main, step.Button));
    const HWND dialog = WaitForForm(panel.Id(), step.Dialog);
    ASSERT_NE(dialog, nullptr);
    Click(Control(dialog, step.Option));
    Click(Control(dialog, "cmdOK"));
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(dialog) && IsWindowVisible(main); }));
  }

  const auto blocks = Blocks();
  ASSERT_EQ(blocks.size(), std::size(steps));
  for (size_t i = 0; i < blocks.size(); ++i) EXPECT_EQ(blocks[i].Code, steps[i].Code) << i;
  // Every block carries all that was applied before it.
  EXPECT_EQ(sim::BlockOf(blocks[1]).MouseAcceleration, 2);
  EXPECT_EQ(sim::BlockOf(blocks[2]).FeedbackSound, 3);
  EXPECT_EQ(sim::BlockOf(blocks[3]).MouseAcceleration, 4);
  const auto now = sim_.ReadBlock();
  ASSERT_TRUE(now);
  EXPECT_EQ(now->MouseAcceleration, 4);
  EXPECT_EQ(now->FeedbackSound, 2);
  EXPECT_EQ(test::WindowText(Control(main, "lblMouseSpeed")), "HS=50%, VS=50%, Acceleration=Off");
}

TEST_F(SideBySide, CalibrationHidesAnArmedToolWhichStaysArmed) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.VirtualButton = 3;
  block.RightButtonFunction = kRightButtonOn;
  test::RunningProgram tool, panel;
  ASSERT_TRUE(sim_.LoadBlock(block));
  const ToolView view = StartTool(tool);
  ASSERT_NE(view.Window, nullptr);
  ASSERT_TRUE(view.Arm());
  ASSERT_TRUE(test::WaitUntil([&] { return sim_.RightButtonSlot()->State == kToolArmed; }));

  const HWND main = StartPanel(panel, block);
  ASSERT_NE(main, nullptr);
  sim_.ReadJournal();
  Click(Control(main, "cmdCalibration"));
  const HWND calibration = WaitForForm(panel.Id(), "frmCalibration");
  ASSERT_NE(calibration, nullptr);
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(view.Window); })) << "the tool was not hidden";
  EXPECT_EQ(sim_.RightButtonSlot()->State, kToolArmed) << "hiding cancelled the wait";

  // The window closed breaks the calibration off; the tool comes back, still waiting.
  PostMessageA(calibration, WM_CLOSE, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(calibration) && IsWindowVisible(main); }));
  EXPECT_TRUE(test::WaitUntil([&] { return IsWindowVisible(view.Window) != FALSE; })) << "the tool stayed hidden";
  EXPECT_FALSE(IsWindowVisible(view.Button()));
  EXPECT_EQ(sim_.RightButtonSlot()->State, kToolArmed);
  ASSERT_TRUE(sim_.RightClickDone());
  EXPECT_TRUE(test::WaitUntil([&] { return IsWindowVisible(view.Button()) != FALSE; }));
  EXPECT_TRUE(test::WaitUntil([&] { return sim_.RightButtonSlot()->State == kToolIdle; }));

  // Neither program sent a block on the way, and the driver holds what the user had.
  EXPECT_TRUE(Blocks().empty());
  const auto now = sim_.ReadBlock();
  ASSERT_TRUE(now);
  EXPECT_EQ(std::memcmp(&*now, &block, sizeof block), 0);
}

}  // namespace
}  // namespace koral::reliability
