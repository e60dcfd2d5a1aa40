// The real control panel: the feedback sound dialog opened from the main window's button and
// its test area touched with the mouse.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "programs/panel/tests/panel_program.h"

namespace koral::panel {
namespace {

using namespace std::chrono_literals;
using namespace tests;

std::vector<SoundTest> SoundTests(const std::vector<JournalEntry>& journal) {
  std::vector<SoundTest> tests;
  for (const JournalEntry& e : journal) {
    if (e.Code != kSoundTest) continue;
    SoundTest sound{};
    std::memcpy(&sound, e.Data, sizeof sound);
    tests.push_back(sound);
  }
  return tests;
}

class FeedbackSoundEndToEnd : public PanelProgram {
 protected:
  // Starts the panel with the feedback fields and opens the dialog from its button.
  void Open(int mode, int tone, int duration) {
    ParamBlock block = sim::SimClient::DefaultBlock();
    block.FeedbackSound = static_cast<uint8_t>(mode);
    block.FeedbackTone = static_cast<int16_t>(tone);
    block.FeedbackDuration = static_cast<int16_t>(duration);
    main_ = StartPanel(block);
    ASSERT_NE(main_, nullptr);
    Click(Control(main_, "cmdFeedbackSound"));
    dialog_ = WaitForForm("frmFeedbackSound");
    ASSERT_NE(dialog_, nullptr) << "the dialog did not open";
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(main_); })) << "the main window stayed";
  }
  // Journal entries as they come, kept for the whole test.
  const std::vector<JournalEntry>& Journal() {
    for (const JournalEntry& e : sim_.ReadJournal()) journal_.push_back(e);
    return journal_;
  }

  HWND main_ = nullptr;
  HWND dialog_ = nullptr;
  std::vector<JournalEntry> journal_;
};

TEST_F(FeedbackSoundEndToEnd, TheTestAreaBeepsAsTheButtonGoesDownAndAgainAsItComesUp) {
  ASSERT_NO_FATAL_FAILURE(Open(1, 1800, 35));
  const HWND area = Control(dialog_, "cmdSoundTest");
  EXPECT_EQ(test::WindowText(area), "Touch Here to Test");
  ASSERT_TRUE(IsWindowEnabled(area)) << "silence is applied: the test area is open";
  EXPECT_EQ(test::WindowText(Control(dialog_, "lblTone")), "1800");
  EXPECT_EQ(test::WindowText(Control(dialog_, "lblDuration")), "35");

  MouseOn(area, MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(test::WaitUntil([&] { return SoundTests(Journal()).size() == 1; }, 10s)) << "no beep on press";
  MouseOn(area, MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(test::WaitUntil([&] { return SoundTests(Journal()).size() == 2; }, 10s)) << "no beep on release";

  const auto tests = SoundTests(Journal());
  ASSERT_EQ(tests.size(), 2u);
  for (const SoundTest& sound : tests) {
    EXPECT_EQ(sound.Tone, 1800);
    EXPECT_EQ(sound.Duration, 35);
  }
  EXPECT_EQ(Journal().size(), 2u) << "the test area sends nothing else";
  EXPECT_TRUE(IsWindow(dialog_)) << "and has no click action";
}

}  // namespace
}  // namespace koral::panel
