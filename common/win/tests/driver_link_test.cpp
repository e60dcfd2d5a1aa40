// The driver session against the real substitute driver: what arrives at the driver is read
// back from its journal, and a command the driver refuses says so.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/win/driver_link.h"
#include <thread>

#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/right_button.h"
#include "common/win/slot_window.h"
#include "common/win/trusted_folders.h"
#include "tests/support/programs.h"
#include "tests/support/slot_stand_in.h"
#include "tests/support/tool_window.h"
#include "tools/sim_client.h"

namespace koral {
namespace {

using device::Group;

std::vector<uint8_t> Bytes(const ParamBlock& block) {
  const auto* p = reinterpret_cast<const uint8_t*>(&block);
  return {p, p + sizeof block};
}

std::vector<uint8_t> Bytes(const JournalEntry& entry) {
  return {entry.Data, entry.Data + entry.Length};
}

class DriverLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open()) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(driver_.Open());
  }
  void TearDown() override {
    driver_.Close();
    sim_.Reset();
  }
  ParamBlock Held() { return sim_.ReadBlock().value_or(ParamBlock{}); }

  sim::SimClient sim_;
  device::DriverSession driver_;
};

TEST_F(DriverLink, ReadBlockGivesTheWholeBlockAndIsJournalled) {
  const auto block = driver_.ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_EQ(Bytes(*block), Bytes(sim_.DefaultBlock()));
  const auto journal = sim_.ReadJournal();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].Code, kReadBlock);
  EXPECT_EQ(journal[0].Length, sizeof(ParamBlock));
}

TEST_F(DriverLink, DetectedPortZeroComesBackAsReported) {
  ParamBlock none = sim_.DefaultBlock();
  none.DetectedPort = 0;
  ASSERT_TRUE(sim_.LoadBlock(none));
  const auto block = driver_.ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_EQ(block->DetectedPort, 0);
}

// Each group code sends the whole block; the driver takes only that group's bytes.
TEST_F(DriverLink, EachGroupCodeDeliversExactlyTheBlockSent) {
  struct Case {
    const char* name;
    Group group;
    std::vector<std::pair<size_t, size_t>> taken;  // byte ranges [first, last]
  };
  const Case cases[] = {
      {"serial ports", Group::SerialPorts, {{4, 39}}},
      {"virtual button", Group::VirtualButton, {{40, 40}, {53, 57}}},
      {"feedback", Group::Feedback, {{41, 45}}},
      {"sensitivity", Group::Sensitivity, {{46, 46}}},
      {"mouse speed", Group::MouseSpeed, {{47, 50}}},
      {"calibration", Group::Calibration, {{58, 70}}},
      {"whole block", Group::WholeBlock, {{0, 81}}},
      {"sleep time", Group::SleepTime, {{51, 51}}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(sim_.Reset());
    const ParamBlock read = Held();
    ParamBlock changed = read;
    auto* bytes = reinterpret_cast<uint8_t*>(&changed);
    for (size_t i = 0; i < sizeof(ParamBlock); ++i) bytes[i] = static_cast<uint8_t>(bytes[i] ^ 0x5A);
    sim_.ReadJournal();

    EXPECT_TRUE(driver_.Write(c.group, changed)) << c.name;
    const auto journal = sim_.ReadJournal();
    ASSERT_EQ(journal.size(), 1u) << c.name;
    EXPECT_EQ(journal[0].Code, static_cast<uint32_t>(c.group)) << c.name;
    EXPECT_EQ(Bytes(journal[0]), Bytes(changed)) << c.name;

    const auto before = Bytes(read), sent = Bytes(changed), after = Bytes(Held());
    for (size_t i = 0; i < sizeof(ParamBlock); ++i) {
      bool taken = false;
      for (auto [first, last] : c.taken) taken = taken || (i >= first && i <= last);
      EXPECT_EQ(after[i], taken ? sent[i] : before[i]) << c.name << ", byte " << i;
    }
  }
}

// The program's copy changes with what the driver took, and only then.
TEST_F(DriverLink, TheProgramsCopyTakesAWriteOnlyWhenTheDriverDid) {
  device::Controller controller(driver_);
  ASSERT_TRUE(controller.ReadBlock());
  const ParamBlock read = controller.Block();
  ParamBlock changed = read;
  changed.MouseHSpeed = 3;
  ASSERT_TRUE(sim_.Refuse(kWriteMouseSpeed, 1));
  EXPECT_FALSE(controller.Write(Group::MouseSpeed, changed));
  EXPECT_EQ(Bytes(controller.Block()), Bytes(read));
  EXPECT_EQ(Bytes(Held()), Bytes(read));
  EXPECT_TRUE(controller.Write(Group::MouseSpeed, changed));
  EXPECT_EQ(Bytes(controller.Block()), Bytes(changed));
  const ParamBlock now = Held();
  EXPECT_EQ(std::memcmp(now.Reserved0, read.Reserved0, 3), 0) << "bytes the suite does not interpret go back";
  EXPECT_EQ(now.Reserved52, read.Reserved52);
  EXPECT_EQ(now.Reserved71, read.Reserved71);
  for (int n = 0; n < 9; ++n) EXPECT_EQ(now.ComPort[n].Spare, read.ComPort[n].Spare) << n;
  EXPECT_EQ(now.MouseHSpeed, 3);

  ASSERT_TRUE(sim_.Refuse(kReadBlock, 1));
  ASSERT_TRUE(sim_.LoadBlock(sim_.DefaultBlock()));
  EXPECT_FALSE(controller.ReadBlock());
  EXPECT_EQ(Bytes(controller.Block()), Bytes(changed)) << "a failed read keeps the copy";
}

// Every command of the session says whether the driver took it; a refused one changes nothing
// the driver holds, and a refused read gives no answer at all (no buffer left over from another
// command).
TEST_F(DriverLink, EveryCommandSaysWhenTheDriverRefusedIt) {
  const ParamBlock block = Held();
  struct Case {
    const char* name;
    uint32_t code;
    std::function<bool()> send;
  };
  const Case cases[] = {
      {"read block", kReadBlock, [&] { return driver_.ReadBlock().has_value(); }},
      {"raw point", kReadRawPoint, [&] { return driver_.ReadRawPoint().has_value(); }},
      {"calibration event", kCalibrationEvent, [&] { return driver_.SignalCalibration(kCalLeft); }},
      {"write", kWriteSleepTime, [&] { return driver_.Write(Group::SleepTime, block); }},
      {"right-button slot", kGetRightButtonSlot, [&] { return driver_.RightButtonSlot().has_value(); }},
      {"set right-button slot", kSetRightButtonSlot, [&] { return driver_.SetRightButtonSlot({77, 1, {}}); }},
      {"companion slot", kGetCompanionSlot, [&] { return driver_.CompanionSlot().has_value(); }},
      {"sound test", kSoundTest, [&] { return driver_.PlaySound({1000, 20}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(sim_.Refuse(c.code, 1));
    EXPECT_FALSE(c.send());
    EXPECT_TRUE(c.send()) << "one refusal only";
  }
  EXPECT_EQ(driver_.RightButtonSlot()->Handle, 77) << "the slot took the second write only";
}

TEST_F(DriverLink, RightButtonSlotIsEmptyUntilAWindowRegisters) {
  auto slot = driver_.RightButtonSlot();
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot->Handle, -1);
  EXPECT_EQ(slot->State, 0);

  ASSERT_TRUE(driver_.SetRightButtonSlot({0x10086, 1, {}}));
  slot = driver_.RightButtonSlot();
  EXPECT_EQ(slot->Handle, 0x10086);
  EXPECT_EQ(slot->State, 1);

  ASSERT_TRUE(sim_.RightClickDone());
  EXPECT_EQ(driver_.RightButtonSlot()->State, 0) << "the driver disarms the tool after its right click";
}

TEST_F(DriverLink, AClosedSessionSendsNothing) {
  driver_.Close();
  EXPECT_FALSE(driver_.ReadBlock());
  EXPECT_FALSE(driver_.Write(Group::MouseSpeed, sim_.DefaultBlock()));
  EXPECT_FALSE(driver_.RightButtonSlot());
  EXPECT_TRUE(sim_.ReadJournal().empty());
}

TEST_F(DriverLink, RawSampleCounterChangesWithEveryNewSample) {
  ASSERT_TRUE(sim_.PushSample(100, 900, true));
  const RawPoint first = driver_.ReadRawPoint().value_or(RawPoint{});
  EXPECT_EQ(first.X, 100);
  EXPECT_EQ(first.Y, 900);
  EXPECT_EQ(first.Status & kTouchedBit, kTouchedBit);
  EXPECT_EQ(driver_.ReadRawPoint()->Counter, first.Counter) << "no new sample, same counter";
  ASSERT_TRUE(sim_.PushSample(100, 900, false));
  const RawPoint next = driver_.ReadRawPoint().value_or(RawPoint{});
  EXPECT_NE(next.Counter, first.Counter);
  EXPECT_EQ(next.Status & kTouchedBit, 0);
  EXPECT_TRUE(sim_.ReadJournal().empty()) << "raw reads are not journalled";
}

TEST_F(DriverLink, CalibrationEventsAndSoundTestsReachTheDriver) {
  EXPECT_TRUE(driver_.SignalCalibration(kCalPointAccepted));
  EXPECT_TRUE(driver_.PlaySound({1000, 20}));
  const auto journal = sim_.ReadJournal();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0].Code, kCalibrationEvent);
  int32_t event = 0;
  std::memcpy(&event, journal[0].Data, 4);
  EXPECT_EQ(event, 5);
  EXPECT_EQ(journal[1].Code, kSoundTest);
  EXPECT_EQ(journal[1].Length, 4u);
  EXPECT_EQ(Bytes(journal[1]), (std::vector<uint8_t>{0xE8, 0x03, 0x14, 0x00}));
}

// A slot's window is messaged only when it is the suite's own: the tool's or the companion's
// program in the trusted installation folder. Windows of other programs, of this process, of
// another folder, and windows gone, count as none.
class SlotWindows : public DriverLink {
 protected:
  void SetUp() override {
    DriverLink::SetUp();
    install_ = std::filesystem::temp_directory_path() / "koral slot windows" / "Install";
    std::filesystem::remove_all(install_.parent_path());
    folder_ = install_.string();
  }
  void TearDown() override {
    tool_.Kill();
    companion_.Kill();
    DriverLink::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(install_.parent_path(), ignored);
  }
  std::filesystem::path install_;
  std::string folder_;  // the trusted installation folder the commands are given
  test::SlotStandIn tool_, companion_;
};

TEST_F(SlotWindows, TheToolIsMessagedOnlyWhenItIsTheSuitesOwn) {
  test::ToolWindow inThisProcess(kRightButtonToolCaption);
  EXPECT_FALSE(device::TellRightButtonTool(driver_, folder_, device::kHideTool)) << "no tool registered";
  ASSERT_TRUE(driver_.SetRightButtonSlot({inThisProcess.Handle(), 0, {}}));
  EXPECT_FALSE(device::TellRightButtonTool(driver_, folder_, device::kHideTool));
  EXPECT_TRUE(test::ToolWindow::Received().empty()) << "a window of another program with the tool's caption";

  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool));
  for (WPARAM code : {device::kHideTool, device::kShowTool, device::kQuitTool})
    EXPECT_TRUE(device::TellRightButtonTool(driver_, folder_, code));
  EXPECT_EQ(tool_.Received(), (std::vector<WPARAM>{device::kHideTool, device::kShowTool, device::kQuitTool}));
  EXPECT_TRUE(tool_.Ended());
  EXPECT_FALSE(device::TellRightButtonTool(driver_, folder_, device::kShowTool));
  EXPECT_EQ(tool_.Received().size(), 3u) << "the tool has gone: its handle is sent nothing";

  ASSERT_TRUE(tool_.Start(install_.parent_path() / "Elsewhere", test::SlotStandIn::Role::Tool));
  EXPECT_FALSE(device::TellRightButtonTool(driver_, folder_, device::kHideTool));
  EXPECT_TRUE(tool_.Received().empty()) << "the tool's program in another folder";
}

TEST_F(SlotWindows, TheCompanionIsToldToQuitOnlyWhenItIsTheCompanion) {
  test::ToolWindow inThisProcess;
  ASSERT_TRUE(sim_.SetCompanionSlot(inThisProcess.Handle(), 2));
  device::QuitCompanion(driver_, folder_);
  EXPECT_TRUE(test::ToolWindow::Received().empty());

  // The right-button tool's program is no companion, even in the right folder.
  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool));
  ASSERT_TRUE(sim_.SetCompanionSlot(tool_.Handle(), 2));
  device::QuitCompanion(driver_, folder_);
  EXPECT_TRUE(tool_.Received().empty());

  ASSERT_TRUE(companion_.Start(install_, test::SlotStandIn::Role::Companion));
  // The companion's slot is read by its own command: a refused read finds no window, even with
  // the tool's slot holding one.
  ASSERT_TRUE(driver_.SetRightButtonSlot({companion_.Handle(), 0, {}}));
  ASSERT_TRUE(sim_.Refuse(kGetCompanionSlot, 1));
  EXPECT_FALSE(device::QuitCompanion(driver_, folder_));
  EXPECT_TRUE(companion_.Received().empty());
  EXPECT_TRUE(device::QuitCompanion(driver_, folder_));
  EXPECT_EQ(companion_.Received(), std::vector<WPARAM>{device::kQuitCompanion});
  EXPECT_TRUE(companion_.Ended());
}

// A slot's window that has stopped answering holds the sender for the time-out at most.
TEST_F(SlotWindows, AWindowThatNeverAnswersHoldsNobodyForGood) {
  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool, true));
  ASSERT_TRUE(companion_.Start(install_, test::SlotStandIn::Role::Companion, true));
  std::atomic<bool> done{false};
  std::thread stopping([&] {
    device::DriverSession driver;
    device::StopAuxiliaryPrograms(driver, folder_);
    done = true;
  });
  const bool returned =
      test::WaitUntil([&] { return done.load(); }, std::chrono::milliseconds(3 * kSlotMessageTimeoutMs));
  tool_.Kill();  // a sender still waiting is let go, so that the test ends either way
  companion_.Kill();
  stopping.join();
  EXPECT_TRUE(returned) << "the uninstaller and the setup would wait for good";
}

// Programs are started by their quoted path: a folder with a blank must not run a program
// named after the part before the blank.
TEST(Launcher, InstallPathWithABlankRunsTheRightProgram) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("koral_launch_" + std::to_string(GetCurrentProcessId()));
  std::error_code ignored;
  fs::remove_all(root, ignored);
  fs::create_directories(root / "Program Files");
  const fs::path marker = fs::path(test::ToolFolder()) / "marker_program.exe";
  ASSERT_TRUE(fs::exists(marker)) << marker;
  fs::copy_file(marker, root / "Program.exe");
  fs::copy_file(marker, root / "Program Files" / "KORALPrb.exe");
  fs::copy_file(marker, root / "Program Files" / "KORALPvr.exe");

  const std::string folder = (root / "Program Files").string();
  EXPECT_TRUE(device::StartRightButtonTool(folder));
  EXPECT_TRUE(device::StartCompanion(folder));
  EXPECT_TRUE(test::WaitUntil([&] { return fs::exists(root / "Program Files" / "KORALPrb.exe.ran"); }));
  EXPECT_TRUE(test::WaitUntil([&] { return fs::exists(root / "Program Files" / "KORALPvr.exe.ran"); }));
  EXPECT_FALSE(fs::exists(root / "Program.exe.ran"));

  EXPECT_FALSE(device::StartRightButtonTool((root / "Nowhere").string()));
  EXPECT_FALSE(device::StartRightButtonTool("")) << "without a trusted folder nothing is started";
  // The started programs may still be ending; their files can go once they have.
  EXPECT_TRUE(test::WaitUntil([&] { return fs::remove_all(root, ignored), !fs::exists(root); }));
}

}  // namespace
}  // namespace koral
