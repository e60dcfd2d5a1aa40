// The driver link against the real substitute driver: what arrives at the driver is read
// back from its journal.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
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

using device::Link;

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
    ASSERT_TRUE(device::OpenDevice());
    Link().Block = {};
  }
  void TearDown() override {
    device::CloseDevice();
    sim_.Reset();
  }
  sim::SimClient sim_;
};

TEST_F(DriverLink, ReadBlockFillsTheWholeBlockAndIsJournalled) {
  device::ReadBlock();
  EXPECT_TRUE(Link().LastResult);
  EXPECT_EQ(Link().BytesReturned, sizeof(ParamBlock));
  EXPECT_NE(Link().Block.DetectedPort, 0);
  const auto journal = sim_.ReadJournal();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].Code, kReadBlock);
  EXPECT_EQ(journal[0].Length, sizeof(ParamBlock));
}

TEST_F(DriverLink, DetectedPortZeroComesBackAsReported) {
  ParamBlock none = sim_.DefaultBlock();
  none.DetectedPort = 0;
  ASSERT_TRUE(sim_.LoadBlock(none));
  device::ReadBlock();
  EXPECT_TRUE(Link().LastResult);
  EXPECT_EQ(Link().Block.DetectedPort, 0);
}

// Each group code sends the whole block; the driver takes only that group's bytes.
TEST_F(DriverLink, EachGroupCodeDeliversExactlyTheBlockSent) {
  struct Group {
    const char* name;
    void (*send)();
    uint32_t code;
    std::vector<std::pair<size_t, size_t>> taken;  // byte ranges [first, last]
  };
  const Group groups[] = {
      {"serial ports", device::WriteSerialPorts, kWriteSerialPorts, {{4, 39}}},
      {"virtual button", device::WriteVirtualButton, kWriteVirtualButton, {{40, 40}, {53, 57}}},
      {"feedback", device::WriteFeedback, kWriteFeedback, {{41, 45}}},
      {"sensitivity", device::WriteSensitivity, kWriteSensitivity, {{46, 46}}},
      {"mouse speed", device::WriteMouseSpeed, kWriteMouseSpeed, {{47, 50}}},
      {"calibration", device::WriteCalibration, kWriteCalibration, {{58, 70}}},
      {"whole block", device::WriteWholeBlock, kWriteWholeBlock, {{0, 81}}},
      {"sleep time", device::WriteSleepTime, kWriteSleepTime, {{51, 51}}},
  };
  for (const auto& g : groups) {
    ASSERT_TRUE(sim_.Reset());
    device::ReadBlock();
    const auto before = Bytes(Link().Block);
    auto* bytes = reinterpret_cast<uint8_t*>(&Link().Block);
    for (size_t i = 0; i < sizeof(ParamBlock); ++i) bytes[i] = static_cast<uint8_t>(bytes[i] ^ 0x5A);
    const auto sent = Bytes(Link().Block);
    sim_.ReadJournal();

    g.send();
    EXPECT_TRUE(Link().LastResult) << g.name;
    const auto journal = sim_.ReadJournal();
    ASSERT_EQ(journal.size(), 1u) << g.name;
    EXPECT_EQ(journal[0].Code, g.code) << g.name;
    EXPECT_EQ(Bytes(journal[0]), sent) << g.name;

    device::ReadBlock();
    const auto after = Bytes(Link().Block);
    for (size_t i = 0; i < sizeof(ParamBlock); ++i) {
      bool taken = false;
      for (auto [first, last] : g.taken) taken = taken || (i >= first && i <= last);
      EXPECT_EQ(after[i], taken ? sent[i] : before[i]) << g.name << ", byte " << i;
    }
  }
}

TEST_F(DriverLink, BytesTheSuiteDoesNotInterpretGoBackUnchanged) {
  device::ReadBlock();
  const ParamBlock read = Link().Block;
  Link().Block.MouseHSpeed = 3;
  device::WriteMouseSpeed();
  device::ReadBlock();
  const ParamBlock& now = Link().Block;
  EXPECT_EQ(std::memcmp(now.Reserved0, read.Reserved0, 3), 0);
  EXPECT_EQ(now.Reserved52, read.Reserved52);
  EXPECT_EQ(now.Reserved71, read.Reserved71);
  for (int n = 0; n < 9; ++n) EXPECT_EQ(now.ComPort[n].Spare, read.ComPort[n].Spare) << n;
  EXPECT_EQ(now.MouseHSpeed, 3);
}

TEST_F(DriverLink, RightButtonSlotIsEmptyUntilAWindowRegisters) {
  Link().Slot = {1234, 1, {}};
  device::GetRightButtonSlot();
  EXPECT_EQ(Link().Slot.Handle, -1);
  EXPECT_EQ(Link().Slot.State, 0);

  Link().Slot = {0x10086, 1, {}};
  device::SetRightButtonSlot();
  Link().Slot = {};
  device::GetRightButtonSlot();
  EXPECT_EQ(Link().Slot.Handle, 0x10086);
  EXPECT_EQ(Link().Slot.State, 1);

  ASSERT_TRUE(sim_.RightClickDone());
  device::GetRightButtonSlot();
  EXPECT_EQ(Link().Slot.State, 0) << "the driver disarms the tool after its right click";
}

TEST_F(DriverLink, WrongBufferLengthFailsAndChangesNothing) {
  device::ReadBlock();
  const auto before = Bytes(Link().Block);
  sim_.ReadJournal();
  ParamBlock changed = Link().Block;
  changed.MouseHSpeed = static_cast<uint8_t>(changed.MouseHSpeed + 1);
  for (DWORD length : {0u, 81u, 83u}) {
    DWORD returned = 0;
    OVERLAPPED overlapped{};
    EXPECT_FALSE(DeviceIoControl(Link().Device.get(), kWriteMouseSpeed, &changed, length, &changed,
                                 length, &returned, &overlapped))
        << length;
  }
  WindowSlot slot{77, 1, {}};
  DWORD returned = 0;
  OVERLAPPED overlapped{};
  EXPECT_FALSE(DeviceIoControl(Link().Device.get(), kSetRightButtonSlot, &slot, 4, &slot, 4,
                               &returned, &overlapped));
  EXPECT_TRUE(sim_.ReadJournal().empty());
  device::ReadBlock();
  EXPECT_EQ(Bytes(Link().Block), before);
  device::GetRightButtonSlot();
  EXPECT_EQ(Link().Slot.Handle, -1);
}

TEST_F(DriverLink, FailedCommandLeavesTheBufferAsItWas) {
  device::CloseDevice();
  Link().Block = {};
  Link().Block.MouseVSpeed = 9;
  device::ReadBlock();
  EXPECT_FALSE(Link().LastResult);
  EXPECT_EQ(Link().Block.MouseVSpeed, 9);
  EXPECT_EQ(Link().Block.DetectedPort, 0) << "an unread block means no controller";
}

TEST_F(DriverLink, RawSampleCounterChangesWithEveryNewSample) {
  ASSERT_TRUE(sim_.PushSample(100, 900, true));
  device::ReadRawPoint();
  const RawPoint first = Link().Raw;
  EXPECT_EQ(first.X, 100);
  EXPECT_EQ(first.Y, 900);
  EXPECT_EQ(first.Status & kTouchedBit, kTouchedBit);
  device::ReadRawPoint();
  EXPECT_EQ(Link().Raw.Counter, first.Counter) << "no new sample, same counter";
  ASSERT_TRUE(sim_.PushSample(100, 900, false));
  device::ReadRawPoint();
  EXPECT_NE(Link().Raw.Counter, first.Counter);
  EXPECT_EQ(Link().Raw.Status & kTouchedBit, 0);
  EXPECT_TRUE(sim_.ReadJournal().empty()) << "raw reads are not journalled";
}

TEST_F(DriverLink, CalibrationEventsAndSoundTestsReachTheDriver) {
  device::SignalCalibration(kCalPointAccepted);
  Link().Sound = {1000, 20};
  device::PlaySoundTest();
  const auto journal = sim_.ReadJournal();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0].Code, kCalibrationEvent);
  int32_t event = 0;
  std::memcpy(&event, journal[0].Data, 4);
  EXPECT_EQ(event, 5);
  EXPECT_EQ(journal[1].Code, kSoundTest);
  EXPECT_EQ(journal[1].Length, 4u);
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
    saved_ = Trusted();
    Trusted().Install = install_.string();
  }
  void TearDown() override {
    Trusted() = saved_;
    tool_.Kill();
    companion_.Kill();
    DriverLink::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(install_.parent_path(), ignored);
  }
  std::filesystem::path install_;
  TrustedFolders saved_;
  test::SlotStandIn tool_, companion_;
};

TEST_F(SlotWindows, TheToolIsMessagedOnlyWhenItIsTheSuitesOwn) {
  test::ToolWindow inThisProcess(kRightButtonToolCaption);
  device::TellRightButtonTool(device::kHideTool);
  Link().Slot = {inThisProcess.Handle(), 0, {}};
  device::SetRightButtonSlot();
  device::TellRightButtonTool(device::kHideTool);
  EXPECT_TRUE(test::ToolWindow::Received().empty()) << "a window of another program with the tool's caption";

  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool));
  for (WPARAM code : {device::kHideTool, device::kShowTool, device::kQuitTool}) device::TellRightButtonTool(code);
  EXPECT_EQ(tool_.Received(), (std::vector<WPARAM>{device::kHideTool, device::kShowTool, device::kQuitTool}));
  EXPECT_TRUE(tool_.Ended());
  device::TellRightButtonTool(device::kShowTool);
  EXPECT_EQ(tool_.Received().size(), 3u) << "the tool has gone: its handle is sent nothing";

  ASSERT_TRUE(tool_.Start(install_.parent_path() / "Elsewhere", test::SlotStandIn::Role::Tool));
  device::TellRightButtonTool(device::kHideTool);
  EXPECT_TRUE(tool_.Received().empty()) << "the tool's program in another folder";
}

TEST_F(SlotWindows, TheCompanionIsToldToQuitOnlyWhenItIsTheCompanion) {
  test::ToolWindow inThisProcess;
  ASSERT_TRUE(sim_.SetCompanionSlot(inThisProcess.Handle(), 2));
  device::QuitCompanion();
  EXPECT_TRUE(test::ToolWindow::Received().empty());

  // The right-button tool's program is no companion, even in the right folder.
  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool));
  ASSERT_TRUE(sim_.SetCompanionSlot(tool_.Handle(), 2));
  device::QuitCompanion();
  EXPECT_TRUE(tool_.Received().empty());

  ASSERT_TRUE(companion_.Start(install_, test::SlotStandIn::Role::Companion));
  device::QuitCompanion();
  EXPECT_EQ(companion_.Received(), std::vector<WPARAM>{device::kQuitCompanion});
  EXPECT_TRUE(companion_.Ended());
}

// A slot's window that has stopped answering holds the sender for the time-out at most.
TEST_F(SlotWindows, AWindowThatNeverAnswersHoldsNobodyForGood) {
  ASSERT_TRUE(tool_.Start(install_, test::SlotStandIn::Role::Tool, true));
  ASSERT_TRUE(companion_.Start(install_, test::SlotStandIn::Role::Companion, true));
  std::atomic<bool> done{false};
  std::thread stopping([&] {
    device::StopAuxiliaryPrograms();
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

  const TrustedFolders saved = Trusted();
  Trusted().Install = (root / "Program Files").string();
  EXPECT_TRUE(device::StartRightButtonTool());
  EXPECT_TRUE(device::StartCompanion());
  EXPECT_TRUE(test::WaitUntil([&] { return fs::exists(root / "Program Files" / "KORALPrb.exe.ran"); }));
  EXPECT_TRUE(test::WaitUntil([&] { return fs::exists(root / "Program Files" / "KORALPvr.exe.ran"); }));
  EXPECT_FALSE(fs::exists(root / "Program.exe.ran"));

  Trusted().Install = (root / "Nowhere").string();
  EXPECT_FALSE(device::StartRightButtonTool());
  Trusted() = saved;
  // The started programs may still be ending; their files can go once they have.
  EXPECT_TRUE(test::WaitUntil([&] { return fs::remove_all(root, ignored), !fs::exists(root); }));
}

}  // namespace
}  // namespace koral
