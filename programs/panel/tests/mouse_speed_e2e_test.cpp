// The real control panel against the real substitute driver: the mouse speed dialog opened
// from the main window's button and worked with mouse input as a user's hand gives it.
#include <gtest/gtest.h>

#include <cstring>

#include "programs/panel/tests/panel_program.h"

namespace koral::panel {
namespace {

using namespace std::chrono_literals;
using namespace tests;

int Position(HWND bar) { return static_cast<int>(SendMessageA(bar, SBM_GETPOS, 0, 0)); }

// Where a horizontal bar draws its thumb for a value, in the bar's pixels: the track between
// the two arrows, less the thumb, is shared out evenly over the range.
class ThumbGeometry {
 public:
  explicit ThumbGeometry(HWND bar) {
    RECT client{};
    GetClientRect(bar, &client);
    width_ = client.right;
    middle_ = client.bottom / 2;
    SendMessageA(bar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&min_), reinterpret_cast<LPARAM>(&max_));
  }
  bool Valid() const { return max_ > min_ && Track() > 0; }
  int ThumbLeft(int value) const { return kArrow + MulDiv(Track(), value - min_, max_ - min_); }
  int ThumbCentre(int value) const { return ThumbLeft(value) + kThumb / 2; }
  int MiddleY() const { return middle_; }

 private:
  int Track() const { return width_ - 2 * kArrow - kThumb; }
  const int kArrow = GetSystemMetrics(SM_CXHSCROLL);
  const int kThumb = GetSystemMetrics(SM_CXHTHUMB);
  INT min_ = 0, max_ = 0;
  int width_ = 0, middle_ = 0;
};

using MouseSpeedEndToEnd = PanelProgram;

TEST_F(MouseSpeedEndToEnd, AChangeAppliedFromThePanelReachesTheDriverAndTheMainWindow) {
  ParamBlock stored = sim::SimClient::DefaultBlock();  // 50 % both ways, linked, slow
  const HWND main = StartPanel(stored);
  ASSERT_NE(main, nullptr);
  const HWND status = Control(main, "lblMouseSpeed");
  EXPECT_EQ(test::WindowText(status), "HS=50%, VS=50%, Acceleration=Slow");

  Click(Control(main, "cmdMouseSpeed"));
  const HWND dialog = WaitForForm("frmMouseSpeed");
  ASSERT_NE(dialog, nullptr) << "the dialog did not open";
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(main); })) << "the main window stayed";
  const HWND horizontal = Control(dialog, "hscMouseHSpeed");
  const HWND vertical = Control(dialog, "hscMouseVSpeed");
  const HWND apply = Control(dialog, "cmdApply");
  ASSERT_EQ(Position(horizontal), 10);
  EXPECT_FALSE(IsWindowEnabled(apply));

  // The horizontal thumb pressed, dragged to 13 and 16 and let go: the linked vertical bar and
  // both percent labels follow while the button is still down.
  const ThumbGeometry bar(horizontal);
  ASSERT_TRUE(bar.Valid());
  const int grip = bar.ThumbCentre(10);
  const int y = bar.MiddleY();
  PostMessageA(horizontal, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip, y));
  for (int value : {13, 16}) {
    const int x = grip + bar.ThumbLeft(value) - bar.ThumbLeft(10);
    PostMessageA(horizontal, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_TRUE(test::WaitUntil([&] { return Position(vertical) == value; }, 5s)) << "at " << value;
    EXPECT_EQ(test::WindowText(Control(dialog, "lblHS")), std::to_string(5 * value) + "%");
    EXPECT_EQ(test::WindowText(Control(dialog, "lblVS")), std::to_string(5 * value) + "%");
  }
  PostMessageA(horizontal, WM_LBUTTONUP, 0, MAKELPARAM(grip + bar.ThumbLeft(16) - bar.ThumbLeft(10), y));
  EXPECT_TRUE(test::WaitUntil([&] { return Position(horizontal) == 16 && IsWindowEnabled(apply); }, 5s));

  Click(Control(dialog, "optAcceleration(2)"));
  EXPECT_TRUE(test::WaitUntil(
      [&] { return SendMessageA(Control(dialog, "optAcceleration(2)"), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5s));
  EXPECT_TRUE(sim_.ReadJournal().empty()) << "nothing goes to the driver while the user moves controls";

  Click(apply);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowEnabled(apply); }, 5s)) << "Apply stayed enabled";
  const auto journal = sim_.ReadJournal();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].Code, kWriteMouseSpeed);
  ParamBlock expected = stored;
  expected.MouseHSpeed = 16;
  expected.MouseVSpeed = 16;
  expected.MouseAcceleration = 2;
  ASSERT_EQ(journal[0].Length, sizeof expected);
  EXPECT_EQ(std::memcmp(journal[0].Data, &expected, sizeof expected), 0) << "the whole block, with the new speeds";
  EXPECT_EQ(test::WindowText(status), "HS=80%, VS=80%, Acceleration=Medium");
  EXPECT_TRUE(IsWindow(dialog)) << "Apply keeps the dialog open";

  Click(Control(dialog, "cmdOK"));
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(dialog) && IsWindowVisible(main); }))
      << "OK closes the dialog and brings the main window back";
  EXPECT_TRUE(sim_.ReadJournal().empty()) << "OK after Apply has nothing left to send";
  EXPECT_EQ(test::WindowText(status), "HS=80%, VS=80%, Acceleration=Medium");
  const auto held = sim_.ReadBlock();
  ASSERT_TRUE(held);
  EXPECT_EQ(held->MouseHSpeed, 16);
  EXPECT_EQ(held->MouseAcceleration, 2);
}

}  // namespace
}  // namespace koral::panel
