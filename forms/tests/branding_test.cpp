#include "forms/branding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/core/placement.h"
#include "common/win/profile.h"
#include "ui/twips.h"

namespace koral {
namespace {

// The title area as the control panel's windows lay it out.
class frmBranded : public BrandedForm {
 public:
  frmBranded(ui::Application& app, const char* name) : BrandedForm(app, name) {}

 private:
  void Design() override {
    Caption("Design caption");
    BorderStyle(ui::FormBorder::FixedSingle);
    ClientSize(6645, 5520);
    picLogo.Create(*this, {480, 360, 4740, 780});
    picLogo.BorderStyle(ui::BorderStyle::None);
    lblOemTitle.Create(picLogo, {0, 0, 2940, 465}, "Brimholt");
    lblOemTitle.Font({"Times New Roman", 20.25, true, false});
    lblOemTitle.ForeColor(ui::kRed);
    lblSystem.Create(picLogo, {0, 600, 3105, 195}, "TouchScreen Control Panel Version ");
    lblSystem.Font({"MS Sans Serif", 8.25, true, false});
    lblSystem.ForeColor(ui::kBlue);
    picIcon.Create(*this, {5280, 360, 780, 780});
    imgIcon.Create(picIcon, {0, 0, 480, 480});
    imgIcon.Icon(ui::ProgramIcon());
  }
};

class BrandingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / "koral_branding_test";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    profile_.InstallPath = folder_.string();
    profile_.VenderName = "Acme";
    profile_.VenderStyle = "";
    ASSERT_TRUE(main.Load());
    app_.MainForm(&main);
  }
  void TearDown() override {
    app_.EndProgram();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    std::filesystem::remove_all(folder_);
  }
  void WriteLogo(bool asBitmap) {
    std::ofstream file(folder_ / "KRLogo.Bmp", std::ios::binary);
    if (!asBitmap) {
      file << "not a bitmap";
      return;
    }
    const unsigned char bitmap[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                                    0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0, 0, 0, 0, 255, 0};
    file.write(reinterpret_cast<const char*>(bitmap), sizeof bitmap);
  }

  std::filesystem::path folder_;
  InstallationProfile profile_;
  ui::Application app_;
  frmBranded main{app_, "frmMain"};
};

struct StyleCase {
  const char* Code;
  ui::FontSpec Title;
  ui::Colour TitleColour;
  ui::Colour SystemColour;
};

class VenderStyleOnWindow : public BrandingTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(VenderStyleOnWindow, SetsTheTitleAsTheCodeSays) {
  profile_.VenderStyle = GetParam().Code;
  BrandMainWindow(main, profile_);
  EXPECT_FALSE(main.LogoMode());
  EXPECT_EQ(main.VenderStyle(), GetParam().Code);
  EXPECT_EQ(main.lblOemTitle.Caption(), "Acme");
  EXPECT_TRUE(main.lblOemTitle.Visible());
  const ui::FontSpec& font = main.lblOemTitle.Font();
  EXPECT_EQ(font.Name, GetParam().Title.Name);
  EXPECT_EQ(font.Size, GetParam().Title.Size);
  EXPECT_EQ(font.Bold, GetParam().Title.Bold);
  EXPECT_EQ(font.Italic, GetParam().Title.Italic);
  EXPECT_EQ(main.lblOemTitle.ForeColor(), GetParam().TitleColour);
  EXPECT_EQ(main.lblSystem.ForeColor(), GetParam().SystemColour);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, VenderStyleOnWindow,
    ::testing::Values(
        // Too short: exactly as designed apart from the text.
        StyleCase{"2", {"Times New Roman", 20.25, true, false}, ui::kRed, ui::kBlue},
        StyleCase{"21140109", {"Arial", 14, true, false}, RGB(0, 0, 128), RGB(0, 0, 255)},
        StyleCase{"30000000", {"Times New Roman", 20.25, false, false}, ui::kBlack, ui::kBlack},
        StyleCase{"12091699", {"Times New Roman", 9, false, true}, ui::kRed, ui::kBlue}),
    // Named after the code, so that CTest lists readable names.
    [](const ::testing::TestParamInfo<StyleCase>& info) { return std::string("code_") + info.param.Code; });

TEST_F(BrandingTest, LogoModeShowsTheBitmapInEveryWindow) {
  WriteLogo(true);
  BrandMainWindow(main, profile_);
  ASSERT_TRUE(main.LogoMode());
  EXPECT_FALSE(main.lblOemTitle.Visible());
  EXPECT_EQ(main.lblSystem.Left(), 2);
  EXPECT_EQ(main.lblSystem.Top(), 598);
  EXPECT_TRUE(main.picLogo.HasPicture());
  main.lblSystem.Caption("TouchScreen Control Panel Version 7.2.PS2");
  main.Caption(" TouchScreen Control Panel #KR-PS2");

  frmBranded dialog(app_, "frmMouseSpeed");
  ASSERT_TRUE(dialog.Load());
  DressDialog(dialog);
  EXPECT_EQ(dialog.Caption(), " TouchScreen Control Panel #KR-PS2");
  EXPECT_EQ(dialog.lblSystem.Caption(), "TouchScreen Control Panel Version 7.2.PS2");
  EXPECT_FALSE(dialog.lblOemTitle.Visible());
  EXPECT_EQ(dialog.lblOemTitle.Caption(), "Brimholt");
  EXPECT_EQ(dialog.lblSystem.Top(), 598);
  ASSERT_TRUE(dialog.picLogo.HasPicture());
  dialog.picLogo.ScaleMode(ui::ScaleMode::Pixels);
  EXPECT_EQ(dialog.picLogo.Point(0, 0), RGB(255, 0, 0));
}

TEST_F(BrandingTest, ALogoThatIsNoBitmapFallsBackToTheVendorName) {
  WriteLogo(false);
  BrandMainWindow(main, profile_);
  EXPECT_FALSE(main.LogoMode());
  EXPECT_TRUE(main.lblOemTitle.Visible());
  EXPECT_EQ(main.lblOemTitle.Caption(), "Acme");
  EXPECT_EQ(main.lblSystem.Top(), 600);
}

TEST_F(BrandingTest, DialogsTakeTheMainWindowsTitleAndStyle) {
  profile_.VenderStyle = "21140109";
  BrandMainWindow(main, profile_);
  main.lblOemTitle.Caption("Changed at run time");

  frmBranded dialog(app_, "frmAbout");
  ASSERT_TRUE(dialog.Load());
  BrandDialog(dialog);
  EXPECT_EQ(dialog.lblOemTitle.Caption(), "Changed at run time");
  EXPECT_EQ(dialog.lblOemTitle.Font().Name, "Arial");
  EXPECT_EQ(dialog.lblSystem.ForeColor(), RGB(0, 0, 255));
  EXPECT_EQ(dialog.Caption(), "Design caption");  // BrandDialog alone keeps the caption
}

TEST_F(BrandingTest, WindowsAndIconsAreCentred) {
  CentreWindow(main);
  const Position window = CentredWindow(ui::ScreenWidth(), ui::ScreenHeight(), main.Width(), main.Height());
  // A window stands on whole pixels.
  EXPECT_EQ(main.Left(), ui::PixelsToTwipsX(ui::TwipsToPixelsX(window.Left)));
  EXPECT_EQ(main.Top(), ui::PixelsToTwipsY(ui::TwipsToPixelsY(window.Top)));

  CentreIcon(main);
  const Position icon = CentredInside(main.picIcon.ScaleWidth(), main.picIcon.ScaleHeight(), 480, 480);
  EXPECT_EQ(main.imgIcon.Left(), icon.Left);
  EXPECT_EQ(main.imgIcon.Top(), icon.Top);
  EXPECT_GT(icon.Left, 0);
}

TEST_F(BrandingTest, ReturningShowsTheMainWindow) {
  frmBranded dialog(app_, "frmAbout");
  EXPECT_FALSE(main.Visible());
  ReturnToMainWindow(dialog);
  EXPECT_TRUE(main.Visible());
}

}  // namespace
}  // namespace koral
