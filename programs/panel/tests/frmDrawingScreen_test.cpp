// The touch test screen in this process, opened from the control panel's main window that
// loaded against the real substitute driver. Mouse input arrives at the sheet and the tool bar
// as their windows receive it; what counts is what the sheet holds, how the tool bar looks and
// which touch modes reach the driver.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "programs/panel/frmDrawingScreen.h"
#include "programs/panel/tests/panel_dialog_fixture.h"
#include "tests/support/wait.h"

namespace koral::panel {
namespace {

using namespace tests;
using calibration::frmDrawingScreen;

constexpr COLORREF kSheetWhite = RGB(255, 255, 255);
constexpr COLORREF kStartBlue = RGB(0, 0, 255);

ParamBlock BlockInMode(int touchMode) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.VirtualButton = static_cast<uint8_t>(touchMode);
  block.RightButtonFunction = 1;  // bytes 53..57 travel with every 0xF2060, unchanged
  block.RightButtonAutoSTime = 6;
  return block;
}

// The mouse button as a window receives its press (WM_xBUTTONDOWN) and release (+1).
UINT DownMessage(int button) {
  return button == ui::kLeftButton ? WM_LBUTTONDOWN : button == ui::kRightButton ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
}
WPARAM HeldFlags(int buttons) {
  return (buttons & ui::kLeftButton ? MK_LBUTTON : 0) | (buttons & ui::kRightButton ? MK_RBUTTON : 0) |
         (buttons & ui::kMiddleButton ? MK_MBUTTON : 0);
}

// A right press on a control with the given Shift/Ctrl/Alt keys held.
void PressWithKeys(const ui::Control& control, int button, int shift) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE held[256];
  std::copy(std::begin(keys), std::end(keys), held);
  if (shift & ui::kShiftKey) held[VK_SHIFT] = 0x80;
  if (shift & ui::kCtrlKey) held[VK_CONTROL] = 0x80;
  if (shift & ui::kAltKey) held[VK_MENU] = 0x80;
  SetKeyboardState(held);
  SendMessageA(control.hwnd(), DownMessage(button), HeldFlags(button), 0);
  SetKeyboardState(keys);
  SendMessageA(control.hwnd(), DownMessage(button) + 1, 0, 0);
}

// Another window of the program, to take the activation away from the test screen.
class frmOther : public ui::Form {
 public:
  explicit frmOther(ui::Application& app) : Form(app, "frmOther") {}

 private:
  void Design() override { ClientSize(1500, 1000); }
};

class DrawingScreen : public PanelDialogTest {
 protected:
  void TearDown() override {
    other_.Unload();
    PanelDialogTest::TearDown();
  }

  // The hidden gesture on Exit opens the screen; its activation has switched the mode.
  void Open(int touchMode = 2) {
    stored_ = BlockInMode(touchMode);
    ASSERT_NO_FATAL_FAILURE(LoadMain(stored_));
    Sent();
    PressWithKeys(main_.cmdExit, ui::kRightButton, ui::kShiftKey | ui::kCtrlKey | ui::kAltKey);
    ASSERT_TRUE(screen_.Visible()) << "the gesture did not open the test screen";
    ASSERT_TRUE(test::WaitUntil([&] { return SelectedWidth() == 1; }))
        << "the screen was never activated";
  }

  void Down(int button, int x, int y, int held) {
    SendMessageA(screen_.picHome.hwnd(), DownMessage(button), HeldFlags(held), MAKELPARAM(x, y));
  }
  void Up(int button, int x, int y, int held) {
    SendMessageA(screen_.picHome.hwnd(), DownMessage(button) + 1, HeldFlags(held), MAKELPARAM(x, y));
  }
  void MoveTo(int x, int y, int held) {
    SendMessageA(screen_.picHome.hwnd(), WM_MOUSEMOVE, HeldFlags(held), MAKELPARAM(x, y));
  }
  void PressLabel(const ui::Label& label) {
    SendMessageA(label.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(label.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }

  // The width label drawn as selected; -1 when none or several are.
  int SelectedWidth() {
    int selected = -1;
    for (ui::Label& label : screen_.lblWidth) {
      const bool on = label.ForeColor() == frmDrawingScreen::kSelectedWidthText && label.BackColor() == frmDrawingScreen::kSelectedWidthBack;
      const bool off = label.ForeColor() == frmDrawingScreen::kWidthText && label.BackColor() == frmDrawingScreen::kWidthBack;
      EXPECT_TRUE(on || off) << label.WindowName();
      if (on) selected = selected == -1 ? label.Index() : -2;
    }
    return selected < 0 ? -1 : selected;
  }
  // The swatch with a border; -1 when none or several have one.
  int SelectedColor() {
    int selected = -1;
    for (ui::Label& label : screen_.lblColor)
      if (label.BorderStyle() == ui::BorderStyle::FixedSingle) selected = selected == -1 ? label.Index() : -2;
    return selected < 0 ? -1 : selected;
  }
  std::string Indicators() {
    std::string lit;
    for (ui::Label& label : screen_.lblButton)
      if (label.BackStyle() == ui::BackStyle::Opaque) lit += label.Caption();
    return lit;
  }
  // How many pixels of the colour a vertical cut through the sheet at x meets between y0 and y1.
  int Thickness(int x, int y0, int y1, COLORREF colour) {
    int count = 0;
    for (int y = y0; y <= y1; ++y) count += screen_.picHome.Point(x, y) == colour ? 1 : 0;
    return count;
  }
  std::vector<int> TouchModesSent() {
    std::vector<int> modes;
    for (const JournalEntry& e : Sent()) {
      EXPECT_EQ(e.Code, kWriteVirtualButton);
      if (e.Code != kWriteVirtualButton) continue;
      ParamBlock sent = sim::BlockOf(e);
      modes.push_back(sent.VirtualButton);
      sent.VirtualButton = stored_.VirtualButton;
      EXPECT_EQ(std::memcmp(&sent, &stored_, sizeof sent), 0) << "only the touch mode differs from the block";
    }
    return modes;
  }
  // Another window of the program takes the activation, then the screen gets it back.
  void ActivateElsewhereAndBack() {
    other_.Show();
    ASSERT_TRUE(test::WaitUntil([&] { return GetActiveWindow() == other_.hwnd(); }));
    screen_.SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return GetActiveWindow() == screen_.hwnd(); }));
    app_.DoEvents();  // the screen's activation event runs after the activation itself
  }

  frmDrawingScreen& screen_ = main_.dialogs.DrawingScreen;
  frmOther other_{app_};
  ParamBlock stored_{};
};

TEST_F(DrawingScreen, OnlyTheRightButtonWithShiftCtrlAndAltOnExitOpensIt) {
  struct Case {
    const char* What;
    int Button, Shift;
    bool Opens;
  };
  constexpr int kAll = ui::kShiftKey | ui::kCtrlKey | ui::kAltKey;
  const Case cases[] = {
      {"right with all three", ui::kRightButton, kAll, true},
      {"right with Shift and Ctrl", ui::kRightButton, ui::kShiftKey | ui::kCtrlKey, false},
      {"right with Ctrl and Alt", ui::kRightButton, ui::kCtrlKey | ui::kAltKey, false},
      {"right alone", ui::kRightButton, 0, false},
      {"middle with all three", ui::kMiddleButton, kAll, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(LoadMain(BlockInMode(2)));
    PressWithKeys(main_.cmdExit, c.Button, c.Shift);
    EXPECT_EQ(screen_.Visible(), c.Opens);
    EXPECT_EQ(main_.Visible(), !c.Opens);
    EXPECT_TRUE(main_.Loaded()) << "the gesture never ends the program";
  }
}

TEST_F(DrawingScreen, CoversTheScreenWithItsBarsLaidOutFromTheRight) {
  ASSERT_NO_FATAL_FAILURE(Open());
  RECT window{};
  GetWindowRect(screen_.hwnd(), &window);
  EXPECT_EQ(window.right - window.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(window.bottom - window.top, GetSystemMetrics(SM_CYSCREEN));

  // Header: the icon as far from the left edge as from the top; Clear, then Exit, at the right.
  const int m = screen_.imgIcon.Top();
  EXPECT_GT(m, 0);
  EXPECT_EQ(screen_.imgIcon.Left(), m);
  EXPECT_LT(screen_.lblTitle.Left() + screen_.lblTitle.Width(), screen_.cmdClear.Left());
  EXPECT_LT(screen_.cmdClear.Left() + screen_.cmdClear.Width(), screen_.cmdExit.Left());
  EXPECT_EQ(screen_.cmdExit.Left() + screen_.cmdExit.Width() + m, screen_.picHead.ScaleWidth());

  // The sheet fills what the bars leave.
  EXPECT_EQ(screen_.picHome.Top(), screen_.picHead.Height());
  EXPECT_EQ(screen_.picHome.Top() + screen_.picHome.Height(), screen_.picMesg.Top());
  EXPECT_EQ(screen_.picHome.Width(), screen_.ScaleWidth());

  // Tool bar, read from left to right; the last indicator one gap from the right end.
  std::vector<const ui::Label*> order = {&screen_.lblHelpBox, &screen_.lblWidthName};
  for (ui::Label& label : screen_.lblWidth) order.push_back(&label);
  order.push_back(&screen_.lblColorName);
  for (ui::Label& label : screen_.lblColor) order.push_back(&label);
  order.push_back(&screen_.lblButtonName);
  for (ui::Label& label : screen_.lblButton) order.push_back(&label);
  EXPECT_EQ(screen_.lblHelpBox.Left(), 0);
  for (size_t i = 1; i < order.size(); ++i)
    EXPECT_LT(order[i - 1]->Left() + order[i - 1]->Width(), order[i]->Left()) << order[i]->WindowName();
  const int barHeight = screen_.picMesg.ScaleHeight();
  const int gap = (barHeight - screen_.lblButton(0).Height()) / 2;
  EXPECT_EQ(screen_.lblButton(2).Left() + screen_.lblButton(2).Width() + gap, screen_.picMesg.ScaleWidth());
  for (const ui::Label* label : order)
    EXPECT_TRUE(label->Top() >= 0 && label->Top() + label->Height() <= barHeight) << label->WindowName();
}

TEST_F(DrawingScreen, StartsWithWidthTwoAndBlueAndChoosesOnMouseDown) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(TouchModesSent(), std::vector<int>{4});
  EXPECT_EQ(SelectedWidth(), 1);
  EXPECT_EQ(screen_.picHome.DrawWidth(), 2);
  EXPECT_EQ(SelectedColor(), 3);
  EXPECT_EQ(Indicators(), "");

  struct Step {
    const char* What;
    std::function<void()> Act;
    int Width, Color;
  };
  const std::vector<Step> steps = {
      {"width 4 pressed", [&] { SendMessageA(screen_.lblWidth(3).hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0); }, 3, 3},
      {"and released", [&] { SendMessageA(screen_.lblWidth(3).hwnd(), WM_LBUTTONUP, 0, 0); }, 3, 3},
      {"red clicked", [&] { PressLabel(screen_.lblColor(1)); }, 3, 1},
      {"width 1 clicked", [&] { PressLabel(screen_.lblWidth(0)); }, 0, 1},
      {"black pressed with the right button", [&] { SendMessageA(screen_.lblColor(0).hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, 0); }, 0, 0},
  };
  for (const Step& step : steps) {
    step.Act();
    EXPECT_EQ(SelectedWidth(), step.Width) << step.What;
    EXPECT_EQ(screen_.picHome.DrawWidth(), step.Width + 1) << step.What;
    EXPECT_EQ(SelectedColor(), step.Color) << step.What;
  }
  EXPECT_TRUE(Sent().empty()) << "choosing sends nothing";
}

TEST_F(DrawingScreen, ChoosingTheSelectedWidthOrColourRewritesNothing) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // Marks no selection would give: they stay only if the labels are left alone.
  screen_.lblWidth(1).ForeColor(ui::kRed);
  screen_.lblColor(3).BorderStyle(ui::BorderStyle::None);
  screen_.lblColor(0).BorderStyle(ui::BorderStyle::FixedSingle);
  PressLabel(screen_.lblWidth(1));
  PressLabel(screen_.lblColor(3));
  EXPECT_EQ(screen_.lblWidth(1).ForeColor(), ui::kRed);
  EXPECT_EQ(screen_.lblColor(3).BorderStyle(), ui::BorderStyle::None);
  EXPECT_EQ(screen_.lblColor(0).BorderStyle(), ui::BorderStyle::FixedSingle);
  EXPECT_EQ(screen_.picHome.DrawWidth(), 2);
}

TEST_F(DrawingScreen, StrokesRunFromPressToTheFirstRelease) {
  struct Case {
    const char* What;
    std::function<void()> Act;
    POINT Inked, Blank;  // a point the stroke must cover, one it must not
  };
  const std::vector<Case> cases = {
      {"pressed, moved, released", [&] { Down(1, 20, 40, 1); MoveTo(120, 40, 1); Up(1, 120, 40, 0); },
       {70, 40}, {70, 60}},
      {"a move after the release draws nothing", [&] { Down(1, 20, 40, 1); Up(1, 20, 40, 0); MoveTo(120, 40, 0); },
       {20, 40}, {70, 40}},
      {"any button draws", [&] { Down(4, 20, 40, 4); MoveTo(120, 40, 4); Up(4, 120, 40, 0); }, {70, 40}, {70, 80}},
      // The second press joins the stroke with a line instead of starting a new point.
      {"a second button continues the stroke", [&] { Down(1, 20, 40, 1); Down(2, 120, 40, 3); }, {70, 40}, {70, 80}},
      {"the first release ends it, the other button still held",
       [&] { Down(1, 20, 40, 1); Down(2, 60, 40, 3); Up(1, 60, 40, 2); MoveTo(60, 140, 2); }, {40, 40}, {60, 90}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open());
    c.Act();
    EXPECT_EQ(screen_.picHome.Point(c.Inked.x, c.Inked.y), kStartBlue);
    EXPECT_EQ(screen_.picHome.Point(c.Blank.x, c.Blank.y), kSheetWhite);
  }
}

TEST_F(DrawingScreen, LinesTakeTheChosenWidthAndColour) {
  ASSERT_NO_FATAL_FAILURE(Open());
  struct Case {
    int Width, Color, Y;
    COLORREF Ink;
  };
  for (const Case& c : {Case{1, 3, 30, kStartBlue}, Case{3, 1, 60, RGB(255, 0, 0)}, Case{0, 2, 90, RGB(0, 128, 0)},
                        Case{2, 4, 120, RGB(255, 0, 255)}}) {
    PressLabel(screen_.lblWidth(c.Width));
    PressLabel(screen_.lblColor(c.Color));
    Down(1, 10, c.Y, 1);
    MoveTo(200, c.Y, 1);
    Up(1, 200, c.Y, 0);
    EXPECT_EQ(Thickness(100, c.Y - 10, c.Y + 10, c.Ink), c.Width + 1) << "width index " << c.Width;
  }
}

TEST_F(DrawingScreen, EachIndicatorShowsItsOwnButtonUntilThatButtonIsReleased) {
  struct Case {
    const char* What;
    std::vector<std::pair<bool, int>> Events;  // press (true) or release of a button
    std::string Lit;
  };
  const Case cases[] = {
      {"left pressed", {{true, 1}}, "L"},
      {"middle pressed", {{true, 4}}, "M"},
      {"left, then right", {{true, 1}, {true, 2}}, "LR"},
      {"left, right, left released", {{true, 1}, {true, 2}, {false, 1}}, "R"},
      {"left, right, right released", {{true, 1}, {true, 2}, {false, 2}}, "L"},
      {"all pressed and released", {{true, 1}, {true, 4}, {true, 2}, {false, 4}, {false, 2}, {false, 1}}, ""},
      {"a release without a press", {{false, 2}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open());
    int held = 0;
    for (auto [press, button] : c.Events) {
      held = press ? held | button : held & ~button;
      if (press) Down(button, 50, 50, held);
      else Up(button, 50, 50, held);
    }
    EXPECT_EQ(Indicators(), c.Lit);
  }
}

TEST_F(DrawingScreen, ClearWhitensTheSheetAndKeepsThePen) {
  ASSERT_NO_FATAL_FAILURE(Open());
  PressLabel(screen_.lblWidth(2));
  PressLabel(screen_.lblColor(1));
  Down(1, 10, 50, 1);
  MoveTo(200, 50, 1);
  Up(1, 200, 50, 0);
  ASSERT_EQ(screen_.picHome.Point(100, 50), RGB(255, 0, 0));
  Click(screen_.cmdClear);
  EXPECT_EQ(screen_.picHome.Point(100, 50), kSheetWhite);
  EXPECT_EQ(SelectedWidth(), 2);
  EXPECT_EQ(SelectedColor(), 1);
  Down(1, 10, 80, 1);
  MoveTo(200, 80, 1);
  EXPECT_EQ(Thickness(100, 70, 90, RGB(255, 0, 0)), 3);
  EXPECT_TRUE(screen_.Visible());
}

TEST_F(DrawingScreen, ClosingPutsBackTheTouchModeInForceWhenItOpened) {
  struct Case {
    const char* What;
    int Mode;
    void (*Close)(frmDrawingScreen&);
  };
  const Case cases[] = {
      {"stream, Exit Test", 1, [](frmDrawingScreen& s) { Click(s.cmdExit); }},
      {"lift off, Exit Test", 2, [](frmDrawingScreen& s) { Click(s.cmdExit); }},
      {"touch down, window closed", 3, [](frmDrawingScreen& s) { SendMessageA(s.hwnd(), WM_CLOSE, 0, 0); }},
      {"drag and drop, Exit Test", 4, [](frmDrawingScreen& s) { Click(s.cmdExit); }},
      {"an invalid mode, Exit Test", 0, [](frmDrawingScreen& s) { Click(s.cmdExit); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Open(c.Mode));
    EXPECT_EQ(TouchModesSent(), std::vector<int>{4}) << "drag and drop while the screen is open";
    EXPECT_EQ(main_.Controller().Block().VirtualButton, 4);
    c.Close(screen_);
    EXPECT_FALSE(screen_.Loaded());
    EXPECT_TRUE(main_.Visible());
    EXPECT_EQ(TouchModesSent(), std::vector<int>{c.Mode});
    EXPECT_EQ(main_.Controller().Block().VirtualButton, c.Mode);
    const auto held = sim_.ReadBlock();
    ASSERT_TRUE(held);
    EXPECT_EQ(held->VirtualButton, c.Mode);
    Sent();
  }
}

TEST_F(DrawingScreen, ActivatedAgainItKeepsTheSavedModeAndThePen) {
  ASSERT_NO_FATAL_FAILURE(Open(2));
  EXPECT_EQ(TouchModesSent(), std::vector<int>{4});
  PressLabel(screen_.lblWidth(3));
  PressLabel(screen_.lblColor(0));
  for (int round = 0; round < 2; ++round) {
    ASSERT_NO_FATAL_FAILURE(ActivateElsewhereAndBack());
    EXPECT_TRUE(Sent().empty()) << "round " << round;
    EXPECT_EQ(SelectedWidth(), 3);
    EXPECT_EQ(SelectedColor(), 0);
  }
  Click(screen_.cmdExit);
  EXPECT_EQ(TouchModesSent(), std::vector<int>{2}) << "the user's mode, not drag and drop";
}

TEST_F(DrawingScreen, AScreenClosedBeforeItWasActiveSendsNothing) {
  ASSERT_NO_FATAL_FAILURE(LoadMain(BlockInMode(2)));
  Sent();
  ASSERT_TRUE(screen_.Load());
  EXPECT_TRUE(screen_.Unload());
  EXPECT_TRUE(Sent().empty()) << "no mode was saved, so none is put back";
  EXPECT_EQ(main_.Controller().Block().VirtualButton, 2);
}

}  // namespace
}  // namespace koral::panel
