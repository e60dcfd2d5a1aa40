// The real control panel under Wine against the real substitute driver: calibrations started
// from the main window's button, touched through the driver's simulation codes at the cross
// marks of the window's actual size, with every message box answered as a user would, and the
// outcome read back from the driver's journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/calibration/calibration_computation.h"
#include "common/calibration/calibration_session.h"
#include "common/calibration/pointer_mapping.h"
#include "common/calibration/safeguards.h"
#include "common/calibration/synthetic_panel.h"
#include "common/calibration/targets.h"
#include "common/core/messages.h"
#include "common/core/titles.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "programs/panel/tests/panel_program.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/slot_stand_in.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral::calibration {
namespace {

using panel::tests::Control;

using namespace std::chrono_literals;

constexpr char kPanel[] = "KORALpcp.exe";
constexpr char kQuestionCaption[] = "TouchScreen Calibration";
constexpr char kFailureCaption[] = "Touchscreen Calibration";
constexpr char kBreakQuestion[] = "Are you sure you want to break calibration?";
constexpr char kCompletionQuestion[] =
    "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
    "To save new calibration, click Yes button.\rTo restore old calibration, click No button.";

bool Shown(HWND window) { return window && IsWindowVisible(window); }

// The button a box gives to Enter: the one drawn as the default push button.
int DefaultButton(HWND box) {
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    const HWND button = GetDlgItem(box, id);
    if (button && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return id;
  }
  return 0;
}

// Whether the cursor of the foreground window's thread shows.
bool CursorShown() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) != 0;
}

int32_t EventOf(const JournalEntry& e) {
  int32_t value = 0;
  std::memcpy(&value, e.Data, sizeof value);
  return value;
}

class CalibrationEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
    SetCalibrationMode(kCornerMode);
    // The safeguards stay off unless a test turns them on.
    ClearSafeguards();
    // Old values of their own, so that putting them back is seen.
    block_ = sim::SimClient::DefaultBlock();
    block_.CalXLeft = 71;
    block_.CalXCenter = 505;
    block_.CalXRight = 951;
    block_.CalYTop = 62;
    block_.CalYCenter = 498;
    block_.CalYBottom = 947;
    block_.PanelDirection = 2;
  }

  void TearDown() override {
    if (panel_.Running()) {
      // A run left open is broken off first; the main window shows again and can be closed.
      if (IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
      if (test::WaitUntil([&] { return Shown(main_); }, 5s)) PostMessageA(main_, WM_CLOSE, 0, 0);
      panel_.WaitForExit(5s);
    }
    ClearSafeguards();
    sim_.Reset();
  }

  static void ClearSafeguards() {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    RegDeleteValueA(key.get(), kTouchToleranceValue);
    RegDeleteValueA(key.get(), kKeepSecondsValue);
  }

  static void SetSafeguard(const char* name, int32_t value) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_TRUE(registry::WriteNumber(key.get(), name, value));
  }

  static void SetCalibrationMode(int32_t mode) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_TRUE(registry::WriteNumber(key.get(), "CalibrationMode", mode));
  }

  // Loads the block, starts the panel and waits for its main window; the journal then starts
  // empty.
  void StartPanel() {
    ASSERT_TRUE(sim_.LoadBlock(block_));
    ASSERT_TRUE(panel_.Start(kPanel, "", from_.empty() ? test::ProgramFolder() : from_.string()));
    main_ = test::WaitForVisibleWindow(kControlPanelTitle);
    ASSERT_NE(main_, nullptr) << "the main window did not appear";
    sim_.ReadJournal();
    journal_.clear();
  }

  // Presses Calibration and waits for the calibration window.
  void OpenCalibration() {
    PostMessageA(Control(main_, "cmdCalibration"), BM_CLICK, 0, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return (window_ = test::FindForm(panel_.Id(), "frmCalibration")) != nullptr; }))
        << "the calibration window did not appear";
    surface_ = Control(window_, "picCalibration");
  }

  void StartCalibration() {
    ASSERT_NO_FATAL_FAILURE(StartPanel());
    ASSERT_NO_FATAL_FAILURE(OpenCalibration());
  }

  std::string Text(const char* name) { return test::ControlText(Control(window_, name)); }
  bool Visible(const char* name) { return Shown(Control(window_, name)); }

  // Every journal entry since the panel showed its main window, oldest first.
  const std::vector<JournalEntry>& Journal() {
    for (const JournalEntry& e : sim_.ReadJournal()) journal_.push_back(e);
    return journal_;
  }
  std::vector<uint32_t> Codes() {
    std::vector<uint32_t> codes;
    for (const JournalEntry& e : Journal()) codes.push_back(e.Code);
    return codes;
  }
  // The calibration events (0xF2040) in order.
  std::vector<int32_t> Events() {
    std::vector<int32_t> events;
    for (const JournalEntry& e : Journal())
      if (e.Code == kCalibrationEvent) events.push_back(EventOf(e));
    return events;
  }
  std::vector<ParamBlock> CalibrationWrites() {
    std::vector<ParamBlock> writes;
    for (const JournalEntry& e : Journal())
      if (e.Code == kWriteCalibration) writes.push_back(sim::BlockOf(e));
    return writes;
  }
  size_t Taken() {
    const auto events = Events();
    return static_cast<size_t>(std::count(events.begin(), events.end(), kCalPointAccepted));
  }

  // Where the window asks for a target to be touched, from its drawing surface's actual size.
  PixelPoint MarkCentre(int target) {
    RECT inner{};
    GetClientRect(surface_, &inner);
    return CrossMarkOf(target, GeometryOf(inner.right, inner.bottom))->Centre();
  }

  bool WaitForPrompt(int target) {
    const std::string expected = "show on the " + std::string(kTargetNames[static_cast<size_t>(target)]) + " of the screen";
    return test::WaitUntil([&] {
      return Visible("lblMesg2") && !Visible("lblMesg3") && Text("lblMesg2") == expected &&
             Text("lblMesg1") == "Please touch on the center of Cross Mark that";
    });
  }

  // A finger resting at the raw point, reporting as a controller does, until the window takes
  // the reading; then lifted.
  void Touch(PanelPoint at) {
    const size_t before = Taken();
    EXPECT_TRUE(test::WaitUntil([&] {
      sim_.PushSample(at.X, at.Y, true);
      return Taken() > before;
    })) << "the touch at " << at.X << "," << at.Y << " was not taken";
    sim_.PushSample(at.X, at.Y, false);
  }

  // Touches the four targets of the mode through the panel; returns the raw readings given.
  CalibrationInput TouchTargets(int32_t mode, const SyntheticPanel& panel) {
    CalibrationInput in;
    in.CalibrationMode = mode;
    in.OrientationCode = panel.Orientation;
    in.ResolutionX = block_.ResolutionX;
    in.ResolutionY = block_.ResolutionY;
    const int first = mode == kCornerMode ? kFirstCornerTarget : kFirstEdgeTarget;
    for (int target = first; target < first + 4; ++target) {
      EXPECT_TRUE(WaitForPrompt(target)) << "no prompt for " << kTargetNames[static_cast<size_t>(target)];
      const PixelPoint at = MarkCentre(target);
      const PanelPoint raw = panel.Touch(at.X, at.Y);
      in.PointX[target] = raw.X;
      in.PointY[target] = raw.Y;
      Touch(raw);
    }
    return in;
  }

  // The text of the panel's open box with the caption, empty when none shows; never waits.
  static std::string BoxText(const char* caption) {
    const HWND box = FindWindowA("#32770", caption);
    char text[1024] = {};
    if (box) GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
  }

  // Touches the four corners, the third 150 pixels off its mark towards the screen's middle on
  // both axes (off both ways, so it alone does not fit).
  void TouchCornersThirdOff(const SyntheticPanel& panel, CalibrationInput& touched) {
    touched.CalibrationMode = kCornerMode;
    touched.ResolutionX = block_.ResolutionX;
    touched.ResolutionY = block_.ResolutionY;
    for (int target = 1; target <= 4; ++target) {
      ASSERT_TRUE(WaitForPrompt(target));
      PixelPoint at = MarkCentre(target);
      if (target == 3) at = {at.X + (at.X < 512 ? 150 : -150), at.Y + (at.Y < 384 ? 150 : -150)};
      const PanelPoint raw = panel.Touch(at.X, at.Y);
      touched.PointX[target] = raw.X;
      touched.PointY[target] = raw.Y;
      Touch(raw);
    }
  }

  void PressEscape() { PostMessageA(surface_, WM_CHAR, 27, 0); }

  bool WaitForClose() {
    return test::WaitUntil([&] { return !IsWindow(window_) && Shown(main_); });
  }

  sim::SimClient sim_;
  test::RunningProgram panel_;
  std::filesystem::path from_;  // the folder the panel runs from; empty: the programs' folder
  ParamBlock block_{};
  HWND main_ = nullptr;
  HWND window_ = nullptr;
  HWND surface_ = nullptr;
  std::vector<JournalEntry> journal_;
};

TEST_F(CalibrationEndToEnd, RunsKeptWithYesLeaveTheComputedValuesInTheDriver) {
  struct Case {
    const char* name;
    int32_t mode;
    SyntheticPanel panel;
  };
  const Case cases[] = {
      {"corners, wires exchanged and Y mirrored", kCornerMode, {6, 40, 1000, 25, 965, 1024, 768, 0}},
      {"edges, X mirrored, picture turned half way", kEdgeMode, {1, 180, 860, 120, 880, 1024, 768, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetCalibrationMode(c.mode);
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(sim_.SetCompanionSlot(-1, c.panel.Orientation));
    ASSERT_NO_FATAL_FAILURE(StartCalibration());
    EXPECT_FALSE(Shown(main_)) << "the main window stays hidden while calibrating";
    EXPECT_EQ(Text("lblResolution"), "Resolution: 1024 X 768");
    EXPECT_EQ(Text("lblHelp"), "Press ESC key to break calibration");
    EXPECT_TRUE(WaitForPrompt(c.mode == kCornerMode ? kFirstCornerTarget : kFirstEdgeTarget));
    EXPECT_FALSE(CursorShown()) << "the cursor hides while the marks are touched";

    const CalibrationInput touched = TouchTargets(c.mode, c.panel);
    const CalibrationResult expected = ComputeCalibration(touched);
    ASSERT_TRUE(expected.Succeeded()) << expected.Reason;
    EXPECT_EQ(expected.Calibration.PanelDirection, c.panel.Direction);

    const auto box = test::WaitForMessageBox(kQuestionCaption);
    ASSERT_TRUE(box) << "no completion question";
    EXPECT_EQ(box->Text, kCompletionQuestion);
    EXPECT_EQ(DefaultButton(box->Box), IDYES);
    EXPECT_FALSE(Visible("picCalibration")) << "the surface hides while the new values are tried";
    EXPECT_TRUE(CursorShown()) << "the cursor shows to try the new values";
    const auto writes = CalibrationWrites();
    ASSERT_EQ(writes.size(), 1u) << "the new values are in force while the question is open";
    EXPECT_EQ(CalibrationOf(writes[0]), expected.Calibration);
    test::AnswerMessageBox(box->Box, IDYES);
    ASSERT_TRUE(WaitForClose());
    EXPECT_TRUE(CursorShown());

    EXPECT_EQ(Codes(), (std::vector<uint32_t>{kGetCompanionSlot, kCalibrationEvent, kCalibrationEvent,
                                              kCalibrationEvent, kCalibrationEvent, kWriteCalibration,
                                              kCalibrationEvent}));
    EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5, 0}));
    const auto now = sim_.ReadBlock();
    ASSERT_TRUE(now);
    EXPECT_EQ(CalibrationOf(*now), expected.Calibration);

    PostMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
  }
}

TEST_F(CalibrationEndToEnd, AnsweringNoGivesTheDriverBackItsOldValues) {
  ASSERT_NO_FATAL_FAILURE(StartCalibration());
  const CalibrationInput touched = TouchTargets(kCornerMode, SyntheticPanel{});
  const auto box = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(box);
  PressEscape();  // too late to break off: no question comes inside this one
  test::AnswerMessageBox(box->Box, IDNO);
  ASSERT_TRUE(WaitForClose());

  const auto writes = CalibrationWrites();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(CalibrationOf(writes[0]), ComputeCalibration(touched).Calibration);
  EXPECT_EQ(CalibrationOf(writes[1]), CalibrationOf(block_));
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5, 0}));
  const auto now = sim_.ReadBlock();
  ASSERT_TRUE(now);
  EXPECT_EQ(std::memcmp(&*now, &block_, sizeof block_), 0) << "the driver's block is as it was";
}

// The substitute driver refusing a calibration write: the user is told which values stay, is
// never asked to keep values the driver did not take, and the driver's block is what it took.
TEST_F(CalibrationEndToEnd, ACalibrationWriteTheDriverRefusesIsToldAndNeverCalledComplete) {
  struct Case {
    const char* name;
    bool refuseNew;  // else the old values sent back after No
    const char* told;
    size_t writesJournalled;  // refused requests leave no entry
  };
  const Case cases[] = {
      {"the new values", true, kCalibrationSaveFailureText, 0},
      {"the old values sent back", false, kCalibrationRestoreFailureText, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(StartCalibration());
    if (c.refuseNew) ASSERT_TRUE(sim_.Refuse(kWriteCalibration, 1));
    const CalibrationInput touched = TouchTargets(kCornerMode, SyntheticPanel{});
    if (!c.refuseNew) {
      const auto question = test::WaitForMessageBox(kQuestionCaption);
      ASSERT_TRUE(question) << "no keep question";
      ASSERT_TRUE(sim_.Refuse(kWriteCalibration, 1));
      test::AnswerMessageBox(question->Box, IDNO);
      ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(question->Box); })) << "the keep question stayed";
    }
    const auto box = test::WaitForMessageBox(kFailureCaption);
    ASSERT_TRUE(box) << "the refusal was not told";
    // Window captions match without regard to case: the text tells the two boxes apart.
    EXPECT_EQ(box->Text, c.told);
    test::AnswerMessageBox(box->Box, IDOK);
    ASSERT_TRUE(WaitForClose()) << "the run did not end with the message (a keep question after it?)";

    EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5, 0}));
    const auto writes = CalibrationWrites();
    ASSERT_EQ(writes.size(), c.writesJournalled);
    const auto now = sim_.ReadBlock();
    ASSERT_TRUE(now);
    if (c.refuseNew) {
      EXPECT_EQ(std::memcmp(&*now, &block_, sizeof block_), 0) << "the driver's block is as it was";
    } else {
      EXPECT_EQ(CalibrationOf(*now), ComputeCalibration(touched).Calibration) << "the new values stay";
    }
    PostMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
    ASSERT_TRUE(sim_.Reset());
  }
}

TEST_F(CalibrationEndToEnd, EscapeAnsweredNoGoesOnAtTheSameTarget) {
  ASSERT_NO_FATAL_FAILURE(StartCalibration());
  const SyntheticPanel panel;
  ASSERT_TRUE(WaitForPrompt(1));
  const PixelPoint first = MarkCentre(1);
  Touch(panel.Touch(first.X, first.Y));
  ASSERT_TRUE(WaitForPrompt(2));

  PressEscape();
  const auto box = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(box) << "Escape asked nothing";
  EXPECT_EQ(box->Text, kBreakQuestion);
  EXPECT_EQ(DefaultButton(box->Box), IDNO);
  EXPECT_TRUE(CursorShown()) << "the cursor shows for the question";
  EXPECT_FALSE(Visible("picMesg"));
  EXPECT_FALSE(Visible("lblHelp"));
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 0}));
  test::AnswerMessageBox(box->Box, IDNO);

  ASSERT_TRUE(test::WaitUntil([&] { return Visible("picMesg") && Visible("lblHelp"); }));
  EXPECT_TRUE(test::WaitUntil([] { return !CursorShown(); })) << "and hides again after it";
  EXPECT_TRUE(WaitForPrompt(2)) << "capture goes on at TOP-RIGHT";
  for (int target = 2; target <= 4; ++target) {
    ASSERT_TRUE(WaitForPrompt(target));
    const PixelPoint at = MarkCentre(target);
    Touch(panel.Touch(at.X, at.Y));
  }
  const auto done = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->Text, kCompletionQuestion);
  test::AnswerMessageBox(done->Box, IDYES);
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 0, 5, 5, 5, 0}));
  EXPECT_EQ(CalibrationWrites().size(), 1u);
}

TEST_F(CalibrationEndToEnd, ATouchLiftedBeforeItIsTakenStartsOver) {
  ASSERT_NO_FATAL_FAILURE(StartCalibration());
  ASSERT_TRUE(WaitForPrompt(1));
  // A finger that slides never rests still, so it cannot be taken whatever the window reads.
  for (int16_t x = 300; x < 310; ++x) ASSERT_TRUE(sim_.PushSample(x, 400, true));
  ASSERT_TRUE(sim_.PushSample(309, 400, false));
  EXPECT_TRUE(WaitForPrompt(1)) << "the prompt stays at TOP-LEFT";
  EXPECT_EQ(Taken(), 0u);

  const SyntheticPanel panel;
  const CalibrationInput touched = TouchTargets(kCornerMode, panel);
  const auto box = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(box);
  test::AnswerMessageBox(box->Box, IDYES);
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5, 0}));
  const auto writes = CalibrationWrites();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(CalibrationOf(writes[0]), ComputeCalibration(touched).Calibration)
      << "only the touches that rested were taken";
}

TEST_F(CalibrationEndToEnd, APanelTouchedAtTheStartMustBeReleasedFirst) {
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  ASSERT_TRUE(sim_.PushSample(512, 384, true));
  ASSERT_NO_FATAL_FAILURE(OpenCalibration());
  ASSERT_TRUE(test::WaitUntil([&] { return Events() == std::vector<int32_t>{3}; }));
  EXPECT_TRUE(Visible("lblMesg3"));
  EXPECT_EQ(Text("lblMesg3"), "PLEASE LIFT OFF TO START CALIBRATION!");
  EXPECT_FALSE(Visible("lblMesg1"));
  EXPECT_FALSE(Visible("lblMesg2"));

  ASSERT_TRUE(sim_.PushSample(512, 384, false));
  EXPECT_TRUE(WaitForPrompt(1)) << "the first target follows the release";
  EXPECT_EQ(Events(), std::vector<int32_t>{3});
}

// Escape answered Yes, also while a panel held from the start is awaited (it might never report
// a release), and closing the window, all end the run with ModeArg 4 and nothing else sent.
TEST_F(CalibrationEndToEnd, BreakingOffLeavesTheDriverAsItWas) {
  struct Case {
    const char* name;
    bool touchedAtStart;
    bool escape;  // else the window is closed
    std::vector<int32_t> events;
  };
  const Case cases[] = {
      {"Escape answered Yes at the first target", false, true, {0, 4}},
      {"Escape answered Yes while the panel is held from the start", true, true, {3, 0, 4}},
      {"the window closed", false, false, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(sim_.Reset());
    ASSERT_NO_FATAL_FAILURE(StartPanel());
    if (c.touchedAtStart) {
      ASSERT_TRUE(sim_.PushSample(512, 384, true));
    }
    ASSERT_NO_FATAL_FAILURE(OpenCalibration());
    if (c.touchedAtStart) {
      ASSERT_TRUE(test::WaitUntil([&] { return Events() == std::vector<int32_t>{3}; }));
    } else {
      ASSERT_TRUE(WaitForPrompt(1));
    }
    if (c.escape) {
      PressEscape();
      const auto box = test::WaitForMessageBox(kQuestionCaption);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->Text, kBreakQuestion);
      test::AnswerMessageBox(box->Box, IDYES);
    } else {
      PostMessageA(window_, WM_CLOSE, 0, 0);
    }
    ASSERT_TRUE(WaitForClose());
    EXPECT_TRUE(CursorShown());

    EXPECT_EQ(Events(), c.events);
    std::vector<uint32_t> codes(c.events.size() + 1, kCalibrationEvent);
    codes[0] = kGetCompanionSlot;
    EXPECT_EQ(Codes(), codes);
    const auto now = sim_.ReadBlock();
    ASSERT_TRUE(now);
    EXPECT_EQ(std::memcmp(&*now, &block_, sizeof block_), 0);
    PostMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
  }
}

// The main window only ever stores 0 or 1, but a list left without a selection reports -1 as
// its choice, and the window then has no mode to run.
TEST_F(CalibrationEndToEnd, AModeTheWindowDoesNotSupportIsReportedAndNothingIsCaptured) {
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  const HWND list = Control(main_, "cboCalibration");
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SendMessageA(main_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  ASSERT_NO_FATAL_FAILURE(OpenCalibration());

  const auto box = test::WaitForMessageBox(kControlPanelTitle);
  ASSERT_TRUE(box) << "no message for the mode";
  EXPECT_EQ(box->Text, "Fail to calibration! ( mode -1 not support )");
  EXPECT_EQ(DefaultButton(box->Box), IDOK);
  EXPECT_EQ(GetDlgItem(box->Box, IDCANCEL), nullptr) << "only an OK button";
  EXPECT_TRUE(CursorShown()) << "the cursor shows for the message";
  test::AnswerMessageBox(box->Box, IDOK);
  ASSERT_TRUE(WaitForClose());
  EXPECT_TRUE(CursorShown());
  EXPECT_EQ(Codes(), std::vector<uint32_t>{kGetCompanionSlot});
}

TEST_F(CalibrationEndToEnd, AnUnrecognisedDirectionIsReportedAndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartCalibration());
  const PanelPoint readings[] = {{100, 120}, {300, 118}, {922, 900}, {98, 902}};
  for (int target = 1; target <= 4; ++target) {
    ASSERT_TRUE(WaitForPrompt(target));
    Touch(readings[target - 1]);
  }
  const auto box = test::WaitForMessageBox(kFailureCaption);
  ASSERT_TRUE(box) << "no direction message";
  EXPECT_EQ(box->Text,
            "Incorrect Panel Direction! (00001101-00001110)\r\n\r\n"
            "Please checkout the pinout of your touch panel.");
  EXPECT_TRUE(CursorShown()) << "the cursor shows for the message";
  test::AnswerMessageBox(box->Box, IDOK);
  ASSERT_TRUE(WaitForClose());
  EXPECT_TRUE(CursorShown());
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5}));
  EXPECT_TRUE(CalibrationWrites().empty());
  const auto now = sim_.ReadBlock();
  ASSERT_TRUE(now);
  EXPECT_EQ(std::memcmp(&*now, &block_, sizeof block_), 0);
}

TEST_F(CalibrationEndToEnd, TheRightButtonFunctionIsSuspendedForTheRun) {
  struct Case {
    const char* name;
    uint8_t function, virtualButton, autoMode;
    bool automatic;  // automatic mode switched off and on, rather than the tool hidden and shown
  };
  const Case cases[] = {
      {"automatic mode on drag-and-drop", 1, 4, 1, true},
      {"manual mode on drag-and-drop", 1, 4, 0, false},
      {"automatic mode on touch-down", 1, 3, 1, false},
  };
  // The panel and a stand-in for the tool in an installation folder of the test's own: the panel
  // messages only its installation's tool.
  from_ = std::filesystem::temp_directory_path() / "koral calibration tool";
  ASSERT_TRUE(test::CopyProgram(kPanel, from_));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(sim_.Reset());
    block_.RightButtonFunction = c.function;
    block_.VirtualButton = c.virtualButton;
    block_.RightButtonAutoMode = c.autoMode;
    test::SlotStandIn tool;
    ASSERT_TRUE(tool.Start(from_, test::SlotStandIn::Role::Tool));
    ASSERT_NO_FATAL_FAILURE(StartCalibration());
    ASSERT_TRUE(WaitForPrompt(1));
    if (!c.automatic) {
      EXPECT_TRUE(test::WaitUntil([&] { return !tool.Received().empty(); }));
      EXPECT_EQ(tool.Received(), std::vector<WPARAM>{0x1000});
    }

    PressEscape();
    const auto box = test::WaitForMessageBox(kQuestionCaption);
    ASSERT_TRUE(box);
    test::AnswerMessageBox(box->Box, IDYES);
    ASSERT_TRUE(WaitForClose());

    const auto& journal = Journal();
    ASSERT_GE(journal.size(), 2u);
    if (c.automatic) {
      EXPECT_TRUE(tool.Received().empty());
      ASSERT_EQ(journal.front().Code, kWriteVirtualButton);
      ASSERT_EQ(journal.back().Code, kWriteVirtualButton);
      EXPECT_EQ(sim::BlockOf(journal.front()).RightButtonAutoMode, 0);
      EXPECT_EQ(sim::BlockOf(journal.back()).RightButtonAutoMode, 1);
      const auto now = sim_.ReadBlock();
      ASSERT_TRUE(now);
      EXPECT_EQ(now->RightButtonAutoMode, 1);
    } else {
      EXPECT_TRUE(test::WaitUntil([&] { return tool.Received().size() == 2; }));
      EXPECT_EQ(tool.Received(), (std::vector<WPARAM>{0x1000, 0x1001}));
      EXPECT_EQ(journal.front().Code, kGetRightButtonSlot);
      EXPECT_EQ(journal.back().Code, kGetRightButtonSlot);
      const auto codes = Codes();
      EXPECT_EQ(std::count(codes.begin(), codes.end(), kWriteVirtualButton), 0);
    }
    PostMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
  }
  from_.clear();
}

// The mouse as the panel: the emulator turns presses on the cross marks into raw samples of a
// mirrored panel whose picture is turned, and the calibration finds that panel.
TEST_F(CalibrationEndToEnd, TheMouseCalibratesThroughThePanelEmulator) {
  const std::string tools = test::ToolFolder();
  test::RunningProgram emulator;
  ASSERT_TRUE(emulator.Start("panel_emulator.exe", "--direction 3 --orientation 1 --quiet", tools));
  ASSERT_TRUE(test::WaitUntil([&] {
    const auto slot = sim_.CompanionSlot();
    return slot && slot->State == 1;
  })) << "the emulator did not give the driver its orientation";
  ASSERT_NO_FATAL_FAILURE(StartCalibration());

  const SyntheticPanel panel{3, 40, 1000, 25, 965, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 1};
  CalibrationInput expected;
  expected.OrientationCode = 1;
  expected.ResolutionX = block_.ResolutionX;
  expected.ResolutionY = block_.ResolutionY;
  for (int target = 1; target <= 4; ++target) {
    ASSERT_TRUE(WaitForPrompt(target));
    const PixelPoint mark = MarkCentre(target);
    POINT at{mark.X, mark.Y};
    ClientToScreen(surface_, &at);
    const PanelPoint raw = panel.Touch(at.x, at.y);
    expected.PointX[target] = raw.X;
    expected.PointY[target] = raw.Y;

    const size_t before = Taken();
    SetCursorPos(at.x, at.y);
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &press, sizeof press);
    EXPECT_TRUE(test::WaitUntil([&] { return Taken() > before; })) << kTargetNames[static_cast<size_t>(target)];
    press.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &press, sizeof press);
  }
  const auto box = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(box);
  const auto writes = CalibrationWrites();
  ASSERT_EQ(writes.size(), 1u);
  const CalibrationResult computed = ComputeCalibration(expected);
  ASSERT_TRUE(computed.Succeeded()) << computed.Reason;
  EXPECT_EQ(computed.Calibration.PanelDirection, 3);
  EXPECT_EQ(CalibrationOf(writes[0]), computed.Calibration);
  test::AnswerMessageBox(box->Box, IDYES);
  ASSERT_TRUE(WaitForClose());
}

// Values out of their ranges leave the safeguards off: a touch far off its mark is taken as it
// is, the keep question has no time limit, and the driver sees exactly the plain run's commands.
TEST_F(CalibrationEndToEnd, SafeguardValuesOutOfRangeLeaveTheRunAsItWas) {
  ASSERT_NO_FATAL_FAILURE(SetSafeguard(kTouchToleranceValue, kGreatestTouchTolerance + 1));
  ASSERT_NO_FATAL_FAILURE(SetSafeguard(kKeepSecondsValue, kLeastKeepSeconds - 1));
  ASSERT_NO_FATAL_FAILURE(StartCalibration());
  const SyntheticPanel panel;
  CalibrationInput touched;
  ASSERT_NO_FATAL_FAILURE(TouchCornersThirdOff(panel, touched));
  const auto box = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->Text, kCompletionQuestion) << "no countdown";
  test::AnswerMessageBox(box->Box, IDNO);
  ASSERT_TRUE(WaitForClose());

  EXPECT_EQ(Codes(), (std::vector<uint32_t>{kGetCompanionSlot, kCalibrationEvent, kCalibrationEvent,
                                            kCalibrationEvent, kCalibrationEvent, kWriteCalibration,
                                            kCalibrationEvent, kWriteCalibration}));
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5, 0}));
  const auto writes = CalibrationWrites();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(CalibrationOf(writes[0]), ComputeCalibration(touched).Calibration) << "the misplaced touch was taken";
  EXPECT_EQ(CalibrationOf(writes[1]), CalibrationOf(block_));
}

// With a touch tolerance a corner touched far off its mark is asked for again, and nothing
// reaches the driver until the four touches fit.
TEST_F(CalibrationEndToEnd, AMisplacedTouchIsAskedForAgainBeforeAnythingIsWritten) {
  ASSERT_NO_FATAL_FAILURE(SetSafeguard(kTouchToleranceValue, 20));
  ASSERT_NO_FATAL_FAILURE(StartCalibration());
  const SyntheticPanel panel;
  CalibrationInput touched;
  ASSERT_NO_FATAL_FAILURE(TouchCornersThirdOff(panel, touched));

  const PromptLines again = TouchPromptLines(kTargetNames[3], true);
  ASSERT_TRUE(test::WaitUntil("the prompt to touch the third mark again", [&] {
    return Visible("lblMesg1") && Text("lblMesg1") == again.First && Text("lblMesg2") == again.Second;
  }));
  EXPECT_EQ(FindWindowA("#32770", kQuestionCaption), nullptr) << "no question yet";
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5}));
  EXPECT_TRUE(CalibrationWrites().empty()) << "nothing is written while a touch does not fit";

  const PixelPoint at = MarkCentre(3);
  const PanelPoint raw = panel.Touch(at.X, at.Y);
  touched.PointX[3] = raw.X;
  touched.PointY[3] = raw.Y;
  Touch(raw);
  const auto box = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->Text, kCompletionQuestion);
  const auto writes = CalibrationWrites();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(CalibrationOf(writes[0]), ComputeCalibration(touched).Calibration) << "from the touch given again";
  test::AnswerMessageBox(box->Box, IDYES);
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5, 5, 0}));
}

// With keep seconds the keep question counts down; left unanswered it restores the old values
// as No does, and says so.
TEST_F(CalibrationEndToEnd, AnUnansweredKeepQuestionRestoresTheOldValuesInTime) {
  ASSERT_NO_FATAL_FAILURE(SetSafeguard(kKeepSecondsValue, kLeastKeepSeconds));
  ASSERT_NO_FATAL_FAILURE(StartCalibration());
  const CalibrationInput touched = TouchTargets(kCornerMode, SyntheticPanel{});
  const auto box = test::WaitForMessageBox(kQuestionCaption);
  ASSERT_TRUE(box);
  // A slow machine may read it a second late.
  EXPECT_TRUE(box->Text == KeepQuestionText(kLeastKeepSeconds) || box->Text == KeepQuestionText(kLeastKeepSeconds - 1))
      << box->Text;
  EXPECT_TRUE(test::WaitUntil("the keep question to count down", [&] {
    return BoxText(kQuestionCaption) == KeepQuestionText(kLeastKeepSeconds - 2);
  }));
  EXPECT_EQ(CalibrationWrites().size(), 1u) << "the new values are tried meanwhile";

  const std::string told = NoticeText(SessionNotice::kRestoredUnanswered);
  ASSERT_TRUE(test::WaitUntil("the message that the old values are back",
                              [&] { return BoxText(kQuestionCaption) == told; }));
  const auto writes = CalibrationWrites();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(CalibrationOf(writes[0]), ComputeCalibration(touched).Calibration);
  EXPECT_EQ(CalibrationOf(writes[1]), CalibrationOf(block_));
  const auto now = sim_.ReadBlock();
  ASSERT_TRUE(now);
  EXPECT_EQ(std::memcmp(&*now, &block_, sizeof block_), 0) << "the driver's block is as it was";

  test::AnswerMessageBox(FindWindowA("#32770", kQuestionCaption), IDOK);
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(Events(), (std::vector<int32_t>{5, 5, 5, 5, 0}));
  EXPECT_EQ(CalibrationWrites().size(), 2u) << "nothing after the restore";
}

}  // namespace
}  // namespace koral::calibration
