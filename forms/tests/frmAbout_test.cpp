// The about window in this process, over a main window of its own.
#include "forms/frmAbout.h"

#include <gtest/gtest.h>

#include "common/win/profile.h"

namespace koral {
namespace {

class frmOwner : public BrandedForm {
 public:
  explicit frmOwner(ui::Application& app) : BrandedForm(app, "frmMain") {}

 private:
  void Design() override {
    Caption(" TouchScreen System Startup #KR-PS2");
    ClientSize(6495, 2025);
    DesignTitleArea("TouchScreen System Startup Version ");
  }
};

class AboutWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    profile_.InstallPath = "C:\\nowhere";
    profile_.VenderStyle = "";
    ASSERT_TRUE(main_.Load());
    main_.lblSystem.Caption(main_.lblSystem.Caption() + "7.2.PS2");
    BrandMainWindow(main_, profile_);
    app_.MainForm(&main_);
  }
  void TearDown() override {
    app_.EndProgram();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  InstallationProfile profile_;
  ui::Application app_;
  frmOwner main_{app_};
  frmAbout about_{app_};
};

TEST_F(AboutWindow, ShowsTheVersionLineAndTheCopyrightButKeepsItsCaption) {
  for (const auto& [vendor, copyright] :
       {std::pair<std::string, std::string>{"Acme", "Copyright (C) 2026 Acme. All rights reserved."},
        {"", "Copyright (C) 2026. All rights reserved."}}) {
    profile_.VenderName = vendor;
    BrandMainWindow(main_, profile_);
    about_.Show();
    EXPECT_EQ(about_.Caption(), " About");
    EXPECT_EQ(about_.lblSystem.Caption(), "TouchScreen System Startup Version 7.2.PS2");
    EXPECT_EQ(about_.lblOemTitle.Caption(), vendor);
    EXPECT_EQ(about_.lblCopyright.Caption(), copyright);
    EXPECT_TRUE(about_.cmdOK.Default());
    about_.Unload();
  }
}

TEST_F(AboutWindow, ClosingByOkOrTheCloseBoxBringsTheMainWindowBack) {
  for (const bool closeBox : {false, true}) {
    main_.Hide();
    about_.Show();
    if (closeBox)
      SendMessageA(about_.hwnd(), WM_CLOSE, 0, 0);
    else
      SendMessageA(about_.cmdOK.hwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(about_.Loaded());
    EXPECT_TRUE(main_.Visible());
  }
}

}  // namespace
}  // namespace koral
