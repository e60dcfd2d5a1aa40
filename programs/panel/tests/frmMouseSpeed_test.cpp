// The mouse speed dialog in this process, opened from the control panel's main window that
// loaded against the real substitute driver. The user's actions arrive as the controls send
// them (button clicks, the scroll bars' reports to their frames); what counts is what the
// windows show and what reaches the driver's journal.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "common/core/titles.h"
#include "common/win/pointer.h"
#include "programs/panel/frmMouseSpeed.h"
#include "programs/panel/tests/panel_dialog_fixture.h"

namespace koral::panel {
namespace {

struct MouseFields {
  int Bypass = 0, HSpeed = 10, VSpeed = 10, Acceleration = 1;
};

ParamBlock BlockWith(const MouseFields& f) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.MouseBypass = static_cast<uint8_t>(f.Bypass);
  block.MouseHSpeed = static_cast<uint8_t>(f.HSpeed);
  block.MouseVSpeed = static_cast<uint8_t>(f.VSpeed);
  block.MouseAcceleration = static_cast<uint8_t>(f.Acceleration);
  return block;
}

class MouseSpeedDialog : public PanelDialogTest {
 protected:
  // The main window loads afresh against a driver holding these values; its button opens the
  // dialog.
  void Open(const MouseFields& stored = {}) {
    ASSERT_NO_FATAL_FAILURE(LoadMain(BlockWith(stored)));
    Reopen();
  }
  // The main window's button again, with the block as the program holds it now.
  void Reopen() {
    sim_.ReadJournal();
    Click(main_.cmdMouseSpeed);
    ASSERT_TRUE(dialog_.Visible());
  }

  // The one block the dialog sent with 0xF2090, compared whole with what the driver held.
  void ExpectSentOnce(const MouseFields& values) {
    PanelDialogTest::ExpectSentOnce(kWriteMouseSpeed, BlockWith(values));
  }
  std::string MainStatus() const { return Text(main_.lblMouseSpeed); }
  int ChosenOption() {
    int chosen = 0;
    for (ui::OptionButton& option : dialog_.optAcceleration)
      if (Checked(option)) chosen = chosen == 0 ? option.Index() : -1;
    return chosen;
  }

  frmMouseSpeed& dialog_ = main_.dialogs.MouseSpeed;
};

// ---- Opening ----

struct OpeningCase {
  const char* What;
  MouseFields Stored;
  int HBar, VBar;
  const char *HText, *VText;
  bool Linked;
  int Option;  // 0: none
  bool SpeedControls;
  bool Apply;
};

void PrintTo(const OpeningCase& c, std::ostream* out) { *out << c.What; }

class Opening : public MouseSpeedDialog, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(Opening, ShowsTheStoredValuesAndSendsNothing) {
  const OpeningCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
  EXPECT_EQ(Position(dialog_.hscMouseHSpeed), c.HBar);
  EXPECT_EQ(Position(dialog_.hscMouseVSpeed), c.VBar);
  EXPECT_EQ(Text(dialog_.lblHS), c.HText);
  EXPECT_EQ(Text(dialog_.lblVS), c.VText);
  EXPECT_EQ(Checked(dialog_.chkBoth), c.Linked);
  EXPECT_EQ(dialog_.chkBoth.ForeColor(), c.Linked ? ui::kBlack : ui::kTeal);
  EXPECT_EQ(Checked(dialog_.chkBypass), c.Stored.Bypass != 0);
  EXPECT_EQ(ChosenOption(), c.Option);
  for (ui::OptionButton& option : dialog_.optAcceleration) {
    EXPECT_EQ(option.ForeColor(), option.Index() == c.Option ? ui::kBlack : ui::kTeal) << option.Index();
    EXPECT_EQ(Enabled(option), c.SpeedControls) << option.Index();
  }
  for (const ui::Control* control : {static_cast<const ui::Control*>(&dialog_.chkBoth),
                                     static_cast<const ui::Control*>(&dialog_.hscMouseHSpeed),
                                     static_cast<const ui::Control*>(&dialog_.hscMouseVSpeed)})
    EXPECT_EQ(Enabled(*control), c.SpeedControls) << control->Name();
  EXPECT_TRUE(Enabled(dialog_.chkBypass));
  EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
  EXPECT_TRUE(Sent().empty()) << "opening sends nothing";
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, Opening,
    ::testing::Values(
        OpeningCase{"as set up", {0, 10, 10, 1}, 10, 10, "50%", "50%", true, 1, true, false},
        // Unequal speeds open unlinked, so neither bar moves to the other's value.
        OpeningCase{"ends of the bars", {0, 1, 20, 3}, 1, 20, "5%", "100%", false, 3, true, false},
        OpeningCase{"bypassed", {1, 7, 7, 4}, 7, 7, "35%", "35%", true, 4, false, false},
        // Out of range: the bars show their nearer end, no option is marked, and Apply offers
        // to store what is shown.
        OpeningCase{"speeds 0 and 25", {0, 0, 25, 2}, 1, 20, "5%", "100%", false, 2, true, true},
        OpeningCase{"acceleration 7", {0, 4, 4, 7}, 4, 4, "20%", "20%", true, 0, true, false}),
    [](const auto& info) {
      std::string name = info.param.What;
      for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST_F(MouseSpeedDialog, TakesTheMainWindowsPlaceAndLook) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Click(dialog_.cmdCandel);
  main_.lblOemTitle.Caption("Acme Touch");
  ASSERT_NO_FATAL_FAILURE(Reopen());
  EXPECT_FALSE(main_.Visible());
  EXPECT_EQ(test::WindowText(dialog_.hwnd()), kControlPanelTitle);
  EXPECT_EQ(Text(dialog_.lblSystem), "TouchScreen Control Panel Version 7.2.PS2");
  EXPECT_EQ(Text(dialog_.lblOemTitle), "Acme Touch");
  const char* names[] = {"Slow", "Medium", "Fast", "Off"};
  for (ui::OptionButton& option : dialog_.optAcceleration)
    EXPECT_EQ(Text(option), names[option.Index() - 1]) << option.Index();
  EXPECT_EQ(HourglassCount(), 0);
}

// ---- Changing values: the Apply button follows whether anything differs from the block ----

struct ChangeCase {
  const char* What;
  MouseFields Stored;
  std::function<void(frmMouseSpeed&)> Act;
  int HBar, VBar;
  int Option;
  bool Apply;
};

TEST_F(MouseSpeedDialog, ApplyIsEnabledExactlyWhileAValueDiffers) {
  using D = frmMouseSpeed;
  const std::vector<ChangeCase> cases = {
      {"bar moved by arrows away and back", {}, [](D& d) { Arrow(d.hscMouseHSpeed, SB_LINERIGHT); Arrow(d.hscMouseHSpeed, SB_LINELEFT); }, 10, 10, 1, false},
      {"thumb dragged away and back", {}, [](D& d) { Drag(d.hscMouseVSpeed, {14, 17, 10}); }, 10, 10, 1, false},
      {"one page right", {}, [](D& d) { Arrow(d.hscMouseHSpeed, SB_PAGERIGHT); }, 12, 12, 1, true},
      {"unlinked bar moves alone", {0, 5, 15, 1}, [](D& d) { Arrow(d.hscMouseVSpeed, SB_PAGELEFT); }, 5, 13, 1, true},
      {"bypass on and off again", {}, [](D& d) { Click(d.chkBypass); Click(d.chkBypass); }, 10, 10, 1, false},
      {"bypass on", {}, [](D& d) { Click(d.chkBypass); }, 10, 10, 1, true},
      {"the chosen option again", {}, [](D& d) { Click(d.optAcceleration(1)); }, 10, 10, 1, false},
      {"another option and back", {}, [](D& d) { Click(d.optAcceleration(3)); Click(d.optAcceleration(1)); }, 10, 10, 1, false},
      {"an option where none was stored", {0, 10, 10, 7}, [](D& d) { Click(d.optAcceleration(2)); }, 10, 10, 2, true},
      // Linking changes no stored value and moves no bar until the next movement.
      {"linking unequal bars", {0, 5, 15, 1}, [](D& d) { Click(d.chkBoth); }, 5, 15, 1, false},
      {"linked, then moved", {0, 5, 15, 1}, [](D& d) { Click(d.chkBoth); Arrow(d.hscMouseHSpeed, SB_LINERIGHT); }, 6, 6, 1, true},
      {"unlinked, then moved", {}, [](D& d) { Click(d.chkBoth); Arrow(d.hscMouseHSpeed, SB_LINERIGHT); }, 11, 10, 1, true},
      {"right past the end", {0, 20, 20, 1}, [](D& d) { Arrow(d.hscMouseHSpeed, SB_LINERIGHT); Arrow(d.hscMouseHSpeed, SB_PAGERIGHT); }, 20, 20, 1, false},
      {"left past the end", {0, 1, 1, 1}, [](D& d) { Arrow(d.hscMouseVSpeed, SB_LINELEFT); Arrow(d.hscMouseVSpeed, SB_PAGELEFT); }, 1, 1, 1, false},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    c.Act(dialog_);
    EXPECT_EQ(Position(dialog_.hscMouseHSpeed), c.HBar);
    EXPECT_EQ(Position(dialog_.hscMouseVSpeed), c.VBar);
    EXPECT_EQ(Text(dialog_.lblHS), std::to_string(5 * c.HBar) + "%");
    EXPECT_EQ(Text(dialog_.lblVS), std::to_string(5 * c.VBar) + "%");
    EXPECT_EQ(ChosenOption(), c.Option);
    for (ui::OptionButton& option : dialog_.optAcceleration)
      EXPECT_EQ(option.ForeColor(), option.Index() == c.Option ? ui::kBlack : ui::kTeal) << option.Index();
    EXPECT_EQ(dialog_.chkBoth.ForeColor(), Checked(dialog_.chkBoth) ? ui::kBlack : ui::kTeal);
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    Click(dialog_.cmdCandel);
    EXPECT_TRUE(Sent().empty()) << "nothing is sent while controls move, nor on Cancel";
  }
}

// ---- Dragging ----

TEST_F(MouseSpeedDialog, LinkedBarsFollowEachOtherDuringADrag) {
  ASSERT_NO_FATAL_FAILURE(Open({0, 10, 10, 1}));
  for (auto [dragged, other, draggedLabel, otherLabel] :
       {std::tuple{&dialog_.hscMouseHSpeed, &dialog_.hscMouseVSpeed, &dialog_.lblHS, &dialog_.lblVS},
        std::tuple{&dialog_.hscMouseVSpeed, &dialog_.hscMouseHSpeed, &dialog_.lblVS, &dialog_.lblHS}}) {
    SCOPED_TRACE(dragged->Name());
    Drag(*dragged, {13, 17, 4}, [&](int at) {
      EXPECT_EQ(Position(*other), at);
      EXPECT_EQ(Text(*draggedLabel), std::to_string(5 * at) + "%");
      EXPECT_EQ(Text(*otherLabel), std::to_string(5 * at) + "%");
      EXPECT_TRUE(Enabled(dialog_.cmdApply));
    });
    EXPECT_EQ(Position(*dragged), 4);
    EXPECT_EQ(Position(*other), 4);
  }
  EXPECT_TRUE(Sent().empty());
}

TEST_F(MouseSpeedDialog, AnUnlinkedThumbMovesOnlyItsOwnBarAndLabel) {
  ASSERT_NO_FATAL_FAILURE(Open({0, 3, 9, 1}));
  Drag(dialog_.hscMouseHSpeed, {6, 9, 12}, [&](int at) {
    EXPECT_EQ(Text(dialog_.lblHS), std::to_string(5 * at) + "%");
    EXPECT_EQ(Position(dialog_.hscMouseVSpeed), 9);
    EXPECT_EQ(Text(dialog_.lblVS), "45%");
  });
  EXPECT_EQ(Position(dialog_.hscMouseHSpeed), 12);
}

// ---- Bypass ----

TEST_F(MouseSpeedDialog, BypassDisablesTheSpeedControlsButKeepsTheirValues) {
  ASSERT_NO_FATAL_FAILURE(Open({0, 10, 10, 1}));
  Click(dialog_.chkBoth);
  Drag(dialog_.hscMouseHSpeed, {14});
  Arrow(dialog_.hscMouseVSpeed, SB_LINELEFT);
  Click(dialog_.optAcceleration(2));

  Click(dialog_.chkBypass);
  for (const ui::Control* control :
       {static_cast<const ui::Control*>(&dialog_.chkBoth), static_cast<const ui::Control*>(&dialog_.hscMouseHSpeed),
        static_cast<const ui::Control*>(&dialog_.hscMouseVSpeed)})
    EXPECT_FALSE(Enabled(*control)) << control->Name();
  for (ui::OptionButton& option : dialog_.optAcceleration) EXPECT_FALSE(Enabled(option)) << option.Index();
  EXPECT_EQ(Position(dialog_.hscMouseHSpeed), 14);
  EXPECT_EQ(Position(dialog_.hscMouseVSpeed), 9);
  EXPECT_EQ(Text(dialog_.lblHS), "70%");
  EXPECT_EQ(ChosenOption(), 2);
  EXPECT_FALSE(Checked(dialog_.chkBoth));

  Click(dialog_.cmdApply);
  ExpectSentOnce({1, 14, 9, 2});
  EXPECT_EQ(MainStatus(), "Enable Bypass Mode");

  Click(dialog_.chkBypass);
  EXPECT_TRUE(Enabled(dialog_.hscMouseHSpeed));
  EXPECT_EQ(Position(dialog_.hscMouseHSpeed), 14);
  EXPECT_TRUE(Enabled(dialog_.optAcceleration(2)));
  EXPECT_TRUE(Enabled(dialog_.cmdApply));
}

// ---- Apply, OK, Cancel and the way back ----

struct ButtonCase {
  const char* What;
  std::function<void(frmMouseSpeed&)> Act;
  bool Sends;
  bool StaysOpen;
};

TEST_F(MouseSpeedDialog, ApplyAndOkSendTheWholeBlockCancelSendsNothing) {
  using D = frmMouseSpeed;
  const auto change = [](D& d) {
    Arrow(d.hscMouseHSpeed, SB_LINERIGHT);  // linked: both to 11
    Click(d.optAcceleration(3));
  };
  const std::vector<ButtonCase> cases = {
      {"OK with Apply disabled", [](D& d) { Click(d.cmdOK); }, false, false},
      {"OK after moving away and back", [](D& d) { Drag(d.hscMouseHSpeed, {15, 10}); Click(d.cmdOK); }, false, false},
      {"Cancel after changes", [&](D& d) { change(d); Click(d.cmdCandel); }, false, false},
      {"Esc after changes", [&](D& d) { change(d); PressEsc(d.chkBypass); }, false, false},
      {"close box after changes", [&](D& d) { change(d); SendMessageA(d.hwnd(), WM_CLOSE, 0, 0); }, false, false},
      {"Apply", [&](D& d) { change(d); Click(d.cmdApply); }, true, true},
      {"OK with changes", [&](D& d) { change(d); Click(d.cmdOK); }, true, false},
      // Once applied, OK has nothing left to send.
      {"Apply, then OK", [&](D& d) { change(d); Click(d.cmdApply); Click(d.cmdOK); }, true, false},
  };
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open({0, 10, 10, 1}));
    const std::string before = MainStatus();
    c.Act(dialog_);
    if (c.Sends) {
      ExpectSentOnce({0, 11, 11, 3});
      EXPECT_EQ(MainStatus(), "HS=55%, VS=55%, Acceleration=Fast");
    } else {
      EXPECT_TRUE(Sent().empty());
      EXPECT_EQ(MainStatus(), before);
    }
    EXPECT_EQ(dialog_.Loaded(), c.StaysOpen);
    EXPECT_EQ(main_.Visible(), !c.StaysOpen) << "every unload brings the main window back";
    EXPECT_EQ(HourglassCount(), 0);
    if (c.StaysOpen) {
      EXPECT_FALSE(Enabled(dialog_.cmdApply));
      Click(dialog_.cmdCandel);
    }
    EXPECT_TRUE(Sent().empty());
    // The next opening shows what was applied, and nothing that was left unapplied.
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_EQ(Position(dialog_.hscMouseHSpeed), c.Sends ? 11 : 10);
    EXPECT_EQ(ChosenOption(), c.Sends ? 3 : 1);
    EXPECT_FALSE(Enabled(dialog_.cmdApply));
    Click(dialog_.cmdCandel);
  }
}

TEST_F(MouseSpeedDialog, OutOfRangeValuesAreSentAsShownOnlyWhenApplied) {
  ASSERT_NO_FATAL_FAILURE(Open({0, 0, 25, 9}));
  Click(dialog_.cmdCandel);
  EXPECT_TRUE(Sent().empty());

  ASSERT_NO_FATAL_FAILURE(Open({0, 0, 25, 9}));
  Click(dialog_.cmdOK);
  ExpectSentOnce({0, 1, 20, 9});  // the acceleration stays as stored until an option is chosen
  EXPECT_EQ(MainStatus(), "HS=5%, VS=100%, Acceleration=Invalid#9");
}

}  // namespace
}  // namespace koral::panel
