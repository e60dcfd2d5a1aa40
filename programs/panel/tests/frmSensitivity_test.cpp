// The touch sensitivity dialog in this process, opened from the main window's button (shown for
// the test: the PS/2 layout keeps it hidden) against the real substitute driver.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "programs/panel/frmSensitivity.h"
#include "programs/panel/tests/panel_dialog_fixture.h"

namespace koral::panel {
namespace {

ParamBlock BlockWith(int sensitivity) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.Sensitivity = static_cast<uint8_t>(sensitivity);
  return block;
}

class SensitivityDialog : public PanelDialogTest {
 protected:
  void Open(int stored) {
    ASSERT_NO_FATAL_FAILURE(LoadMain(BlockWith(stored)));
    Reopen();
  }
  void Reopen() { OpenWith(main_.cmdSensivitity, dialog_); }
  void Press(int index, UINT message) {
    SendMessageA(dialog_.lblTestBox(index).hwnd(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(4, 4));
  }
  bool Lit() const { return dialog_.lblTestBox(0).BackStyle() == ui::BackStyle::Opaque; }

  frmSensitivity& dialog_ = main_.dialogs.Sensitivity;
};

struct OpeningCase {
  int Stored;
  int Bar;
  const char* Shown;
  bool Apply;
};

TEST_F(SensitivityDialog, OpensWithTheBarAtTheStoredLevel) {
  for (const OpeningCase& c : std::vector<OpeningCase>{
           {127, 0, " 0", false},     // the light end, the normal setting
           {64, 63, "63", false},     // the design value: nothing changes, so no leading blank
           {0, 127, " 127", false},   // the heavy end
           {107, 20, " 20", false},
           {130, 0, " 0", true},      // beyond the light end: Apply offers the level shown
       }) {
    SCOPED_TRACE(c.Stored);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    EXPECT_EQ(Position(dialog_.hscSensitivity), c.Bar);
    EXPECT_EQ(Text(dialog_.lblSV), c.Shown);
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    EXPECT_FALSE(Lit());
    EXPECT_TRUE(Sent().empty()) << "opening sends nothing";
  }
}

struct MoveCase {
  const char* What;
  std::function<void(frmSensitivity&)> Act;
  int Bar;
  bool Apply;
};

TEST_F(SensitivityDialog, ApplyFollowsWhetherTheBarDiffersFromTheStoredLevel) {
  using D = frmSensitivity;
  for (const MoveCase& c : std::vector<MoveCase>{
           {"arrow right and back", [](D& d) { Arrow(d.hscSensitivity, SB_LINERIGHT); Arrow(d.hscSensitivity, SB_LINELEFT); }, 20, false},
           {"thumb away and back", [](D& d) { Drag(d.hscSensitivity, {90, 3, 20}); }, 20, false},
           {"one page right", [](D& d) { Arrow(d.hscSensitivity, SB_PAGERIGHT); }, 30, true},
           {"one page left", [](D& d) { Arrow(d.hscSensitivity, SB_PAGELEFT); }, 10, true},
           {"past the heavy end", [](D& d) { Drag(d.hscSensitivity, {127}); Arrow(d.hscSensitivity, SB_PAGERIGHT); }, 127, true},
       }) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(107));
    c.Act(dialog_);
    EXPECT_EQ(Position(dialog_.hscSensitivity), c.Bar);
    EXPECT_EQ(Text(dialog_.lblSV), " " + std::to_string(c.Bar));
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    Click(dialog_.cmdCandel);
    EXPECT_TRUE(Sent().empty()) << "nothing is sent while the bar moves, nor on Cancel";
  }
}

TEST_F(SensitivityDialog, TheValueFollowsTheThumbWhileItIsDragged) {
  ASSERT_NO_FATAL_FAILURE(Open(64));
  Drag(dialog_.hscSensitivity, {70, 5, 64}, [&](int at) { EXPECT_EQ(Text(dialog_.lblSV), " " + std::to_string(at)); });
  EXPECT_TRUE(Enabled(dialog_.cmdApply));
}

TEST_F(SensitivityDialog, ApplyAndOkSendTheLevelCancelSendsNothing) {
  ExpectApplyOkCancelRules({dialog_, dialog_.hscSensitivity, kWriteSensitivity, [&] { Open(127); },
                            [&] { Reopen(); }, [](int bar) { return BlockWith(127 - bar); },
                            [&] { return Text(main_.lblSensitivity); }, 0, 20, "Level 0", "Level 20"});
}

// The box lights while either the box or its caption is pressed, whichever the release lands on.
TEST_F(SensitivityDialog, PressingTheBoxOrItsCaptionLightsTheBox) {
  ASSERT_NO_FATAL_FAILURE(Open(127));
  for (auto [down, up] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{1, 0}, std::pair{0, 1}}) {
    SCOPED_TRACE("down on " + std::to_string(down) + ", up on " + std::to_string(up));
    Press(down, WM_LBUTTONDOWN);
    EXPECT_TRUE(Lit());
    Press(up, WM_LBUTTONUP);
    EXPECT_FALSE(Lit());
  }
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(Enabled(dialog_.cmdApply));
}

}  // namespace
}  // namespace koral::panel
