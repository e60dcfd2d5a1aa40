// The startup program's window in this process, loaded as the program loads it (its start-up run
// is the end-to-end tests' business): the double-click dialog's bars, its Apply/OK/Cancel rules,
// its test picture and the about box, and the splash layout. Windows' double-click settings are
// changed in the test prefix only and put back after each test.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/core/titles.h"
#include "programs/startup/frmMain.h"
#include "programs/startup/start_sequence.h"
#include "programs/startup/tests/double_click_guard.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tools/sim_client.h"

namespace koral {
namespace startup {
namespace {

using test::Number;
using test::StoredValue;
using OptionalValue = std::optional<StoredValue>;

bool Enabled(const ui::Control& control) { return IsWindowEnabled(control.hwnd()) != FALSE; }
bool Shown(const ui::Control& control) { return IsWindowVisible(control.hwnd()) != FALSE; }
int Position(const ui::HScrollBar& bar) { return GetScrollPos(bar.hwnd(), SB_CTL); }
std::string Text(const ui::Control& control) { return test::WindowText(control.hwnd()); }
void Click(const ui::Control& control) {
  if (Enabled(control)) SendMessageA(control.hwnd(), BM_CLICK, 0, 0);
}
void DoubleClick(const ui::Control& control) {
  if (Shown(control) && Enabled(control)) SendMessageA(control.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
}
// What a scroll bar reports to its container while the user works it.
void Report(const ui::HScrollBar& bar, int code, int position = 0) {
  SendMessageA(GetParent(bar.hwnd()), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar.hwnd()));
}
void Arrow(const ui::HScrollBar& bar, int code) {
  Report(bar, code);
  Report(bar, SB_ENDSCROLL);
}
void Drag(const ui::HScrollBar& bar, int position) {
  Report(bar, SB_THUMBTRACK, position);
  Report(bar, SB_THUMBPOSITION, position);
  Report(bar, SB_ENDSCROLL);
}

class StartupWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
    app_.MainForm(&main_);
  }
  void TearDown() override {
    Close();
    EXPECT_TRUE(sim_.ReadJournal().empty()) << "the window sends the driver nothing";
  }

  // Windows uses `windows`, the model key holds `stored`; the window loads as the dialog.
  void OpenDialog(const DoubleClickSettings& windows, const std::array<OptionalValue, 3>& stored) {
    Close();
    test::SetWindowsDoubleClick(windows);
    test::StoreDoubleClick(stored);
    ASSERT_TRUE(main_.Load()) << "the window did not load";
    main_.Show();
  }
  void OpenDialog(const DoubleClickSettings& windows, const DoubleClickSettings& stored) {
    OpenDialog(windows, {Number(stored.Speed), Number(stored.Width), Number(stored.Height)});
  }
  void Close() {
    app_.EndProgram();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  DoubleClickSettings Bars() const { return {Position(main_.hscTT), Position(main_.hscWW), Position(main_.hscHH)}; }
  std::vector<std::string> SystemLabels() const {
    return {Text(main_.lblSiTT), Text(main_.lblSiWW), Text(main_.lblSiHH)};
  }

  test::DoubleClickGuard guard_;
  sim::SimClient sim_;
  ui::Application app_;
  device::DriverSession driver_;
  ModelKeyStore store_;
  frmMain main_{app_, driver_, store_, true};  // as started with "/SDC"
};

TEST_F(StartupWindow, DialogOpensWithTheStoredValuesAndThoseWindowsUses) {
  const OptionalValue none;
  struct Case {
    const char* name;
    DoubleClickSettings windows;
    std::array<OptionalValue, 3> stored;
    DoubleClickSettings bars;
    std::vector<std::string> labels;
    bool apply;
  };
  const std::vector<Case> cases = {
      {"nothing stored", {500, 32, 32}, {none, none, none}, {500, 32, 32},
       {"Speed: 500", "Width: 32", "Height: 32"}, false},
      // The bars do not move, so Apply is not evaluated although Windows differs.
      {"stored as designed, Windows differs", {700, 4, 4}, {Number(500), Number(32), Number(32)}, {500, 32, 32},
       {"Speed: 500", "Width: 32", "Height: 32"}, false},
      {"stored equal to Windows", {700, 10, 12}, {Number(700), Number(10), Number(12)}, {700, 10, 12},
       {"Speed: 700", "Width: 10", "Hight: 12"}, false},
      {"stored, Windows differs", {500, 32, 32}, {Number(700), Number(10), Number(12)}, {700, 10, 12},
       {"Speed: 700", "Width: 10", "Hight: 12"}, true},
      {"one bar moves, Windows' width differs", {700, 4, 32}, {Number(700), Number(32), Number(32)}, {700, 32, 32},
       {"Speed: 700", "Width: 32", "Height: 32"}, true},
      {"only some stored: the defaults", {500, 32, 32}, {Number(700), none, Number(12)}, {500, 32, 32},
       {"Speed: 500", "Width: 32", "Height: 32"}, false},
      {"a value of another type: the defaults", {500, 32, 32}, {test::Text("700"), Number(10), Number(12)},
       {500, 32, 32}, {"Speed: 500", "Width: 32", "Height: 32"}, false},
      // Beyond the bars' ranges a value is unreadable, as one of another type: the defaults.
      {"outside the bars' ranges", {900, 0, 64}, {Number(2000), Number(-5), Number(100)}, {500, 32, 32},
       {"Speed: 500", "Width: 32", "Height: 32"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(OpenDialog(c.windows, c.stored));
    EXPECT_EQ(Bars(), c.bars);
    EXPECT_EQ((std::vector<std::string>{Text(main_.lblTT), Text(main_.lblWW), Text(main_.lblHH)}), c.labels);
    EXPECT_EQ(SystemLabels(), (std::vector<std::string>{std::to_string(c.windows.Speed),
                                                         std::to_string(c.windows.Width),
                                                         std::to_string(c.windows.Height)}));
    EXPECT_EQ(Enabled(main_.cmdApply), c.apply);
    EXPECT_EQ(test::WindowsDoubleClick(), c.windows) << "opening changes nothing in Windows";
  }
}

TEST_F(StartupWindow, ApplyFollowsWhetherAnythingDiffersFromTheSettingsInForce) {
  using Act = std::function<void(frmMain&)>;
  struct Case {
    const char* name;
    DoubleClickSettings windows;
    Act act;
    const char* label;
    bool apply;
  };
  const DoubleClickSettings stored{600, 10, 12};
  const std::vector<Case> cases = {
      {"speed away and back", stored,
       [](frmMain& w) { Arrow(w.hscTT, SB_LINERIGHT); Arrow(w.hscTT, SB_LINELEFT); }, "Speed: 600", false},
      {"speed away and back, Windows differs", {500, 10, 12},
       [](frmMain& w) { Arrow(w.hscTT, SB_LINERIGHT); Arrow(w.hscTT, SB_LINELEFT); }, "Speed: 600", true},
      {"height dragged away and back", stored, [](frmMain& w) { Drag(w.hscHH, 40); Drag(w.hscHH, 12); },
       "Hight: 12", false},
      {"height dragged away and back, Windows' width differs", {600, 11, 12},
       [](frmMain& w) { Drag(w.hscHH, 40); Drag(w.hscHH, 12); }, "Hight: 12", true},
      {"width one page right", stored, [](frmMain& w) { Arrow(w.hscWW, SB_PAGERIGHT); }, "Width: 18", true},
      {"speed while dragged", stored, [](frmMain& w) { Report(w.hscTT, SB_THUMBTRACK, 750); }, "Speed: 750", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(OpenDialog(c.windows, stored));
    c.act(main_);
    const ui::Label& label = c.label[0] == 'S' ? main_.lblTT : c.label[0] == 'W' ? main_.lblWW : main_.lblHH;
    EXPECT_EQ(Text(label), c.label);
    EXPECT_EQ(Enabled(main_.cmdApply), c.apply);
  }
}

TEST_F(StartupWindow, ApplyHandsTheBarsToWindowsAndStoresThem) {
  ASSERT_NO_FATAL_FAILURE(OpenDialog({500, 32, 32}, {500, 32, 32}));
  Drag(main_.hscTT, 640);
  Drag(main_.hscWW, 9);
  Drag(main_.hscHH, 7);
  ASSERT_TRUE(Enabled(main_.cmdApply));
  Click(main_.cmdApply);
  EXPECT_EQ(test::WindowsDoubleClick(), (DoubleClickSettings{640, 9, 7}));
  EXPECT_EQ(SystemLabels(), (std::vector<std::string>{"640", "9", "7"}));
  EXPECT_FALSE(Enabled(main_.cmdApply));
  EXPECT_EQ(test::UserTexts(), test::Texts({640, 9, 7}));
  EXPECT_EQ(test::Values(HKEY_LOCAL_MACHINE, test::kModelKey),
            (std::array<OptionalValue, 3>{Number(640), Number(9), Number(7)}));
  EXPECT_TRUE(main_.Loaded()) << "Apply keeps the dialog open";
}

TEST_F(StartupWindow, OkAppliesOnlyWhatApplyWouldCancelNothing) {
  struct Case {
    const char* name;
    bool moveBar;
    bool ok;
    DoubleClickSettings windowsAfter;
    int32_t storedSpeedAfter;
  };
  // Windows uses 700/4/4 while 500/32/32 is stored, so the dialog opens with Apply disabled.
  const Case cases[] = {
      {"OK without changes leaves Windows alone", false, true, {700, 4, 4}, 500},
      {"OK after a change applies it", true, true, {510, 32, 32}, 510},
      {"Cancel after a change applies nothing", true, false, {700, 4, 4}, 500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto userBefore = test::Values(HKEY_CURRENT_USER, test::kUserMouseKey);
    ASSERT_NO_FATAL_FAILURE(OpenDialog({700, 4, 4}, {500, 32, 32}));
    if (c.moveBar) Arrow(main_.hscTT, SB_LINERIGHT);
    Click(c.ok ? main_.cmdOK : main_.cmdCandel);
    EXPECT_FALSE(main_.Loaded()) << "the dialog ends";
    EXPECT_EQ(test::WindowsDoubleClick(), c.windowsAfter);
    EXPECT_EQ(test::Values(HKEY_LOCAL_MACHINE, test::kModelKey)[0], Number(c.storedSpeedAfter));
    if (!c.moveBar || !c.ok) {
      EXPECT_EQ(test::Values(HKEY_CURRENT_USER, test::kUserMouseKey), userBefore);
    }
  }
}

TEST_F(StartupWindow, EachRecognisedDoubleClickFlipsTheTestPicture) {
  ASSERT_NO_FATAL_FAILURE(OpenDialog({500, 32, 32}, {500, 32, 32}));
  EXPECT_EQ(main_.imgOFF.Left(), main_.imgON.Left());
  EXPECT_EQ(main_.imgOFF.Top(), main_.imgON.Top());
  EXPECT_LE(std::abs(2 * main_.imgOFF.Left() + main_.imgOFF.Width() - main_.picTest.ScaleWidth()), 15)
      << "centred across";
  EXPECT_LE(std::abs(2 * main_.imgOFF.Top() + main_.imgOFF.Height() - main_.picTest.ScaleHeight()), 15)
      << "centred down";
  struct State {
    bool on;
    COLORREF background;
  };
  const State states[] = {{false, RGB(250, 250, 250)}, {true, RGB(0, 0, 255)}, {false, RGB(250, 250, 250)}};
  for (size_t i = 0; i < std::size(states); ++i) {
    SCOPED_TRACE(i);
    // The user double-clicks the lamp that shows; the other is hidden and takes no clicks.
    if (i > 0) DoubleClick(Shown(main_.imgON) ? main_.imgON : main_.imgOFF);
    EXPECT_EQ(Shown(main_.imgON), states[i].on);
    EXPECT_EQ(Enabled(main_.imgON), states[i].on);
    EXPECT_EQ(Shown(main_.imgOFF), !states[i].on);
    EXPECT_EQ(Enabled(main_.imgOFF), !states[i].on);
    EXPECT_EQ(main_.picTest.Point(30, 30), states[i].background);
  }
}

TEST_F(StartupWindow, IconOpensTheAboutBoxWhichBringsTheWindowBack) {
  ASSERT_NO_FATAL_FAILURE(OpenDialog({500, 32, 32}, {500, 32, 32}));
  SendMessageA(main_.imgIcon.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  frmAbout& about = main_.dialogs.About;
  ASSERT_TRUE(about.Visible());
  EXPECT_FALSE(main_.Visible());
  EXPECT_EQ(Text(about.lblSystem), "TouchScreen System Startup Version 7.2.PS2");
  EXPECT_EQ(test::WindowText(about.hwnd()), " About");
  Click(about.cmdOK);
  EXPECT_TRUE(main_.Visible());
  EXPECT_EQ(GetForegroundWindow(), main_.hwnd());
}

TEST_F(StartupWindow, SplashShowsOnlyTheTitleArea) {
  frmMain splash(app_, driver_, store_, false);
  app_.MainForm(&splash);
  ASSERT_TRUE(splash.Load());
  splash.Show();
  frmMain& main_ = splash;
  EXPECT_EQ(test::WindowText(main_.hwnd()), kStartupTitle);
  EXPECT_EQ(Text(main_.lblSystem), "TouchScreen System Startup Version 7.2.PS2");
  EXPECT_EQ(main_.Height(), 2025);
  for (const ui::Control* hidden : {static_cast<const ui::Control*>(&main_.Shape1),
                                    static_cast<const ui::Control*>(&main_.Frame1),
                                    static_cast<const ui::Control*>(&main_.Frame2)})
    EXPECT_FALSE(Shown(*hidden)) << hidden->Name();
  const int bottom = main_.ScaleHeight();
  EXPECT_GE(bottom, main_.picLogo.Top() + main_.picLogo.Height()) << "the title area shows whole";
  EXPECT_GE(bottom, main_.picIcon.Top() + main_.picIcon.Height());
  for (const ui::Control* below :
       {static_cast<const ui::Control*>(&main_.Frame4), static_cast<const ui::Control*>(&main_.cmdOK)})
    EXPECT_GE(below->Top(), bottom) << below->Name() << " is cut off";
  EXPECT_EQ(main_.picIcon.Left(), 5220);
}

}  // namespace
}  // namespace startup
}  // namespace koral
