// The virtual button dialog in this process, opened from the control panel's main window that
// loaded against the real substitute driver. The user's actions arrive as the controls send
// them; what counts is what the windows show, what reaches the driver's journal and what
// happens to the right-button tool: the installation folder holds a stand-in that leaves a mark
// when it is started, and a stand-in window registered as the tool records what it is told.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/core/launch_rules.h"
#include "common/core/titles.h"
#include "common/win/pointer.h"
#include "common/win/right_button.h"
#include "common/win/trusted_folders.h"
#include "programs/panel/frmVirtualButton.h"
#include "programs/panel/tests/panel_dialog_fixture.h"
#include "tests/support/slot_stand_in.h"

namespace koral::panel {
namespace {

namespace fs = std::filesystem;

// The six fields the dialog edits; the defaults are the driver's.
struct Fields {
  int Mode = 4, Function = 0, Auto = 0, STime = 1, ETime = 3, Beep = 1;
};

ParamBlock BlockWith(const Fields& f) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.VirtualButton = static_cast<uint8_t>(f.Mode);
  block.RightButtonFunction = static_cast<uint8_t>(f.Function);
  block.RightButtonAutoMode = static_cast<uint8_t>(f.Auto);
  block.RightButtonAutoSTime = static_cast<uint8_t>(f.STime);
  block.RightButtonAutoETime = static_cast<uint8_t>(f.ETime);
  block.RightButtonAutoBeep = static_cast<uint8_t>(f.Beep);
  return block;
}

// The user picks an item from a combo's list, as the list reports it to the combo's container.
void Pick(const ui::ComboBox& combo, const std::string& item) {
  if (!Enabled(combo)) return;
  const LRESULT index = SendMessageA(combo.hwnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(item.c_str()));
  ASSERT_NE(index, CB_ERR) << item;
  SendMessageA(combo.hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(GetParent(combo.hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.hwnd()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo.hwnd()));
}

// The user types into a combo's field instead.
void Type(const ui::ComboBox& combo, const std::string& text) {
  SendMessageA(combo.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(GetParent(combo.hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.hwnd()), CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(combo.hwnd()));
}

// The index of the one checked option of a group; kNone when none is, kSeveral when more are.
constexpr int kNone = -10;
constexpr int kSeveral = -20;
template <typename Group>
int ChosenOption(Group& group) {
  int chosen = kNone;
  for (ui::OptionButton& option : group)
    if (Checked(option)) chosen = chosen == kNone ? option.Index() : kSeveral;
  return chosen;
}

// The installation folder: the tool there is a stand-in that leaves a mark when started as the
// programs start it, and plays a running tool when the test starts it so.
fs::path VirtualButtonFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return fs::path(temp) / ("koral-virtual-button-" + std::to_string(GetCurrentProcessId()));
}

class VirtualButtonDialog : public PanelDialogTest {
 protected:
  VirtualButtonDialog() : PanelDialogTest(VirtualButtonFolder().string()), folder_(VirtualButtonFolder()) {}

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PanelDialogTest::SetUp());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const fs::path marker = fs::path(test::ToolFolder()) / "slot_window_stand_in.exe";
    ASSERT_TRUE(fs::exists(marker)) << marker;
    fs::copy_file(marker, folder_ / kRightButtonProgram);
    ASSERT_TRUE(test::WriteDevelopmentProfile(folder_.string()));
  }
  void TearDown() override {
    standIn_.Kill();
    PanelDialogTest::TearDown();
    test::WriteDevelopmentProfile(test::ProgramFolder());
    // The stand-in may still be writing its mark.
    test::WaitUntil(
        [&] {
          std::error_code ignored;
          fs::remove_all(folder_, ignored);
          return !fs::exists(folder_);
        },
        std::chrono::milliseconds(5000));
  }

  // The main window loads afresh against a driver holding these values; its button opens the
  // dialog.
  void Open(const Fields& stored = {}) {
    ASSERT_NO_FATAL_FAILURE(LoadMain(BlockWith(stored)));
    Reopen();
  }
  // The main window's button again, with the block as the program holds it now.
  void Reopen() {
    sim_.ReadJournal();
    Click(main_.cmdVirtualButton);
    ASSERT_TRUE(dialog_.Visible());
  }

  // A stand-in window registered with the driver as the running tool.
  void RegisterStandIn() {
    ASSERT_TRUE(standIn_.Start(folder_, test::SlotStandIn::Role::Tool, false, false));
    sim_.ReadJournal();
  }
  fs::path StartMark() const { return folder_ / (std::string(kRightButtonProgram) + ".ran"); }
  bool ToolStarted() const {
    return test::WaitUntil([&] { return fs::exists(StartMark()); }, std::chrono::milliseconds(10000));
  }

  std::vector<uint32_t> SentCodes(std::vector<JournalEntry>* entries = nullptr) {
    std::vector<JournalEntry> journal = sim_.ReadJournal();
    std::vector<uint32_t> codes;
    for (const JournalEntry& e : journal) codes.push_back(e.Code);
    if (entries) *entries = std::move(journal);
    return codes;
  }
  std::string MainStatus() const { return Text(main_.lblVirtualButton); }

  // The automatic mode's settings, all enabled together or all disabled.
  std::vector<const ui::Control*> AutoControls() const {
    return {&dialog_.lblRBAutoSTime, &dialog_.cboRBAutoSTime, &dialog_.lblRBAutoSTimeSec, &dialog_.lblRBAutoETime,
            &dialog_.cboRBAutoETime, &dialog_.lblRBAutoETimeSec, &dialog_.lblRBAutoBeep, &dialog_.cboRBAutoBeep};
  }
  void ExpectEnabling(bool autoMode, bool settings) {
    EXPECT_EQ(Enabled(dialog_.cboRBAutoMode), autoMode);
    for (const ui::Control* control : AutoControls()) EXPECT_EQ(Enabled(*control), settings) << control->Name();
  }

  frmVirtualButton& dialog_ = main_.dialogs.VirtualButton;
  fs::path folder_;
  test::SlotStandIn standIn_;
};

// ---- Opening ----

struct OpeningCase {
  const char* What;
  Fields Stored;
  int Mode, Function;                   // the checked options (kNone: none)
  const char *AutoMode, *STime, *ETime, *Beep;  // what the combos' fields show
  bool AutoModeEnabled, SettingsEnabled;
};

void PrintTo(const OpeningCase& c, std::ostream* out) { *out << c.What; }

class VirtualButtonOpening : public VirtualButtonDialog, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(VirtualButtonOpening, ShowsTheStoredValuesAndSendsNothing) {
  const OpeningCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
  EXPECT_EQ(ChosenOption(dialog_.optVirtualButton), c.Mode);
  EXPECT_EQ(ChosenOption(dialog_.optRBFunction), c.Function);
  for (ui::OptionButton& option : dialog_.optVirtualButton)
    EXPECT_EQ(option.ForeColor(), option.Index() == c.Mode ? ui::kBlack : ui::kTeal) << option.Index();
  for (ui::OptionButton& option : dialog_.optRBFunction)
    EXPECT_EQ(option.ForeColor(), option.Index() == c.Function ? ui::kBlack : ui::kTeal) << option.Index();
  EXPECT_EQ(Text(dialog_.cboRBAutoMode), c.AutoMode);
  EXPECT_EQ(Text(dialog_.cboRBAutoSTime), c.STime);
  EXPECT_EQ(Text(dialog_.cboRBAutoETime), c.ETime);
  EXPECT_EQ(Text(dialog_.cboRBAutoBeep), c.Beep);
  ExpectEnabling(c.AutoModeEnabled, c.SettingsEnabled);
  EXPECT_FALSE(Enabled(dialog_.cmdApply));
  EXPECT_TRUE(SentCodes().empty()) << "opening sends nothing";
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, VirtualButtonOpening,
    ::testing::Values(
        OpeningCase{"as set up", {4, 0, 0, 1, 3, 1}, 4, 0, " Manual Mode", "1", "2", "On", false, false},
        OpeningCase{"drag drop manual", {4, 1, 0, 0, 9, 0}, 4, 1, " Manual Mode", "0.5", "5", "Off", true, false},
        OpeningCase{"drag drop automatic", {4, 1, 1, 2, 5, 1}, 4, 1, " Automatic Mode", "1.5", "3", "On", true, true},
        // Any other mode takes the automatic mode away, whatever is stored for it.
        OpeningCase{"stream with automatic stored", {1, 1, 1, 2, 5, 1}, 1, 1, " Automatic Mode", "1.5", "3", "On",
                    false, false},
        OpeningCase{"touch down", {3, 0, 0, 1, 3, 1}, 3, 0, " Manual Mode", "1", "2", "On", false, false},
        // Stored values the dialog has no choice for show none and keep the rules safe.
        OpeningCase{"mode 0", {0, 1, 1, 1, 3, 1}, kNone, 1, " Automatic Mode", "1", "2", "On", false, false},
        OpeningCase{"mode 7", {7, 1, 0, 1, 3, 1}, kNone, 1, " Manual Mode", "1", "2", "On", false, false},
        OpeningCase{"function 2", {4, 2, 1, 1, 3, 1}, 4, kNone, " Automatic Mode", "1", "2", "On", false, false},
        OpeningCase{"automatic mode 2", {4, 1, 2, 1, 3, 1}, 4, 1, "", "1", "2", "On", true, false},
        OpeningCase{"delays 10 and 255, beep 3", {4, 1, 1, 10, 255, 3}, 4, 1, " Automatic Mode", "", "", "", true,
                    true}),
    [](const auto& info) {
      std::string name = info.param.What;
      for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST_F(VirtualButtonDialog, OffersTheModesAndListsInTheSystemsWords) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_FALSE(main_.Visible());
  EXPECT_EQ(test::WindowText(dialog_.hwnd()), kControlPanelTitle);
  const char* modes[] = {" Stream Mode", " Lift Off Mode", " Touch Down Mode", " Drag Drop Mode"};
  for (ui::OptionButton& option : dialog_.optVirtualButton)
    EXPECT_EQ(Text(option), modes[option.Index() - 1]) << option.Index();
  EXPECT_EQ(Text(dialog_.optRBFunction(0)), "Disable ( Off )");
  EXPECT_EQ(Text(dialog_.optRBFunction(1)), "Enable  ( On )");
  const auto items = [](const ui::ComboBox& combo) {
    std::vector<std::string> list;
    for (int i = 0; i < combo.ListCount(); ++i) list.push_back(combo.List(i));
    return list;
  };
  const std::vector<std::string> delays = {"0.5", "1", "1.5", "2", "2.5", "3", "3.5", "4", "4.5", "5"};
  EXPECT_EQ(items(dialog_.cboRBAutoMode), (std::vector<std::string>{" Manual Mode", " Automatic Mode"}));
  EXPECT_EQ(items(dialog_.cboRBAutoSTime), delays);
  EXPECT_EQ(items(dialog_.cboRBAutoETime), delays);
  EXPECT_EQ(items(dialog_.cboRBAutoBeep), (std::vector<std::string>{"Off", "On"}));
  EXPECT_EQ(SendMessageA(dialog_.cboRBAutoSTime.hwnd(), CB_GETCOUNT, 0, 0), 10) << "the lists reach the windows";
  EXPECT_EQ(HourglassCount(), 0);
}

// ---- Changing values: which controls apply, and whether Apply is offered ----

struct ChangeCase {
  const char* What;
  Fields Stored;
  std::function<void(frmVirtualButton&)> Act;
  bool AutoModeEnabled, SettingsEnabled;
  bool Apply;
};

TEST_F(VirtualButtonDialog, TheAutomaticModeAppliesOnlyToDragDropWithTheRightButtonOn) {
  using D = frmVirtualButton;
  const Fields automatic{4, 1, 1, 1, 3, 1};
  const std::vector<ChangeCase> cases = {
      {"another mode", automatic, [](D& d) { Click(d.optVirtualButton(2)); }, false, false, true},
      {"another mode and back", automatic, [](D& d) { Click(d.optVirtualButton(2)); Click(d.optVirtualButton(4)); },
       true, true, false},
      {"the chosen mode again", automatic, [](D& d) { Click(d.optVirtualButton(4)); }, true, true, false},
      {"right button off", automatic, [](D& d) { Click(d.optRBFunction(0)); }, false, false, true},
      {"manual chosen", automatic, [](D& d) { Pick(d.cboRBAutoMode, " Manual Mode"); }, true, false, true},
      {"automatic chosen", {4, 1, 0, 1, 3, 1}, [](D& d) { Pick(d.cboRBAutoMode, " Automatic Mode"); }, true, true,
       true},
      {"drag drop chosen with automatic stored", {2, 1, 1, 1, 3, 1}, [](D& d) { Click(d.optVirtualButton(4)); }, true,
       true, true},
      {"right button on in drag drop", {4, 0, 1, 1, 3, 1}, [](D& d) { Click(d.optRBFunction(1)); }, true, true, true},
      {"a delay", automatic, [](D& d) { Pick(d.cboRBAutoSTime, "1.5"); }, true, true, true},
      {"the beep", automatic, [](D& d) { Pick(d.cboRBAutoBeep, "Off"); }, true, true, true},
      {"a delay and back", automatic, [](D& d) { Pick(d.cboRBAutoETime, "4"); Pick(d.cboRBAutoETime, "2"); }, true,
       true, false},
      // The automatic settings count only where they apply.
      {"a delay, then back to the stored mode outside drag drop", {2, 1, 1, 1, 3, 1},
       [](D& d) { Click(d.optVirtualButton(4)); Pick(d.cboRBAutoSTime, "4"); Click(d.optVirtualButton(2)); }, false,
       false, false},
      {"a delay, then manual as stored", {4, 1, 0, 1, 3, 1},
       [](D& d) { Pick(d.cboRBAutoMode, " Automatic Mode"); Pick(d.cboRBAutoSTime, "4"); Pick(d.cboRBAutoMode, " Manual Mode"); },
       true, false, false},
      {"the automatic mode, then the right button off as stored", {4, 0, 0, 1, 3, 1},
       [](D& d) { Click(d.optRBFunction(1)); Pick(d.cboRBAutoMode, " Automatic Mode"); Click(d.optRBFunction(0)); },
       false, false, false},
      // Typing into a combo's field is no choice.
      {"typing a delay", automatic, [](D& d) { Type(d.cboRBAutoSTime, "4.5"); Type(d.cboRBAutoMode, " Manual Mode"); },
       true, true, false},
      // A stored value outside the lists stays until the user chooses.
      {"automatic mode 2, manual chosen", {4, 1, 2, 1, 3, 1}, [](D& d) { Pick(d.cboRBAutoMode, " Manual Mode"); },
       true, false, true},
      {"mode 7, drag drop chosen", {7, 1, 1, 1, 3, 1}, [](D& d) { Click(d.optVirtualButton(4)); }, true, true, true},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    c.Act(dialog_);
    ExpectEnabling(c.AutoModeEnabled, c.SettingsEnabled);
    EXPECT_EQ(Enabled(dialog_.cmdApply), c.Apply);
    for (ui::OptionButton& option : dialog_.optVirtualButton)
      EXPECT_EQ(option.ForeColor(), Checked(option) ? ui::kBlack : ui::kTeal) << option.Index();
    for (ui::OptionButton& option : dialog_.optRBFunction)
      EXPECT_EQ(option.ForeColor(), Checked(option) ? ui::kBlack : ui::kTeal) << option.Index();
    Click(dialog_.cmdCandel);
    EXPECT_TRUE(SentCodes().empty()) << "nothing is sent while controls change, nor on Cancel";
  }
}

// ---- Apply: the block to the driver, then the tool started or told to quit ----

enum class ToolAction { Start, Quit };

struct ApplyCase {
  const char* What;
  Fields Stored;
  std::function<void(frmVirtualButton&)> Act;
  Fields Sent;
  ToolAction Tool;
  const char* Status;
};

TEST_F(VirtualButtonDialog, ApplySendsTheBlockAndStartsOrStopsTheTool) {
  using D = frmVirtualButton;
  const std::vector<ApplyCase> cases = {
      {"right button on, manual", {4, 0, 0, 1, 3, 1}, [](D& d) { Click(d.optRBFunction(1)); }, {4, 1, 0, 1, 3, 1},
       ToolAction::Start, "Drag Drop Mode, RBF Enable ( Manual Mode )"},
      {"automatic chosen", {4, 1, 0, 1, 3, 1}, [](D& d) { Pick(d.cboRBAutoMode, " Automatic Mode"); },
       {4, 1, 1, 1, 3, 1}, ToolAction::Quit, "Drag Drop Mode, RBF Enable ( Automatic Mode )"},
      {"right button off", {4, 1, 1, 1, 3, 1}, [](D& d) { Click(d.optRBFunction(0)); }, {4, 0, 1, 1, 3, 1},
       ToolAction::Quit, "Drag Drop Mode, RBF Disable"},
      {"right button off in stream mode", {1, 1, 0, 1, 3, 1}, [](D& d) { Click(d.optRBFunction(0)); },
       {1, 0, 0, 1, 3, 1}, ToolAction::Quit, "Stream Mode, RBF Disable"},
      // Outside drag drop the tool is needed even with the automatic mode stored.
      {"stream mode", {4, 1, 1, 1, 3, 1}, [](D& d) { Click(d.optVirtualButton(1)); }, {1, 1, 1, 1, 3, 1},
       ToolAction::Start, "Stream Mode, RBF Enable"},
      {"lift off mode", {4, 1, 1, 1, 3, 1}, [](D& d) { Click(d.optVirtualButton(2)); }, {2, 1, 1, 1, 3, 1},
       ToolAction::Start, "Lift Off Mode, RBF Enable"},
      {"touch down mode", {4, 1, 1, 1, 3, 1}, [](D& d) { Click(d.optVirtualButton(3)); }, {3, 1, 1, 1, 3, 1},
       ToolAction::Start, "Touch Down Mode, RBF Enable"},
      // The list index is stored: "1.5" is index 2, "5" index 9.
      {"delays 1.5 and 5, beep off", {4, 1, 1, 1, 3, 1},
       [](D& d) { Pick(d.cboRBAutoSTime, "1.5"); Pick(d.cboRBAutoETime, "5"); Pick(d.cboRBAutoBeep, "Off"); },
       {4, 1, 1, 2, 9, 0}, ToolAction::Quit, "Drag Drop Mode, RBF Enable ( Automatic Mode )"},
      // Values without a choice in the dialog go back as they were stored.
      {"mode 7 kept", {7, 1, 0, 1, 3, 1}, [](D& d) { Click(d.optRBFunction(0)); }, {7, 0, 0, 1, 3, 1},
       ToolAction::Quit, "Invalid#7,0,0"},
      {"out-of-range automatic settings kept", {4, 1, 2, 10, 255, 3}, [](D& d) { Click(d.optVirtualButton(3)); },
       {3, 1, 2, 10, 255, 3}, ToolAction::Start, "Touch Down Mode, RBF Enable"},
      {"function 2 replaced", {4, 2, 0, 1, 3, 1}, [](D& d) { Click(d.optRBFunction(1)); }, {4, 1, 0, 1, 3, 1},
       ToolAction::Start, "Drag Drop Mode, RBF Enable ( Manual Mode )"},
  };
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(c.Stored));
    ASSERT_NO_FATAL_FAILURE(RegisterStandIn());
    fs::remove(StartMark());
    c.Act(dialog_);
    ASSERT_TRUE(Enabled(dialog_.cmdApply));
    Click(dialog_.cmdApply);

    std::vector<JournalEntry> journal;
    const std::vector<uint32_t> codes = SentCodes(&journal);
    const bool starts = c.Tool == ToolAction::Start;
    // Starting sends nothing more; the quit request looks the tool up first.
    const std::vector<uint32_t> expectedCodes =
        starts ? std::vector<uint32_t>{kWriteVirtualButton}
               : std::vector<uint32_t>{kWriteVirtualButton, kGetRightButtonSlot};
    EXPECT_EQ(codes, expectedCodes);
    ASSERT_FALSE(journal.empty());
    const ParamBlock expected = BlockWith(c.Sent);
    ASSERT_EQ(journal[0].Length, sizeof expected);
    EXPECT_EQ(std::memcmp(journal[0].Data, &expected, sizeof expected), 0)
        << "bytes 40, 53..57 sent: " << int(journal[0].Data[40]) << " " << int(journal[0].Data[53]) << " "
        << int(journal[0].Data[54]) << " " << int(journal[0].Data[55]) << " " << int(journal[0].Data[56]) << " "
        << int(journal[0].Data[57]);
    if (starts) {
      EXPECT_TRUE(ToolStarted()) << "the tool was not started";
      EXPECT_TRUE(standIn_.Received().empty());
    } else {
      EXPECT_EQ(standIn_.Received(), std::vector<WPARAM>{device::kQuitTool});
      EXPECT_FALSE(fs::exists(StartMark())) << "the tool was started";
    }
    EXPECT_EQ(MainStatus(), c.Status);
    EXPECT_FALSE(Enabled(dialog_.cmdApply));
    EXPECT_TRUE(dialog_.Visible()) << "Apply keeps the dialog open";
    EXPECT_EQ(HourglassCount(), 0);
    Click(dialog_.cmdCandel);
  }
}

TEST_F(VirtualButtonDialog, WithNoToolRegisteredTheQuitRequestGoesNowhere) {
  ASSERT_NO_FATAL_FAILURE(Open({4, 1, 0, 1, 3, 1}));
  Click(dialog_.optRBFunction(0));
  Click(dialog_.cmdApply);
  EXPECT_EQ(SentCodes(), (std::vector<uint32_t>{kWriteVirtualButton, kGetRightButtonSlot}));
  EXPECT_EQ(MainStatus(), "Drag Drop Mode, RBF Disable");
}

// ---- OK and Cancel ----

TEST_F(VirtualButtonDialog, OkAppliesOnlyChangesAndCancelLeavesDriverAndToolAlone) {
  struct Case {
    const char* What;
    std::function<void(frmVirtualButton&)> Act;
    bool Applies;
  };
  using D = frmVirtualButton;
  const auto change = [](D& d) { Click(d.optVirtualButton(1)); };
  for (const Case& c : {Case{"OK without changes", [](D& d) { Click(d.cmdOK); }, false},
                        Case{"Cancel after a change", [&](D& d) { change(d); Click(d.cmdCandel); }, false},
                        Case{"close box after a change", [&](D& d) { change(d); SendMessageA(d.hwnd(), WM_CLOSE, 0, 0); },
                             false},
                        Case{"OK after a change", [&](D& d) { change(d); Click(d.cmdOK); }, true},
                        Case{"Apply, then OK", [&](D& d) { change(d); Click(d.cmdApply); Click(d.cmdOK); }, true}}) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open({4, 1, 1, 1, 3, 1}));
    ASSERT_NO_FATAL_FAILURE(RegisterStandIn());
    fs::remove(StartMark());
    const std::string before = MainStatus();
    c.Act(dialog_);
    EXPECT_FALSE(dialog_.Loaded());
    EXPECT_TRUE(main_.Visible()) << "every unload brings the main window back";
    if (c.Applies) {
      EXPECT_EQ(SentCodes(), std::vector<uint32_t>{kWriteVirtualButton});
      EXPECT_TRUE(ToolStarted());
      EXPECT_EQ(MainStatus(), "Stream Mode, RBF Enable");
    } else {
      EXPECT_TRUE(SentCodes().empty());
      EXPECT_EQ(MainStatus(), before);
      EXPECT_TRUE(standIn_.Received().empty()) << "the tool was told something";
      EXPECT_FALSE(fs::exists(StartMark())) << "the tool was started";
    }
    // The next opening shows what was applied, and nothing that was left unapplied.
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_EQ(ChosenOption(dialog_.optVirtualButton), c.Applies ? 1 : 4);
    EXPECT_FALSE(Enabled(dialog_.cmdApply));
    Click(dialog_.cmdCandel);
  }
}

}  // namespace
}  // namespace koral::panel
