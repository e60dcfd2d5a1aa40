// The uninstaller's question window in this process: its texts, its layout and the about window.
#include "programs/removal/frmMain.h"

#include <gtest/gtest.h>

#include "common/core/placement.h"
#include "common/core/setup_layout.h"
#include "common/core/titles.h"
#include "common/win/profile.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "ui/twips.h"

namespace koral::removal {
namespace {

class RemovalWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::WriteDevelopmentProfile("C:\\nowhere"));
    app_.MainForm(&form_);
    ASSERT_TRUE(form_.Load());
  }
  void TearDown() override {
    app_.EndProgram();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    test::WriteDevelopmentProfile(test::ProgramFolder());
  }
  ui::Application app_;
  ModelKeyStore store_;
  frmMain form_{app_, store_, TrustedFolders{}};  // the window only: nothing to remove from
};

TEST_F(RemovalWindow, ShowsTheWarningAndTheQuestionWithNoAsTheAnswerToEnterAndEsc) {
  EXPECT_EQ(form_.Caption(), kUninstallerTitle);
  EXPECT_EQ(form_.lblSystem.Caption(), "TouchScreen Software Removal Version 7.2.PS2");
  EXPECT_EQ(form_.lblOemTitle.Caption(), "Brimholt");
  EXPECT_EQ(form_.lblText.Caption(),
            "If Removal is complete, TouchScreen will not work next time when you start Windows!");
  EXPECT_EQ(form_.lblAsk.Caption(),
            "Are you sure you want to completely remove TouchScreen V.7.2.PS2 and all of its components?");
  EXPECT_EQ(form_.cmdYes.Caption(), "&Yes");
  EXPECT_EQ(form_.cmdNo.Caption(), "&No");
  EXPECT_TRUE(form_.cmdNo.Default());
  EXPECT_TRUE(form_.cmdNo.Cancel());
  EXPECT_FALSE(form_.cmdYes.Default());
  EXPECT_FALSE(form_.cmdYes.Cancel());
}

TEST_F(RemovalWindow, CentresTheFrameAndTheButtonsAndEtchesTheSeparator) {
  const int inner = form_.ScaleWidth();
  // Positions land on whole pixels: within one of the twips computed.
  const int pixel = ui::TwipsPerPixelX();
  EXPECT_NEAR(form_.shpRemoval.Left(), (inner - form_.shpRemoval.Width()) / 2, pixel);
  const int yes = form_.cmdYes.Width();
  EXPECT_NEAR(form_.cmdYes.Left(), (2 * inner - 3 * yes - 2 * form_.cmdNo.Width()) / 4, pixel);
  EXPECT_NEAR(form_.cmdNo.Left() - form_.cmdYes.Left(), yes * 3 / 2, pixel);
  EXPECT_EQ(form_.cmdYes.Top(), form_.cmdNo.Top());

  const int frameLeft = form_.shpRemoval.Left();
  const int frameRight = frameLeft + form_.shpRemoval.Width();
  const int buttonsTop = form_.cmdYes.Top();
  struct Line {
    const ui::Shape& Shape;
    int Left, Right, Top;
  };
  for (const Line& line : {Line{form_.linShadow, frameLeft - 50, frameRight + 50, buttonsTop - 248},
                           Line{form_.linHighlight, frameLeft - 55, frameRight + 55, buttonsTop - 228}}) {
    SCOPED_TRACE(line.Shape.Name());
    EXPECT_NEAR(line.Shape.Left(), line.Left, pixel);
    EXPECT_NEAR(line.Shape.Left() + line.Shape.Width(), line.Right, 2 * pixel);
    EXPECT_NEAR(line.Shape.Top(), line.Top, ui::TwipsPerPixelY());
    EXPECT_EQ(line.Shape.Height(), ui::TwipsPerPixelY()) << "one pixel high";
  }
  EXPECT_GT(form_.linHighlight.Top(), form_.linShadow.Top());

  const Position at = CentredWindow(ui::ScreenWidth(), ui::ScreenHeight(), form_.Width(), form_.Height());
  EXPECT_NEAR(form_.Left(), at.Left, pixel);
  EXPECT_NEAR(form_.Top(), at.Top, ui::TwipsPerPixelY());
}

TEST_F(RemovalWindow, TheIconOpensTheAboutWindowWhichBringsThisOneBack) {
  form_.Show();
  SendMessageA(form_.imgIcon.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  EXPECT_FALSE(form_.Visible());
  ASSERT_TRUE(form_.dialogs.About.Visible());
  EXPECT_EQ(form_.dialogs.About.lblSystem.Caption(), "TouchScreen Software Removal Version 7.2.PS2");
  SendMessageA(form_.dialogs.About.cmdOK.hwnd(), BM_CLICK, 0, 0);
  EXPECT_FALSE(form_.dialogs.About.Loaded());
  EXPECT_TRUE(form_.Visible());
}

}  // namespace
}  // namespace koral::removal
