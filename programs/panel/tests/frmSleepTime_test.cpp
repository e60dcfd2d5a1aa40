// The power save dialog in this process, opened from the main window's button (shown for the
// test: the PS/2 layout removes it) against the real substitute driver.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "programs/panel/frmSleepTime.h"
#include "programs/panel/tests/panel_dialog_fixture.h"

namespace koral::panel {
namespace {

constexpr char kDisabled[] = "Disable Power Down Function";

ParamBlock BlockWith(int sleepTime) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.SleepTime = static_cast<uint8_t>(sleepTime);
  return block;
}

class SleepTimeDialog : public PanelDialogTest {
 protected:
  void Open(int stored) {
    ASSERT_NO_FATAL_FAILURE(LoadMain(BlockWith(stored)));
    Reopen();
  }
  void Reopen() { OpenWith(main_.cmdSleepTime, dialog_); }
  void ExpectLabels(const char* seconds, const char* summary) {
    EXPECT_EQ(Text(dialog_.lblST), seconds);
    EXPECT_EQ(Text(dialog_.lblSS), summary);
  }

  frmSleepTime& dialog_ = main_.dialogs.SleepTime;
};

struct OpeningCase {
  int Stored;
  int Bar;
  const char* Seconds;
  const char* Summary;
  bool Apply;
};

TEST_F(SleepTimeDialog, OpensShowingTheStoredIdleTime) {
  for (const OpeningCase& c : std::vector<OpeningCase>{
           {0, 0, " 0", kDisabled, false},
           // The design value: the labels still show its texts, not the design's.
           {15, 15, " 150", "Power Down When Idle  2 Min.  30 Sec.", false},
           {6, 6, " 60", "Power Down When Idle  1 Min. ", false},
           {1, 1, " 10", "Power Down When Idle  10 Sec.", false},
           {30, 30, " 300", "Power Down When Idle  5 Min. ", false},
           // Beyond five minutes: the longest time shows, and Apply offers to store it.
           {200, 30, " 300", "Power Down When Idle  5 Min. ", true},
       }) {
    SCOPED_TRACE(c.Stored);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    EXPECT_EQ(Position(dialog_.hscSleepTime), c.Bar);
    ExpectLabels(c.Seconds, c.Summary);
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    EXPECT_TRUE(Sent().empty()) << "opening sends nothing";
  }
}

struct MoveCase {
  const char* What;
  int Stored;
  std::function<void(frmSleepTime&)> Act;
  int Bar;
  bool Apply;
};

// An arrow moves ten seconds, a click in the trough a minute.
TEST_F(SleepTimeDialog, TheBarMovesInStepsAndApplyFollowsIt) {
  using D = frmSleepTime;
  for (const MoveCase& c : std::vector<MoveCase>{
           {"arrow right", 15, [](D& d) { Arrow(d.hscSleepTime, SB_LINERIGHT); }, 16, true},
           {"page right", 15, [](D& d) { Arrow(d.hscSleepTime, SB_PAGERIGHT); }, 21, true},
           {"page left", 15, [](D& d) { Arrow(d.hscSleepTime, SB_PAGELEFT); }, 9, true},
           {"page right and back", 15, [](D& d) { Arrow(d.hscSleepTime, SB_PAGERIGHT); Arrow(d.hscSleepTime, SB_PAGELEFT); }, 15, false},
           {"thumb away and back", 3, [](D& d) { Drag(d.hscSleepTime, {20, 0, 3}); }, 3, false},
           {"past the long end", 28, [](D& d) { Arrow(d.hscSleepTime, SB_PAGERIGHT); }, 30, true},
           {"past the short end", 0, [](D& d) { Arrow(d.hscSleepTime, SB_LINELEFT); }, 0, false},
       }) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    c.Act(dialog_);
    EXPECT_EQ(Position(dialog_.hscSleepTime), c.Bar);
    EXPECT_EQ(Text(dialog_.lblST), " " + std::to_string(10 * c.Bar));
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    Click(dialog_.cmdCandel);
    EXPECT_TRUE(Sent().empty()) << "nothing is sent while the bar moves, nor on Cancel";
  }
}

TEST_F(SleepTimeDialog, BothLabelsFollowTheThumbWhileItIsDragged) {
  ASSERT_NO_FATAL_FAILURE(Open(15));
  const std::vector<std::pair<int, const char*>> steps = {
      {0, kDisabled}, {9, "Power Down When Idle  1 Min.  30 Sec."}, {24, "Power Down When Idle  4 Min. "}};
  for (auto [at, summary] : steps) {
    Report(dialog_.hscSleepTime, SB_THUMBTRACK, at);
    EXPECT_EQ(Text(dialog_.lblST), " " + std::to_string(10 * at));
    EXPECT_EQ(Text(dialog_.lblSS), summary);
  }
}

// Before anything is applied the status line keeps its design text: the PS/2 layout never fills it.
TEST_F(SleepTimeDialog, ApplyAndOkSendTheIdleTimeCancelSendsNothing) {
  ExpectApplyOkCancelRules({dialog_, dialog_.hscSleepTime, kWriteSleepTime, [&] { Open(12); }, [&] { Reopen(); },
                            [](int bar) { return BlockWith(bar); }, [&] { return Text(main_.lblSleepTime); }, 12, 9,
                            kDisabled, "Power Down When Idle  1 Min.  30 Sec."});
}

TEST_F(SleepTimeDialog, ApplyingTheShortEndTurnsThePowerDownOff) {
  ASSERT_NO_FATAL_FAILURE(Open(12));
  Drag(dialog_.hscSleepTime, {9});
  Click(dialog_.cmdApply);
  Drag(dialog_.hscSleepTime, {0});
  ExpectLabels(" 0", kDisabled);
  Sent();
  Click(dialog_.cmdApply);
  ExpectSentOnce(kWriteSleepTime, BlockWith(0));
  EXPECT_EQ(Text(main_.lblSleepTime), kDisabled);
}

}  // namespace
}  // namespace koral::panel
