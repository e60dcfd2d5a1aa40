// The progress window in this process.
#include "forms/frmMessage.h"

#include <gtest/gtest.h>

#include "common/core/placement.h"
#include "common/core/titles.h"
#include "common/win/pointer.h"
#include "ui/twips.h"

namespace koral {
namespace {

class ProgressMessage : public ::testing::Test {
 protected:
  void TearDown() override {
    form_.Close();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  ui::Application app_;
  frmMessage form_{app_};
};

TEST_F(ProgressMessage, SizesToTheTextAndSitsWhereEveryWindowDoes) {
  const std::string longText =
      "Removing files from your system... and a good deal more text than one line of the window holds, so that "
      "it wraps onto a second, a third and perhaps a fourth line before it ends, which it does only after a fifth "
      "and a sixth line have been filled with words that say nothing more than that the window must grow.";
  for (const std::string& text : {std::string("Setup is updating your system..."), longText}) {
    SCOPED_TRACE(text);
    form_.ShowMessage(text, kSetupFinisherTitle);
    frmMessage& form = form_;
    ASSERT_TRUE(form.Visible());
    EXPECT_EQ(form.Caption(), kSetupFinisherTitle);
    EXPECT_EQ(form.lblMsg.Caption(), text);
    EXPECT_EQ(form.ScaleWidth(), frmMessage::kInnerWidth);

    const int image = form.imgMsg.Height();
    const int label = form.lblMsg.Height();
    const int inner = label > 2 * image ? image / 2 + label : 2 * image;
    if (text == longText) {
      EXPECT_GT(label, 2 * image) << "the long text wraps past two icons";
    }
    // Heights round to whole pixels: a twip or so either way.
    EXPECT_NEAR(form.ScaleHeight(), inner, ui::TwipsPerPixelY());
    EXPECT_NEAR(form.imgMsg.Top(), (inner - image) / 2, 1);
    EXPECT_NEAR(form.lblMsg.Top(), (inner - label) / 2, 1);

    const Position at = CentredWindow(ui::ScreenWidth(), ui::ScreenHeight(), form.Width(), form.Height());
    EXPECT_NEAR(form.Left(), at.Left, ui::TwipsPerPixelX());
    EXPECT_NEAR(form.Top(), at.Top, ui::TwipsPerPixelY());
    EXPECT_EQ(HourglassCount(), 0) << "the hourglass goes once the window is placed";
  }
}

TEST_F(ProgressMessage, TheCloseBoxLeavesItUpAndOnlyTheProgramUnloadsIt) {
  form_.ShowMessage("Removing files from your system...", kUninstallerTitle);
  SendMessageA(form_.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form_.Visible());
  form_.Close();
  EXPECT_FALSE(form_.Loaded());
  form_.ShowMessage("again", kUninstallerTitle);
  EXPECT_TRUE(form_.Visible()) << "shown again after an unload";
}

}  // namespace
}  // namespace koral
