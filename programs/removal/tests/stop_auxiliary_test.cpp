// Stopping the auxiliary programs through the real substitute driver: in this process, and by the
// real uninstaller on its way to a file remover that is not there (a path that ends before any
// restart, so it may run in the shared test prefix).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/slot_window.h"
#include "common/win/trusted_folders.h"
#include "programs/removal/removal.h"
#include "tests/support/driver_service.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/slot_stand_in.h"
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
    install_ = fs::temp_directory_path() / "koral removal stop" / "Install";
    fs::remove_all(install_.parent_path());
    fs::create_directories(install_);
  }
  void TearDown() override {
    tool_.Kill();
    companion_.Kill();
    sim_.Reset();
    test::WriteDevelopmentProfile(test::ProgramFolder());
    std::error_code ignored;
    fs::remove_all(install_.parent_path(), ignored);
  }
  std::vector<uint32_t> JournalCodes() {
    std::vector<uint32_t> codes;
    for (const auto& entry : sim_.ReadJournal()) codes.push_back(entry.Code);
    return codes;
  }
  // Runs the real uninstaller from the installation folder (without a file remover there) up to
  // its first box, and answers it.
  void RunUninstallerToItsFirstBox(std::chrono::milliseconds limit) {
    ASSERT_TRUE(test::CopyProgram("KORALpde.exe", install_));
    ASSERT_TRUE(test::WriteDevelopmentProfile(install_.string()));
    test::RunningProgram program;
    ASSERT_TRUE(program.Start("KORALpde.exe", "", install_.string()));
    const HWND main = test::WaitForVisibleWindow(kUninstallerTitle);
    ASSERT_NE(main, nullptr);
    PostMessageA(ui::FindNamedChild(main, "cmdYes"), BM_CLICK, 0, 0);
    const auto box = test::WaitForMessageBox(kUninstallerTitle, limit);
    ASSERT_TRUE(box) << "the uninstaller did not get past the auxiliary programs";
    EXPECT_EQ(box->Text, "Fail to remove files! (Startup)");
    test::AnswerMessageBox(box->Box, IDOK);
    EXPECT_TRUE(program.WaitForExit()) << "the uninstaller ends after the failure";
  }

  sim::SimClient sim_;
  fs::path install_;
  test::SlotStandIn tool_, companion_;
};

TEST_F(AuxiliaryPrograms, EachRegisteredProgramIsToldToQuit) {
  struct Case {
    const char* Name;
    bool Tool, Companion;
  };
  for (const auto& c : {Case{"both", true, true}, Case{"tool only", true, false}, Case{"companion only", false, true},
                        Case{"neither", false, false}}) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(sim_.Reset());
    if (c.Tool) ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool));
    if (c.Companion) ASSERT_TRUE(companion_.Start(install_, test::SlotStandIn::Role::Companion));
    sim_.ReadJournal();
    device::DriverSession driver;
    device::StopAuxiliaryPrograms(driver, install_.string());
    if (c.Tool) {
      EXPECT_EQ(tool_.Received(), std::vector<WPARAM>{0x100E});
      EXPECT_TRUE(tool_.Ended());
    }
    if (c.Companion) {
      EXPECT_EQ(companion_.Received(), std::vector<WPARAM>{0x200E});
      EXPECT_TRUE(companion_.Ended());
    }
    EXPECT_EQ(JournalCodes(), (std::vector<uint32_t>{kGetRightButtonSlot, kGetCompanionSlot}));
    EXPECT_FALSE(driver.IsOpen()) << "the driver is closed again";
  }
}

TEST_F(AuxiliaryPrograms, WithoutTheDriverNothingIsSentAndNothingSaid) {
  ToolWindow window;
  {
    device::DriverSession driver;
    ASSERT_TRUE(driver.Open());
    ASSERT_TRUE(driver.SetRightButtonSlot({window.Handle(), 0, {}}));
  }
  ASSERT_TRUE(sim_.SetCompanionSlot(window.Handle(), 0));
  const test::DriverServiceStopped stopped(sim_);
  ASSERT_TRUE(stopped.Stopped());
  test::FakeMessageBoxes boxes;
  device::DriverSession driver;
  device::StopAuxiliaryPrograms(driver, install_.string());
  EXPECT_TRUE(ToolWindow::Received().empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AuxiliaryPrograms, TheUninstallerStopsThemBeforeItLooksForTheFileRemover) {
  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool));
  ASSERT_TRUE(companion_.Start(install_, test::SlotStandIn::Role::Companion));
  RunUninstallerToItsFirstBox(test::kDefaultWait);
  EXPECT_EQ(tool_.Received(), std::vector<WPARAM>{0x100E});
  EXPECT_EQ(companion_.Received(), std::vector<WPARAM>{0x200E});
}

// Windows that stop answering, or that are not the suite's, hold the removal up no longer than
// the time-out of each message, and the removal goes on.
TEST_F(AuxiliaryPrograms, TheUninstallerGoesOnPastWindowsThatNeverAnswer) {
  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool, true));
  ASSERT_TRUE(companion_.Start(install_, test::SlotStandIn::Role::Companion, true));
  RunUninstallerToItsFirstBox(std::chrono::milliseconds(3 * kSlotMessageTimeoutMs) + std::chrono::seconds(10));
}

TEST_F(AuxiliaryPrograms, TheUninstallerSendsNothingToWindowsThatAreNotTheSuites) {
  // The tool's and the companion's programs, but from a folder of a user's choosing.
  ASSERT_TRUE(tool_.Start(install_.parent_path() / "User", test::SlotStandIn::Role::Tool));
  ASSERT_TRUE(companion_.Start(install_.parent_path() / "User", test::SlotStandIn::Role::Companion));
  RunUninstallerToItsFirstBox(test::kDefaultWait);
  EXPECT_TRUE(tool_.Received().empty());
  EXPECT_TRUE(companion_.Received().empty());
}

}  // namespace
}  // namespace koral::removal
