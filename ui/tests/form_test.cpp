#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "common/win/pointer.h"
#include "ui/names.h"
#include "ui/tests/sample_form.h"
#include "ui/twips.h"

namespace koral::ui::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(FormTest, LoadCreatesHiddenWindowsWithoutRaisingDesignEvents) {
  EXPECT_TRUE(IsWindow(form.hwnd()));
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
  EXPECT_EQ(WindowText(form.hwnd()), "Sample");
  EXPECT_EQ(NameOf(form.hwnd()), "frmSample");
  EXPECT_EQ(form.hscTone.Value(), 1000);  // set while designing: no change event

  frmSample other{app};
  other.events.clear();
  ASSERT_TRUE(other.Load());
  EXPECT_THAT(other.events, ElementsAre("Form_Load"));
}

TEST_F(FormTest, ControlsAreNamedChildWindowsWithReadableCaptions) {
  struct Case {
    const char* Name;
    const Control* Expected;
    const char* Text;
  };
  for (const Case& c : {Case{"lblTitle", &form.lblTitle, "Title &Text"}, Case{"cmdOK", &form.cmdOK, "&OK"},
                        Case{"chkBoth", &form.chkBoth, "Set Both Horizontal && Vertical "},
                        Case{"frameSpeed", &form.frameSpeed, "  Acceleration  "},
                        Case{"optSpeed(2)", &form.optSpeed(2), "Speed"}, Case{"hscTone", &form.hscTone, ""},
                        Case{"picSheet", &form.picSheet, ""}, Case{"shpRow", &form.shpRow, ""}}) {
    const HWND found = FindNamedChild(form.hwnd(), c.Name);
    EXPECT_EQ(found, c.Expected->hwnd()) << c.Name;
    EXPECT_EQ(WindowText(found), c.Text) << c.Name;
  }
  EXPECT_EQ(GetParent(form.optSpeed(3).hwnd()), form.frameSpeed.hwnd());
  EXPECT_EQ(FindNamedChild(form.hwnd(), "optSpeed"), nullptr);
}

TEST_F(FormTest, DesignedTwipsBecomePixelsOfTheDisplay) {
  const int dpiX = DpiX();
  const int dpiY = DpiY();
  for (const Control* control : {static_cast<const Control*>(&form.lblTitle), static_cast<const Control*>(&form.cmdOK),
                                 static_cast<const Control*>(&form.optSpeed(2)), static_cast<const Control*>(&form.hscTone)}) {
    const RECT r = PlaceInParent(control->hwnd());
    EXPECT_EQ(r.left, MulDiv(control->Left(), dpiX, 1440)) << control->Name();
    EXPECT_EQ(r.top, MulDiv(control->Top(), dpiY, 1440)) << control->Name();
    EXPECT_EQ(r.right - r.left, MulDiv(control->Width(), dpiX, 1440)) << control->Name();
    EXPECT_EQ(r.bottom - r.top, MulDiv(control->Height(), dpiY, 1440)) << control->Name();
  }
  EXPECT_EQ(form.optSpeed(2).Top(), 540);  // reads back the designed twips, not rounded pixels

  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, MulDiv(6645, dpiX, 1440));
  EXPECT_EQ(client.bottom, MulDiv(5520, dpiY, 1440));
  EXPECT_EQ(form.ScaleWidth(), 6645);
  const int before = form.Height();
  form.Height(before - 600);
  EXPECT_EQ(form.Height(), before - 600);
  EXPECT_EQ(form.ScaleHeight(), 5520 - 600);
}

TEST_F(FormTest, PropertiesReachTheRealWindows) {
  form.cmdOK.Visible(false);
  form.chkBoth.Enabled(false);
  form.lblStatus.Caption("Both Touch Down && Lift Off");
  form.Caption(" TouchScreen Control Panel #KR-PS2");
  form.lblTitle.Font({"Times New Roman", 20.25, true, true});
  form.lblTitle.Move(0, 0, 2940, 465);

  EXPECT_FALSE(IsWindowVisible(form.cmdOK.hwnd()));
  EXPECT_FALSE(IsWindowEnabled(form.chkBoth.hwnd()));
  EXPECT_EQ(WindowText(form.lblStatus.hwnd()), "Both Touch Down && Lift Off");
  EXPECT_EQ(WindowText(form.hwnd()), " TouchScreen Control Panel #KR-PS2");
  EXPECT_EQ(PlaceInParent(form.lblTitle.hwnd()).left, 0);

  LOGFONTA font{};
  const auto handle = reinterpret_cast<HGDIOBJ>(SendMessageA(form.lblTitle.hwnd(), WM_GETFONT, 0, 0));
  ASSERT_TRUE(GetObjectA(handle, sizeof font, &font));
  EXPECT_STREQ(font.lfFaceName, "Times New Roman");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_TRUE(font.lfItalic);
  EXPECT_EQ(font.lfHeight, -MulDiv(2025, DpiY(), 7200));
}

TEST_F(FormTest, UnloadDestroysTheWindowAndTheNextLoadStartsAsDesigned) {
  form.lblTitle.Caption("changed");
  form.hscTone.Value(3000);
  form.cboMode.AddItem("one");
  Events();

  form.refuseUnload = true;
  EXPECT_FALSE(form.Unload());
  EXPECT_TRUE(IsWindow(form.hwnd()));

  form.refuseUnload = false;
  const HWND old = form.hwnd();
  EXPECT_TRUE(form.Unload());
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(form.lblTitle.hwnd(), nullptr);
  EXPECT_THAT(Events(), ElementsAre("Form_Unload", "Form_Unload"));

  ASSERT_TRUE(form.Load());
  EXPECT_EQ(WindowText(form.lblTitle.hwnd()), "Title &Text");
  EXPECT_EQ(form.hscTone.Value(), 1000);
  EXPECT_EQ(form.cboMode.ListCount(), 0);
  EXPECT_THAT(Events(), ElementsAre("Form_Load"));
}

TEST_F(FormTest, TheCloseBoxUnloadsAndTheLastUnloadEndsTheLoop) {
  EXPECT_TRUE(app.DoEvents());
  SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Loaded());
  EXPECT_THAT(Events(), ElementsAre("Form_Unload"));
  EXPECT_TRUE(app.Ending());
  EXPECT_FALSE(app.DoEvents());
}

TEST(FormLifecycle, EndingTheProgramDuringLoadLeavesNoWindow) {
  Application app;
  frmSample form{app};
  form.endInLoad = true;
  EXPECT_FALSE(form.Load());
  EXPECT_FALSE(form.Loaded());
  form.Show();  // loads again and ends again: still nothing shown
  EXPECT_FALSE(form.Loaded());
  MSG message;
  EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST_F(FormTest, ShowActivatesAndResizesOnce) {
  form.Show();
  app.DoEvents();
  EXPECT_TRUE(IsWindowVisible(form.hwnd()));
  EXPECT_THAT(Events(), ElementsAre("Form_Resize", "Form_Activate"));

  form.Hide();
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
  form.Show();
  app.DoEvents();
  EXPECT_THAT(Events(), IsEmpty());  // still the active form: no new activation
}

TEST_F(FormTest, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
  form.Show();
  app.DoEvents();
  Events();
  struct Case {
    Control* Focus;
    WPARAM Key;
    const char* Expected;
  };
  for (const Case& c : {Case{&form.chkBoth, VK_RETURN, "cmdOK_Click"}, Case{&form.chkBoth, VK_ESCAPE, "cmdCancel_Click"},
                        Case{&form.cmdOther, VK_RETURN, "cmdOther_Click"},
                        Case{&form.hscTone, VK_ESCAPE, "cmdCancel_Click"}}) {
    c.Focus->SetFocus();
    ASSERT_EQ(GetFocus(), c.Focus->hwnd()) << c.Focus->Name();
    PostMessageA(c.Focus->hwnd(), WM_KEYDOWN, c.Key, 0);
    app.DoEvents();
    EXPECT_THAT(Events(), ElementsAre(c.Expected)) << c.Focus->Name() << " key " << c.Key;
  }

  form.cmdOK.Enabled(false);
  form.chkBoth.SetFocus();
  PostMessageA(form.chkBoth.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
  app.DoEvents();
  EXPECT_THAT(Events(), IsEmpty());
}

TEST(Hourglass, IsCountedAndShownWhileAnyRequestIsOpen) {
  Application app;
  frmSample form{app};
  ASSERT_TRUE(form.Load());
  const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  ASSERT_EQ(HourglassCount(), 0);

  NormalPointer();  // never below zero
  EXPECT_EQ(HourglassCount(), 0);
  HourglassPointer();
  {
    BusyPointer nested;
    EXPECT_EQ(HourglassCount(), 2);
  }
  EXPECT_EQ(HourglassCount(), 1);
  SendMessageA(form.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), wait);
  SendMessageA(form.cmdOK.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.cmdOK.hwnd()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), wait);

  NormalPointer();
  EXPECT_EQ(HourglassCount(), 0);
  EXPECT_NE(GetCursor(), wait);
  app.EndProgram();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST_F(FormTest, DoEventsRunsWhatIsWaiting) {
  PostMessageA(form.cmdOther.hwnd(), BM_CLICK, 0, 0);
  PostMessageA(form.chkBoth.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(app.DoEvents());
  // BM_CLICK presses the left button on the control, as a user would.
  EXPECT_THAT(Events(), ElementsAre("cmdOther_MouseDown 1 0 0 0", "cmdOther_Click", "chkBoth_Click 1"));
}

}  // namespace
}  // namespace koral::ui::testing

namespace koral::ui::testing {
namespace {

// A borderless form covering the screen, with bars along its top and bottom edges.
class frmFull : public Form {
 public:
  explicit frmFull(Application& app) : Form(app, "frmFull") {
    picHead.Resize = [this] { resizes.push_back("picHead"); };
    picMesg.Resize = [this] { resizes.push_back("picMesg"); };
  }
  PictureBox picHead{this, "picHead"};
  PictureBox picMesg{this, "picMesg"};
  std::vector<std::string> resizes;

 private:
  void Design() override {
    BorderStyle(FormBorder::None);
    State(WindowState::Maximized);
    picHead.Create(*this, {0, 0, 1000, 615});
    picHead.Align(Align::Top);
    picMesg.Create(*this, {0, 3000, 1000, 555});
    picMesg.Align(Align::Bottom);
  }
};

TEST(FullScreenForm, CoversTheScreenWithItsBarsAlongTheEdges) {
  Application app;
  frmFull form{app};
  form.Show();
  RECT r;
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(form.ScaleWidth(), ScreenWidth());

  EXPECT_EQ(form.picHead.Top(), 0);
  EXPECT_EQ(form.picHead.Width(), form.ScaleWidth());
  EXPECT_EQ(form.picMesg.Top() + form.picMesg.Height(), form.ScaleHeight());
  EXPECT_EQ(form.picMesg.Width(), form.ScaleWidth());
  EXPECT_THAT(form.resizes, ::testing::Contains("picHead"));
  EXPECT_THAT(form.resizes, ::testing::Contains("picMesg"));

  app.EndProgram();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace koral::ui::testing

namespace koral::ui::testing {
namespace {

// A small thin-bordered form that takes every key itself, recording keys and presses on its
// own window.
class frmPad : public Form {
 public:
  explicit frmPad(Application& app) : Form(app, "frmPad") {}
  std::vector<std::string> events;

 private:
  void Design() override {
    Caption(" Pad");
    BorderStyle(FormBorder::Thin);
    KeysToForm(true);
    ClientSize(600, 600);
  }
  void Form_KeyDown(int keyCode, int shift) override {
    events.push_back("KeyDown " + std::to_string(keyCode) + " " + std::to_string(shift));
  }
  void Form_MouseDown(int button, int shift, int x, int y) override {
    events.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(shift) + " " + std::to_string(x) +
                     " " + std::to_string(y));
  }
};

void Drain() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(FormInput, AFormThatTakesKeysGetsEveryKeyAndPressOnItsOwnWindow) {
  Application app;
  frmPad pad{app};
  ASSERT_TRUE(pad.Load());
  const LONG style = GetWindowLongA(pad.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_BORDER) << "a line, no title bar";
  EXPECT_TRUE(GetWindowLongA(pad.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(pad.ScaleWidth(), 600);
  EXPECT_EQ(pad.ScaleHeight(), 600);

  // Keys pass the dialog manager as the program's loop gives them: Enter, Esc and Tab too.
  for (WPARAM key : {WPARAM{'A'}, WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}, WPARAM{VK_TAB}, WPARAM{VK_LEFT}}) {
    PostMessageA(pad.hwnd(), WM_KEYDOWN, key, 0);
    app.DoEvents();
    EXPECT_THAT(std::exchange(pad.events, {}), ElementsAre("KeyDown " + std::to_string(key) + " 0")) << key;
  }
  const int x = MulDiv(10, 1440, DpiX());
  const int y = MulDiv(20, 1440, DpiY());
  for (auto [message, held, button] : {std::tuple{WM_LBUTTONDOWN, MK_LBUTTON, 1}, std::tuple{WM_RBUTTONDOWN, MK_RBUTTON, 2},
                                       std::tuple{WM_MBUTTONDOWN, MK_MBUTTON, 4}}) {
    PostMessageA(pad.hwnd(), message, held, MAKELPARAM(10, 20));
    app.DoEvents();
    EXPECT_THAT(std::exchange(pad.events, {}),
                ElementsAre("MouseDown " + std::to_string(button) + " 0 " + std::to_string(x) + " " + std::to_string(y)));
  }
  app.EndProgram();
  Drain();
}

TEST_F(FormTest, AFormWithACancelButtonKeepsEscForIt) {
  form.Show();
  app.DoEvents();
  Events();
  PostMessageA(form.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  app.DoEvents();
  EXPECT_THAT(Events(), ElementsAre("cmdCancel_Click"));
}

}  // namespace
}  // namespace koral::ui::testing

namespace koral::ui::testing {
namespace {

// A form that answers WM_USER itself, as a program's window answers the other programs.
class frmHooked : public Form {
 public:
  explicit frmHooked(Application& app) : Form(app, "frmHooked") {}
  std::vector<WPARAM> received;

 private:
  void Design() override { ClientSize(600, 600); }
  bool Form_Message(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message != WM_USER) return false;
    received.push_back(wParam);
    result = 0x1234;
    return true;
  }
};

TEST(FormMessages, TheFormsHookAnswersFirstAndLeavesTheRestToTheForm) {
  Application app;
  frmHooked form(app);
  ASSERT_TRUE(form.Load());
  EXPECT_EQ(SendMessageA(form.hwnd(), WM_USER, 0x1001, 0), 0x1234);
  EXPECT_EQ(form.received, std::vector<WPARAM>{0x1001});
  SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Loaded()) << "the close box still unloads";
  EXPECT_TRUE(app.Ending());
  Drain();
}

// Each application keeps its own forms: ending one leaves the other's windows and loop alone.
TEST(FormApplications, EachApplicationEndsOnlyItsOwnForms) {
  Application first, second;
  frmPad one(first), other(second);
  ASSERT_TRUE(one.Load());
  ASSERT_TRUE(other.Load());
  EXPECT_EQ(first.FormOf(one.hwnd()), &one);
  EXPECT_EQ(first.FormOf(other.hwnd()), nullptr);
  EXPECT_EQ(Form::FromWindow(other.hwnd()), &other);
  first.EndProgram();
  EXPECT_FALSE(one.Loaded());
  EXPECT_TRUE(other.Loaded());
  EXPECT_TRUE(first.Ending());
  EXPECT_FALSE(second.Ending());
  second.EndProgram();
  Drain();
}

}  // namespace
}  // namespace koral::ui::testing
