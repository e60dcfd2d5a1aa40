// Stopping the auxiliary programs through the real substitute driver: in this process, and by the
// real uninstaller on its way to a file remover that is not there (a path that ends before any
// restart, so it may run in the shared test prefix).
#include <gtest/gtest.h>

#include <filesystem>

#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "programs/removal/removal.h"
#include "tests/support/driver_service.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/tool_window.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral::removal {
namespace {

namespace fs = std::filesystem;
using test::ToolWindow;

class AuxiliaryPrograms : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
  }
  void TearDown() override { sim_.Reset(); }
  // Registers the stand-ins in the driver's slots (-1 leaves a slot empty).
  void Register(int32_t tool, int32_t companion) {
    device::DriverSession driver;
    ASSERT_TRUE(driver.Open());
    ASSERT_TRUE(driver.SetRightButtonSlot({tool, 0, {}}));
    ASSERT_TRUE(sim_.SetCompanionSlot(companion, 0));
    sim_.ReadJournal();
  }
  std::vector<uint32_t> JournalCodes() {
    std::vector<uint32_t> codes;
    for (const auto& entry : sim_.ReadJournal()) codes.push_back(entry.Code);
    return codes;
  }
  sim::SimClient sim_;
};

TEST_F(AuxiliaryPrograms, EachRegisteredProgramIsToldToQuit) {
  struct Case {
    const char* Name;
    bool Tool, Companion;
    std::vector<WPARAM> Expected;
  };
  for (const auto& c : {Case{"both", true, true, {0x100E, 0x200E}}, Case{"tool only", true, false, {0x100E}},
                        Case{"companion only", false, true, {0x200E}}, Case{"neither", false, false, {}}}) {
    ToolWindow window(" TouchScreen Right-Button #KR-PS2");
    Register(c.Tool ? window.Handle() : kNoWindow, c.Companion ? window.Handle() : kNoWindow);
    device::DriverSession driver;
    device::StopAuxiliaryPrograms(driver);
    EXPECT_EQ(ToolWindow::Received(), c.Expected) << c.Name;
    EXPECT_EQ(JournalCodes(), (std::vector<uint32_t>{kGetRightButtonSlot, kGetCompanionSlot})) << c.Name;
    EXPECT_FALSE(driver.IsOpen()) << "the driver is closed again";
  }
}

TEST_F(AuxiliaryPrograms, WithoutTheDriverNothingIsSentAndNothingSaid) {
  ToolWindow window;
  Register(window.Handle(), window.Handle());
  const test::DriverServiceStopped stopped(sim_);
  ASSERT_TRUE(stopped.Stopped());
  test::FakeMessageBoxes boxes;
  device::DriverSession driver;
  device::StopAuxiliaryPrograms(driver);
  EXPECT_TRUE(ToolWindow::Received().empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AuxiliaryPrograms, TheUninstallerStopsThemBeforeItLooksForTheFileRemover) {
  const fs::path install = fs::temp_directory_path() / "koral removal no remover";
  fs::remove_all(install);
  fs::create_directories(install);
  ASSERT_TRUE(test::WriteDevelopmentProfile(install.string()));
  ToolWindow window(" TouchScreen Right-Button #KR-PS2");
  Register(window.Handle(), window.Handle());

  test::RunningProgram program;
  ASSERT_TRUE(program.Start("KORALpde.exe"));
  const HWND main = test::WaitForVisibleWindow(kUninstallerTitle);
  ASSERT_NE(main, nullptr);
  PostMessageA(ui::FindNamedChild(main, "cmdYes"), BM_CLICK, 0, 0);
  const auto box = test::WaitForMessageBox(kUninstallerTitle);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->Text, "Fail to remove files! (Startup)");
  EXPECT_EQ(ToolWindow::Received(), (std::vector<WPARAM>{0x100E, 0x200E}));
  test::AnswerMessageBox(box->Box, IDOK);
  EXPECT_TRUE(program.WaitForExit()) << "the uninstaller ends after the failure";
  test::WriteDevelopmentProfile(test::ProgramFolder());
  fs::remove_all(install);
}

}  // namespace
}  // namespace koral::removal
