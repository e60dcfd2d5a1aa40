#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "ui/names.h"
#include "ui/tests/sample_form.h"
#include "ui/twips.h"

namespace koral::ui::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What the user does to the tone bar, as the scroll bar reports it to its container.
void UserScrolls(frmSample& form, int code, int position = 0) {
  SendMessageA(form.hwnd(), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(form.hscTone.hwnd()));
}

TEST_F(FormTest, ScrollBarRaisesChangeWheneverTheValueChanges) {
  struct Step {
    const char* What;
    std::function<void()> Act;
    int Value;
    std::vector<std::string> Expected;
  };
  const std::vector<Step> steps = {
      {"code sets a new value", [&] { form.hscTone.Value(1500); }, 1500, {"hscTone_Change 1500"}},
      {"code sets the same value", [&] { form.hscTone.Value(1500); }, 1500, {}},
      {"code goes past Max", [&] { form.hscTone.Value(9000); }, 5000, {"hscTone_Change 5000"}},
      {"arrow past Max", [&] { UserScrolls(form, SB_LINERIGHT); }, 5000, {}},
      {"page left", [&] { UserScrolls(form, SB_PAGELEFT); }, 4900, {"hscTone_Change 4900"}},
      {"arrow left", [&] { UserScrolls(form, SB_LINELEFT); }, 4899, {"hscTone_Change 4899"}},
      {"thumb dragged", [&] { UserScrolls(form, SB_THUMBTRACK, 300); }, 300, {"hscTone_Scroll 300"}},
      {"thumb dragged on", [&] { UserScrolls(form, SB_THUMBTRACK, 250); }, 250, {"hscTone_Scroll 250"}},
      {"thumb released", [&] { UserScrolls(form, SB_THUMBPOSITION, 250); }, 250, {"hscTone_Change 250"}},
      {"end of scrolling", [&] { UserScrolls(form, SB_ENDSCROLL); }, 250, {}},
      {"dragged back to where it was", [&] { UserScrolls(form, SB_THUMBTRACK, 260); UserScrolls(form, SB_THUMBTRACK, 250); UserScrolls(form, SB_ENDSCROLL); },
       250, {"hscTone_Scroll 260", "hscTone_Scroll 250"}},
      {"code goes below Min", [&] { form.hscTone.Value(-5); }, 200, {"hscTone_Change 200"}},
  };
  for (const Step& step : steps) {
    step.Act();
    EXPECT_EQ(form.hscTone.Value(), step.Value) << step.What;
    EXPECT_EQ(GetScrollPos(form.hscTone.hwnd(), SB_CTL), step.Value) << step.What;
    EXPECT_EQ(Events(), step.Expected) << step.What;
  }
}

TEST_F(FormTest, ComboRaisesClickWhenItsSelectionChanges) {
  form.cboMode.AddItem(" 4 points, mode 1");
  form.cboMode.AddItem(" 4 points, mode 2");
  EXPECT_EQ(form.cboMode.ListIndex(), -1);

  form.cboMode.ListIndex(1);
  form.cboMode.ListIndex(1);
  form.cboMode.ListIndex(2);  // not in the list
  EXPECT_THAT(Events(), ElementsAre("cboMode_Click 1"));
  EXPECT_EQ(WindowText(form.cboMode.hwnd()), " 4 points, mode 2");
  EXPECT_EQ(SendMessageA(form.cboMode.hwnd(), CB_GETCURSEL, 0, 0), 1);

  SendMessageA(form.cboMode.hwnd(), WM_KEYDOWN, VK_UP, 0);  // the user picks the other entry
  EXPECT_THAT(Events(), ElementsAre("cboMode_Click 0"));
  EXPECT_EQ(form.cboMode.ListIndex(), 0);
  EXPECT_EQ(form.cboMode.Text(), " 4 points, mode 1");
}

TEST_F(FormTest, CheckBoxRaisesClickWhenItsValueChanges) {
  form.chkBoth.Value(1);
  form.chkBoth.Value(1);
  EXPECT_EQ(SendMessageA(form.chkBoth.hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(form.chkBoth.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.chkBoth.Value(), 0);
  EXPECT_EQ(SendMessageA(form.chkBoth.hwnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_THAT(Events(), ElementsAre("chkBoth_Click 1", "chkBoth_Click 0"));
}

TEST_F(FormTest, OptionsFormOneGroupPerContainer) {
  form.optOther.Value(true);
  form.optSpeed(1).Value(true);
  SendMessageA(form.optSpeed(3).hwnd(), BM_CLICK, 0, 0);
  SendMessageA(form.optSpeed(3).hwnd(), BM_CLICK, 0, 0);  // the user clicks the chosen one again
  form.optSpeed(3).Value(true);                           // code selects the chosen one: no click
  EXPECT_THAT(Events(), ElementsAre("optOther_Click", "optSpeed_Click 1", "optSpeed_Click 3", "optSpeed_Click 3"));

  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(form.optSpeed(i).Value(), i == 3) << i;
    EXPECT_EQ(SendMessageA(form.optSpeed(i).hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED, i == 3) << i;
  }
  EXPECT_TRUE(form.optOther.Value());  // another container, another group
}

// The text colour and brush a control's container gives it for drawing.
struct Painted {
  COLORREF Text;
  COLORREF Back;
  int BackMode;
  HBRUSH Brush;
};

Painted PaintColours(const Control& control) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(control.hwnd()), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(control.hwnd())));
  const Painted painted{GetTextColor(dc), GetBkColor(dc), GetBkMode(dc), brush};
  DeleteDC(dc);
  return painted;
}

TEST_F(FormTest, EachControlDrawsWithItsOwnColours) {
  form.optSpeed(2).ForeColor(kBlack);
  form.lblStatus.ForeColor(kBlue);
  struct Case {
    const Control* Control;
    COLORREF Text;
  };
  for (const Case& c : {Case{&form.optSpeed(1), RGB(0, 128, 128)}, Case{&form.optSpeed(2), RGB(0, 0, 0)},
                        Case{&form.optSpeed(3), RGB(0, 128, 128)}, Case{&form.chkBoth, RGB(0, 128, 128)},
                        Case{&form.lblTitle, RGB(255, 0, 0)}, Case{&form.lblStatus, RGB(0, 0, 255)}}) {
    EXPECT_EQ(PaintColours(*c.Control).Text, c.Text) << c.Control->WindowName();
  }

  const Painted transparent = PaintColours(form.lblStatus);
  EXPECT_EQ(transparent.BackMode, TRANSPARENT);
  EXPECT_EQ(transparent.Brush, GetStockObject(NULL_BRUSH));

  form.lblStatus.BackStyle(BackStyle::Opaque);
  form.lblStatus.BackColor(RGB(255, 255, 0));
  const Painted opaque = PaintColours(form.lblStatus);
  EXPECT_EQ(opaque.Back, RGB(255, 255, 0));
  LOGBRUSH brush{};
  ASSERT_TRUE(GetObjectA(opaque.Brush, sizeof brush, &brush));
  EXPECT_EQ(brush.lbColor, RGB(255, 255, 0));
}

TEST_F(FormTest, MouseEventsCarryButtonShiftAndTwips) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE held[256];
  std::copy(std::begin(keys), std::end(keys), held);
  for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) held[key] = 0x80;
  SetKeyboardState(held);
  SendMessageA(form.cmdOther.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT | MK_CONTROL, MAKELPARAM(2, 3));
  SetKeyboardState(keys);
  SendMessageA(form.cmdOther.hwnd(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(0, 0));

  const int x = PixelsToTwipsX(2);
  const int y = PixelsToTwipsY(3);
  EXPECT_THAT(Events(), ElementsAre("cmdOther_MouseDown 2 7 " + std::to_string(x) + " " + std::to_string(y),
                                    "cmdOther_MouseDown 4 0 0 0"));

  form.picSheet.ScaleMode(ScaleMode::Pixels);
  SendMessageA(form.picSheet.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
  SendMessageA(form.picSheet.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(7, 9));
  EXPECT_THAT(Events(), ElementsAre("picSheet_MouseDown 1 0 7 9"));
}

TEST_F(FormTest, LabelAndImageRaiseClicks) {
  SendMessageA(form.lblTitle.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(form.lblTitle.hwnd(), WM_LBUTTONUP, 0, 0);
  SendMessageA(form.imgIcon.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  EXPECT_THAT(Events(), ElementsAre("lblTitle_Click", "imgIcon_DblClick"));
  EXPECT_EQ(form.imgIcon.Width(), PixelsToTwipsX(GetSystemMetrics(SM_CXICON)));
}

TEST_F(FormTest, PictureBoxKeepsWhatIsDrawnUntilCleared) {
  PictureBox& sheet = form.picSheet;
  sheet.ScaleMode(ScaleMode::Pixels);
  sheet.BackColor(kWhite);
  sheet.DrawWidth(1);
  sheet.Line(0, 5, 20, 5, kBlue);
  sheet.PSet(30, 30, kRed);
  sheet.Box(40, 10, 50, 20, kBlack);
  EXPECT_EQ(sheet.Point(10, 5), RGB(0, 0, 255));
  EXPECT_EQ(sheet.Point(20, 5), RGB(255, 255, 255));  // the end point is not drawn
  EXPECT_EQ(sheet.Point(30, 30), RGB(255, 0, 0));
  EXPECT_EQ(sheet.Point(50, 20), RGB(0, 0, 0));       // both corners of a box are
  EXPECT_EQ(sheet.Point(45, 15), RGB(255, 255, 255));
  EXPECT_EQ(sheet.CurrentX(), 50);
  EXPECT_EQ(sheet.Point(-1, 0), CLR_INVALID);

  sheet.LineTo(50, 40, kRed);
  EXPECT_EQ(sheet.Point(50, 30), RGB(255, 0, 0));

  sheet.Cls();
  EXPECT_EQ(sheet.Point(10, 5), RGB(255, 255, 255));
  EXPECT_EQ(sheet.CurrentX(), 0);
}

// A 2 x 1 24-bit bitmap file: a red and a green pixel.
std::string WriteSmallBitmap() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "koral_ui_test.bmp";
  const unsigned char file[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                                40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0,
                                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
                                0, 0, 255, 0, 255, 0, 0, 0};                      // pixels (BGR), padded
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file), sizeof file);
  return path;
}

TEST_F(FormTest, PictureBoxShowsABitmapFileAndSizesToIt) {
  PictureBox& sheet = form.picSheet;
  EXPECT_FALSE(sheet.LoadPicture("C:\\no such folder\\KRLogo.Bmp"));
  EXPECT_FALSE(sheet.HasPicture());

  sheet.BorderStyle(BorderStyle::None);
  sheet.AutoSize(true);
  ASSERT_TRUE(sheet.LoadPicture(WriteSmallBitmap()));
  EXPECT_EQ(sheet.PictureWidth(), PixelsToTwipsX(2));
  EXPECT_EQ(sheet.Width(), PixelsToTwipsX(2));
  EXPECT_EQ(sheet.Height(), PixelsToTwipsY(1));
  sheet.ScaleMode(ScaleMode::Pixels);
  EXPECT_EQ(sheet.Point(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(sheet.Point(1, 0), RGB(0, 255, 0));

  frmSample other{app};
  ASSERT_TRUE(other.Load());
  ASSERT_TRUE(other.picSheet.CopyPicture(sheet));
  other.picSheet.ScaleMode(ScaleMode::Pixels);
  EXPECT_EQ(other.picSheet.Point(1, 0), RGB(0, 255, 0));
}

TEST_F(FormTest, KeysReachAFocusedPictureBoxEvenEsc) {
  form.Show();
  app.DoEvents();
  Events();
  form.picSheet.SetFocus();
  PostMessageA(form.picSheet.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);  // translated into the character
  app.DoEvents();
  EXPECT_THAT(Events(), ElementsAre("picSheet_KeyPress 27"));
}

TEST_F(FormTest, ShapesLieBeneathAndLetTheMouseThrough) {
  HWND last = GetWindow(form.cmdOK.hwnd(), GW_HWNDLAST);
  EXPECT_EQ(last, form.shpRow.hwnd());
  EXPECT_EQ(SendMessageA(form.shpRow.hwnd(), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

// Shapes and other controls laid out in turns, in the form and in a picture box, and one shape
// added after the form loaded: in each container every shape lies beneath every other control,
// the shapes in the order they were made.
class frmLayers : public Form {
 public:
  explicit frmLayers(Application& app) : Form(app, "frmLayers") {}
  Shape shpFirst{this, "shpFirst"};
  Label lblBetween{this, "lblBetween"};
  Shape shpSecond{this, "shpSecond"};
  CommandButton cmdLast{this, "cmdLast"};
  PictureBox picInner{this, "picInner"};
  Shape shpInner{this, "shpInner"};
  Label lblInner{this, "lblInner"};
  Shape shpLater{this, "shpLater"};

 private:
  void Design() override {
    ClientSize(4000, 3000);
    shpFirst.Create(*this, {120, 120, 1200, 400});
    lblBetween.Create(*this, {240, 200, 900, 200}, "Between");
    shpSecond.Create(*this, {120, 600, 1200, 400});
    picInner.Create(*this, {2000, 120, 1800, 1800});
    shpInner.Create(picInner, {60, 60, 1200, 400});
    lblInner.Create(picInner, {120, 120, 900, 200}, "Inner");
    cmdLast.Create(*this, {120, 2000, 975, 435}, "&Last");
  }
};

// The children of a window from the top of the Z order down.
std::vector<HWND> ZOrderOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetParent(child) == parent) children.push_back(child);
  return children;
}

TEST(ShapeLayers, ShapesLieBeneathTheirSiblingsInTheOrderMade) {
  Application app;
  frmLayers form{app};
  ASSERT_TRUE(form.Load());
  form.shpLater.Create(form, {120, 1200, 1200, 400});
  const struct {
    const char* what;
    HWND container;
    std::vector<HWND> others, shapes;
  } cases[] = {
      {"form", form.hwnd(), {form.lblBetween.hwnd(), form.picInner.hwnd(), form.cmdLast.hwnd()},
       {form.shpFirst.hwnd(), form.shpSecond.hwnd(), form.shpLater.hwnd()}},
      {"picture box", form.picInner.hwnd(), {form.lblInner.hwnd()}, {form.shpInner.hwnd()}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<HWND> order = ZOrderOf(c.container);
    ASSERT_EQ(order.size(), c.others.size() + c.shapes.size());
    const std::vector<HWND> bottom(order.end() - static_cast<std::ptrdiff_t>(c.shapes.size()), order.end());
    EXPECT_EQ(bottom, c.shapes);
  }
  app.EndProgram();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST_F(FormTest, AutoSizedLabelFollowsItsText) {
  Label& label = form.lblStatus;
  label.AutoSize(true);
  const int oneWord = label.Width();
  label.Caption("Silence and some more words");
  const int smallFont = label.Width();
  EXPECT_GT(smallFont, oneWord);
  label.FontSize(16);  // measured with the new font
  EXPECT_GT(label.Width(), smallFont);

  label.WordWrap(true);
  label.Width(600);
  label.Caption("Fail to load data from Register File!");
  EXPECT_EQ(label.Width(), 600);
  EXPECT_GT(label.Height(), 195);  // wrapped onto more than one line
}

bool AwaitsPaint(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }

// Before its first showing a form asks for no repaints (the showing paints everything); once
// shown, every change that alters what a control looks like must reach the screen.
TEST_F(FormTest, ChangesAfterTheFirstShowingAreRepainted) {
  form.Show();
  struct Change {
    const char* What;
    std::function<void()> Act;
    HWND Repainted;
  };
  const std::vector<Change> changes = {
      {"caption", [&] { form.lblTitle.Caption("Other"); }, form.lblTitle.hwnd()},
      {"text colour", [&] { form.chkBoth.ForeColor(kRed); }, form.chkBoth.hwnd()},
      {"back colour", [&] { form.lblTitle.BackColor(kTeal); }, form.lblTitle.hwnd()},
      {"font", [&] { form.cmdOther.FontBold(true); }, form.cmdOther.hwnd()},
      {"transparent label's text, under it", [&] { form.lblStatus.Caption("Beep"); }, form.hwnd()},
      {"shape's border", [&] { form.shpRow.BorderColor(kRed); }, form.shpRow.hwnd()},
      {"frame's title", [&] { form.frameSpeed.Caption(" Speed "); }, form.frameSpeed.hwnd()},
      {"form's back colour", [&] { form.BackColor(kTeal); }, form.hwnd()},
  };
  for (const Change& change : changes) {
    RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_FALSE(AwaitsPaint(change.Repainted)) << change.What;
    change.Act();
    EXPECT_TRUE(AwaitsPaint(change.Repainted)) << change.What;
  }
}

}  // namespace
}  // namespace koral::ui::testing
