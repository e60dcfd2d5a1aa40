// The real control panel under Wine against the real substitute driver, read through its
// windows as a user (or a screen reader) would see them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/core/titles.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "programs/panel/tests/panel_program.h"
#include "tests/support/driver_service.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral {
namespace {

using panel::tests::Control;

namespace fs = std::filesystem;
using test::RunningProgram;

constexpr char kPanel[] = "KORALpcp.exe";

class ControlPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    install_ = fs::temp_directory_path() / "koral_panel_install";
    fs::remove_all(install_);
    fs::create_directories(install_);
    ASSERT_TRUE(test::WriteDevelopmentProfile(install_.string()));
    SetCalibrationMode(0);
  }
  void TearDown() override {
    if (panel_.Running()) {
      if (HWND main = test::FindVisibleWindow(kControlPanelTitle)) PostMessageA(main, WM_CLOSE, 0, 0);
      panel_.WaitForExit(std::chrono::seconds(10));
    }
    sim_.Reset();
    test::WriteDevelopmentProfile(test::ProgramFolder());
    fs::remove_all(install_);
  }

  static void SetCalibrationMode(int32_t mode) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_TRUE(registry::WriteNumber(key.get(), "CalibrationMode", mode));
  }
  static bool StoredCalibrationMode(int32_t& mode) {
    UniqueHKey key;
    return registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key) &&
           registry::ReadNumber(key.get(), "CalibrationMode", mode);
  }

  // Starts the panel and waits for its main window.
  HWND StartPanel() {
    EXPECT_TRUE(panel_.Start(kPanel));
    const HWND main = test::WaitForVisibleWindow(kControlPanelTitle);
    EXPECT_NE(main, nullptr) << "the main window did not appear";
    return main;
  }
  static std::string Text(HWND main, const char* name) { return test::ControlText(Control(main, name)); }

  // Starts the panel, expects one error box with the text, answers it and expects the end.
  void ExpectStartFailure(const std::string& text) {
    ASSERT_TRUE(panel_.Start(kPanel));
    const auto box = test::WaitForMessageBox(kControlPanelTitle);
    ASSERT_TRUE(box) << "no message box for: " << text;
    EXPECT_EQ(box->Text, text);
    EXPECT_EQ(test::FindVisibleWindow(kControlPanelTitle), nullptr) << "the main window showed";
    test::AnswerMessageBox(box->Box, IDOK);
    EXPECT_TRUE(panel_.WaitForExit()) << "the program went on after: " << text;
  }

  void Touch(const char* file) { std::ofstream(install_ / file) << "x"; }

  sim::SimClient sim_;
  RunningProgram panel_;
  fs::path install_;
};

TEST_F(ControlPanel, MissingProfileEndsTheProgram) {
  ASSERT_TRUE(test::RemoveModelKey());
  ExpectStartFailure("Fail to load data from Register File!");
  EXPECT_TRUE(sim_.ReadJournal().empty()) << "the driver is not asked before the profile loads";
}

TEST_F(ControlPanel, MissingDriverEndsTheProgram) {
  const test::DriverServiceStopped stopped(sim_);
  ASSERT_TRUE(stopped.Stopped());
  ExpectStartFailure("Fail to open KORALPS2.vxd!");
}

TEST_F(ControlPanel, NoControllerEndsTheProgramAfterOneRead) {
  ParamBlock none = sim::SimClient::DefaultBlock();
  none.DetectedPort = 0;
  ASSERT_TRUE(sim_.LoadBlock(none));
  ExpectStartFailure("TouchScreen Controller Not Found!");
  const auto journal = sim_.ReadJournal();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].Code, kReadBlock);
}

TEST_F(ControlPanel, SecondStartBringsTheFirstWindowForward) {
  const HWND first = StartPanel();
  ASSERT_NE(first, nullptr);
  RunningProgram second;
  ASSERT_TRUE(second.Start(kPanel));
  const auto code = second.WaitForExit();
  ASSERT_TRUE(code) << "the second instance did not end";
  EXPECT_EQ(test::FindTopWindow(kControlPanelTitle, "#32770"), nullptr) << "a message box appeared";
  EXPECT_EQ(test::CountProcessWindows(second.Id(), kControlPanelTitle), 0);
  EXPECT_EQ(GetForegroundWindow(), first);
  EXPECT_TRUE(panel_.Running());
}

TEST_F(ControlPanel, StatusLabelsShowTheDriversBlock) {
  struct Case {
    const char* name;
    void (*edit)(ParamBlock&);
    const char* touchMode;
    const char* feedback;
    const char* speed;
  };
  const Case cases[] = {
      {"defaults", [](ParamBlock&) {}, "Drag Drop Mode, RBF Disable", "Silence ( No Sound )",
       "HS=50%, VS=50%, Acceleration=Slow"},
      {"automatic right button",
       [](ParamBlock& b) {
         b.RightButtonFunction = 1;
         b.RightButtonAutoMode = 1;
         b.FeedbackSound = 4;
         b.MouseHSpeed = 20;
         b.MouseVSpeed = 1;
         b.MouseAcceleration = 3;
       },
       "Drag Drop Mode, RBF Enable ( Automatic Mode )", "Both Touch Down && Lift Off",
       "HS=100%, VS=5%, Acceleration=Fast"},
      {"invalid values and bypass",
       [](ParamBlock& b) {
         b.VirtualButton = 5;
         b.RightButtonFunction = 1;
         b.RightButtonAutoMode = 1;
         b.FeedbackSound = 0;
         b.MouseBypass = 1;
       },
       "Invalid#5,1,1", "Invalid#0", "Enable Bypass Mode"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ParamBlock block = sim::SimClient::DefaultBlock();
    c.edit(block);
    ASSERT_TRUE(sim_.LoadBlock(block));
    const HWND main = StartPanel();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text(main, "lblSerialPort"), "TouchScreen or Mouse found on PS/2 port");
    EXPECT_EQ(Text(main, "lblVirtualButton"), c.touchMode);
    EXPECT_EQ(Text(main, "lblFeedbackSound"), c.feedback);
    EXPECT_EQ(Text(main, "lblMouseSpeed"), c.speed);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
  }
}

TEST_F(ControlPanel, SerialPortAndPowerSaveRowsNeverShow) {
  ParamBlock serial = sim::SimClient::DefaultBlock();
  serial.DetectedPort = 2;  // what a serial controller on COM2 would report
  serial.SleepTime = 6;
  ASSERT_TRUE(sim_.LoadBlock(serial));
  const HWND main = StartPanel();
  ASSERT_NE(main, nullptr);
  for (const char* name : {"cmdSerialPort", "cmdSleepTime", "shpSleepTime", "lblSleepTime",
                           "cmdSensivitity", "cmdTest", "cmdSMIon", "cmdSMIoff"})
    EXPECT_FALSE(IsWindowVisible(Control(main, name))) << name;
  EXPECT_TRUE(IsWindowVisible(Control(main, "lblDetection")));
  EXPECT_EQ(Text(main, "lblDetection"), "Detection");
}

TEST_F(ControlPanel, SupportButtonTakesOneOfThreeRoles) {
  struct Case {
    const char* name;
    std::vector<const char*> files;
    const char* caption;
    bool enabled;
  };
  const Case cases[] = {
      {"vendor bitmap", {"KRVender.Bmp"}, "S&upport", true},
      {"no vendor files", {}, "&About", true},
      {"cut file wins over the bitmap", {"KRVender.Bmp", "KRVender.Cut"}, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(install_);
    fs::create_directories(install_);
    for (const char* file : c.files) Touch(file);
    const HWND main = StartPanel();
    ASSERT_NE(main, nullptr);
    const HWND support = Control(main, "cmdSupport");
    EXPECT_EQ(test::ControlText(support), c.caption);
    EXPECT_EQ(IsWindowEnabled(support) != 0, c.enabled);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
  }
}

TEST_F(ControlPanel, CalibrationListFallsBackAndWritesOnlyAMissingModeBack) {
  struct Case {
    const char* name;
    bool stored;
    int32_t mode;
    const char* shown;
    int32_t written;
  };
  const Case cases[] = {
      {"mode 1 kept", true, 0, " 4 points, mode 1", 0},
      {"mode 2 kept", true, 1, " 4 points, mode 2", 1},
      // A stored mode the list cannot show stays stored until the user chooses.
      {"too large", true, 5, " 4 points, mode 2", 5},
      {"negative", true, -1, " 4 points, mode 2", -1},
      {"missing", false, 0, " 4 points, mode 2", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.stored) {
      SetCalibrationMode(c.mode);
    } else {
      UniqueHKey key;
      ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
      RegDeleteValueA(key.get(), "CalibrationMode");
    }
    const HWND main = StartPanel();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Text(main, "cboCalibration"), c.shown);
    int32_t written = -100;
    EXPECT_TRUE(StoredCalibrationMode(written));
    EXPECT_EQ(written, c.written);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
  }
}

TEST_F(ControlPanel, ExitEndsTheProgram) {
  const HWND main = StartPanel();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(main, "cmdExit"), "E&xit");
  PostMessageA(Control(main, "cmdExit"), BM_CLICK, 0, 0);
  EXPECT_TRUE(panel_.WaitForExit());
  EXPECT_EQ(test::FindTopWindow(kControlPanelTitle), nullptr);
}

}  // namespace
}  // namespace koral
