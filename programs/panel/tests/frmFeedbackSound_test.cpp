// The feedback sound dialog in this process, opened from the control panel's main window that
// loaded against the real substitute driver.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "programs/panel/frmFeedbackSound.h"
#include "programs/panel/tests/panel_dialog_fixture.h"

namespace koral::panel {
namespace {

using namespace tests;

struct SoundFields {
  int Mode = 1, Tone = 1000, Duration = 20;
};

ParamBlock BlockWith(const SoundFields& f) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.FeedbackSound = static_cast<uint8_t>(f.Mode);
  block.FeedbackTone = static_cast<int16_t>(f.Tone);
  block.FeedbackDuration = static_cast<int16_t>(f.Duration);
  return block;
}

// The tone and duration of every sound test the driver received, in order.
std::vector<std::pair<int, int>> SoundTests(const std::vector<JournalEntry>& journal) {
  std::vector<std::pair<int, int>> tests;
  for (const JournalEntry& e : journal) {
    if (e.Code != kSoundTest) continue;
    EXPECT_EQ(e.Length, sizeof(SoundTest));
    SoundTest sound{};
    std::memcpy(&sound, e.Data, sizeof sound);
    tests.emplace_back(sound.Tone, sound.Duration);
  }
  return tests;
}

// A finger on the test area and lifted again, as the button window receives it; a disabled
// button receives nothing.
void Touch(const ui::CommandButton& button, int which = MK_LBUTTON) {
  if (!Enabled(button)) return;
  const UINT down = which == MK_LBUTTON ? WM_LBUTTONDOWN : which == MK_RBUTTON ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  SendMessageA(button.hwnd(), down, static_cast<WPARAM>(which), MAKELPARAM(10, 10));
  SendMessageA(button.hwnd(), down + 1, 0, MAKELPARAM(10, 10));
}

class FeedbackSoundDialog : public PanelDialogTest {
 protected:
  void Open(const SoundFields& stored = {}) {
    ASSERT_NO_FATAL_FAILURE(LoadMain(BlockWith(stored)));
    Sent();
    Click(main_.cmdFeedbackSound);
    ASSERT_TRUE(dialog_.Visible());
    EXPECT_FALSE(main_.Visible());
  }
  int ChosenOption() {
    int chosen = 0;
    for (ui::OptionButton& option : dialog_.optFeedbackSound)
      if (Checked(option)) chosen = chosen == 0 ? option.Index() : -1;
    return chosen;
  }
  void ExpectChosen(int option) {
    EXPECT_EQ(ChosenOption(), option);
    for (ui::OptionButton& option_button : dialog_.optFeedbackSound)
      EXPECT_EQ(option_button.ForeColor(), option_button.Index() == option ? ui::kBlack : ui::kTeal)
          << option_button.Index();
  }

  frmFeedbackSound& dialog_ = main_.dialogs.FeedbackSound;
};

TEST_F(FeedbackSoundDialog, OpensShowingTheStoredValuesAndSendsNothing) {
  struct Case {
    const char* What;
    SoundFields Stored;
    int Option;  // 0: none marked
    int Tone, Duration;
    bool SoundTest, Apply;
  };
  const Case cases[] = {
      {"as set up: silence", {1, 1000, 20}, 1, 1000, 20, true, false},
      // The bars' own minimum: no change is raised, yet the labels must not keep their design texts.
      {"the bars' design values", {2, 200, 10}, 2, 200, 10, false, false},
      {"the largest values", {4, 5000, 50}, 4, 5000, 50, false, false},
      // Shown as the nearer ends, which differ from the block: Apply offers to store them.
      {"tone and duration out of range", {3, 100, 60}, 3, 200, 50, false, true},
      {"mode 0", {0, 1000, 20}, 0, 1000, 20, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    ExpectChosen(c.Option);
    EXPECT_EQ(Position(dialog_.hscTone), c.Tone);
    EXPECT_EQ(Text(dialog_.lblTone), std::to_string(c.Tone));
    EXPECT_EQ(Position(dialog_.hscDuration), c.Duration);
    EXPECT_EQ(Text(dialog_.lblDuration), std::to_string(c.Duration));
    EXPECT_EQ(Enabled(dialog_.cmdSoundTest), c.SoundTest);
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    EXPECT_TRUE(Sent().empty());
  }
  const char* names[] = {" Silence ( No Sound )", " Touch Down Only", " Lift Off Only", " Both Touch Down && Lift Off"};
  for (ui::OptionButton& option : dialog_.optFeedbackSound)
    EXPECT_EQ(Text(option), names[option.Index() - 1]) << option.Index();
  EXPECT_EQ(Text(dialog_.cmdSoundTest), "Touch Here to Test");
  EXPECT_EQ(Text(dialog_.Label1(0)), "High");
  EXPECT_EQ(Text(dialog_.Label1(1)), "Low");
}

TEST_F(FeedbackSoundDialog, ApplyIsEnabledExactlyWhileAValueDiffersAndLabelsFollowTheBars) {
  using D = frmFeedbackSound;
  struct Case {
    const char* What;
    std::function<void(D&)> Act;
    int Tone, Duration, Option;
    bool Apply;
  };
  const std::vector<Case> cases = {
      {"tone one step right and back", [](D& d) { Arrow(d.hscTone, SB_LINERIGHT); Arrow(d.hscTone, SB_LINELEFT); }, 1000, 20, 1, false},
      {"tone one page right", [](D& d) { Arrow(d.hscTone, SB_PAGERIGHT); }, 1100, 20, 1, true},
      {"duration one page left", [](D& d) { Arrow(d.hscDuration, SB_PAGELEFT); }, 1000, 15, 1, true},
      {"duration dragged away and back", [](D& d) { Drag(d.hscDuration, {33, 20}); }, 1000, 20, 1, false},
      {"tone past its end", [](D& d) { Arrow(d.hscTone, SB_RIGHT); Arrow(d.hscTone, SB_LINERIGHT); }, 5000, 20, 1, true},
      {"another option", [](D& d) { Click(d.optFeedbackSound(3)); }, 1000, 20, 3, true},
      {"another option and back", [](D& d) { Click(d.optFeedbackSound(4)); Click(d.optFeedbackSound(1)); }, 1000, 20, 1, false},
      {"the chosen option again", [](D& d) { Click(d.optFeedbackSound(1)); }, 1000, 20, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open());
    c.Act(dialog_);
    EXPECT_EQ(Position(dialog_.hscTone), c.Tone);
    EXPECT_EQ(Text(dialog_.lblTone), std::to_string(c.Tone));
    EXPECT_EQ(Position(dialog_.hscDuration), c.Duration);
    EXPECT_EQ(Text(dialog_.lblDuration), std::to_string(c.Duration));
    ExpectChosen(c.Option);
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    EXPECT_TRUE(Enabled(dialog_.cmdSoundTest)) << "the test area follows the applied mode only";
    Click(dialog_.cmdCandel);
    EXPECT_TRUE(Sent().empty()) << "nothing is sent while controls move, nor on Cancel";
  }
}

TEST_F(FeedbackSoundDialog, LabelsFollowTheThumbsDuringADrag) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Drag(dialog_.hscTone, {1500, 3000, 4200}, [&](int at) {
    EXPECT_EQ(Text(dialog_.lblTone), std::to_string(at));
    EXPECT_TRUE(Enabled(dialog_.cmdApply));
  });
  Drag(dialog_.hscDuration, {25, 48}, [&](int at) { EXPECT_EQ(Text(dialog_.lblDuration), std::to_string(at)); });
  EXPECT_EQ(Text(dialog_.lblTone), "4200");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(FeedbackSoundDialog, TheTestAreaPlaysTheShownValuesOnPressAndOnRelease) {
  using D = frmFeedbackSound;
  struct Case {
    const char* What;
    SoundFields Stored;
    std::function<void(D&)> Act;
    int Button;
    std::vector<std::pair<int, int>> Played;
  };
  const std::vector<Case> cases = {
      {"as stored", {}, [](D&) {}, MK_LBUTTON, {{1000, 20}, {1000, 20}}},
      {"any mouse button", {}, [](D&) {}, MK_RBUTTON, {{1000, 20}, {1000, 20}}},
      // What is shown, not yet applied.
      {"moved bars", {}, [](D& d) { Arrow(d.hscTone, SB_PAGELEFT); Drag(d.hscDuration, {35}); }, MK_LBUTTON,
       {{900, 35}, {900, 35}}},
      {"the largest values", {}, [](D& d) { Arrow(d.hscTone, SB_RIGHT); Arrow(d.hscDuration, SB_RIGHT); }, MK_MBUTTON,
       {{5000, 50}, {5000, 50}}},
      {"the smallest values", {1, 230, 12}, [](D& d) { Arrow(d.hscTone, SB_LEFT); Arrow(d.hscDuration, SB_LEFT); },
       MK_LBUTTON, {{200, 10}, {200, 10}}},
      // With a sounding mode applied the driver beeps by itself: no test area.
      {"touch down applied", {2, 1000, 20}, [](D&) {}, MK_LBUTTON, {}},
      {"silence chosen, not applied", {3, 1000, 20}, [](D& d) { Click(d.optFeedbackSound(1)); }, MK_LBUTTON, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    c.Act(dialog_);
    Touch(dialog_.cmdSoundTest, c.Button);
    const auto journal = Sent();
    EXPECT_EQ(SoundTests(journal), c.Played);
    EXPECT_EQ(journal.size(), c.Played.size()) << "the test area sends nothing else";
    EXPECT_TRUE(dialog_.Loaded()) << "and does not close the dialog";
  }
}

TEST_F(FeedbackSoundDialog, TheTestAreaFollowsTheAppliedModeNotTheClickedOption) {
  ASSERT_NO_FATAL_FAILURE(Open({2, 1500, 30}));
  EXPECT_FALSE(Enabled(dialog_.cmdSoundTest));
  Click(dialog_.optFeedbackSound(1));
  Arrow(dialog_.hscTone, SB_PAGERIGHT);
  EXPECT_FALSE(Enabled(dialog_.cmdSoundTest)) << "silence chosen but not applied";

  Click(dialog_.cmdApply);
  auto journal = Sent();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].Code, kWriteFeedback);
  const ParamBlock expected = BlockWith({1, 1600, 30});
  ASSERT_EQ(journal[0].Length, sizeof expected);
  EXPECT_EQ(std::memcmp(journal[0].Data, &expected, sizeof expected), 0) << "the whole block, bytes 41..45 new";
  EXPECT_TRUE(Enabled(dialog_.cmdSoundTest));
  EXPECT_FALSE(Enabled(dialog_.cmdApply));
  EXPECT_EQ(Text(main_.lblFeedbackSound), "Silence ( No Sound )");
  Touch(dialog_.cmdSoundTest);
  EXPECT_EQ(SoundTests(Sent()), (std::vector<std::pair<int, int>>{{1600, 30}, {1600, 30}}));

  Click(dialog_.optFeedbackSound(4));
  EXPECT_TRUE(Enabled(dialog_.cmdSoundTest)) << "a sounding mode chosen but not applied";
  Click(dialog_.cmdOK);
  journal = Sent();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].Code, kWriteFeedback);
  EXPECT_EQ(journal[0].Data[offsetof(ParamBlock, FeedbackSound)], 4);
  EXPECT_EQ(Text(main_.lblFeedbackSound), "Both Touch Down && Lift Off");
  EXPECT_FALSE(dialog_.Loaded());
  EXPECT_TRUE(main_.Visible());

  Click(main_.cmdFeedbackSound);
  EXPECT_FALSE(Enabled(dialog_.cmdSoundTest)) << "reopened with a sounding mode applied";
  ExpectChosen(4);
  EXPECT_EQ(Position(dialog_.hscTone), 1600);
}

}  // namespace
}  // namespace koral::panel
