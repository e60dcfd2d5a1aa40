// The simulation client against the substitute driver running in the test prefix: what the
// kernel side adds to the driver logic (status codes, bytes returned, one state for every
// handle) and the client's own journal reading.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tools/sim_client.h"

namespace koral::sim {
namespace {

std::vector<uint8_t> BytesOf(const ParamBlock& block) {
  const auto* p = reinterpret_cast<const uint8_t*>(&block);
  return {p, p + sizeof block};
}

class SimClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open()) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
  }
  void TearDown() override { sim_.Reset(); }
  SimClient sim_;
};

TEST_F(SimClientTest, FailedCallsReportWhyAndChangeNeitherDriverNorBuffer) {
  struct Case {
    const char* what;
    uint32_t code;
    DWORD in, out;
    DWORD error;
  };
  const Case cases[] = {
      {"short group write", kWriteMouseSpeed, 81, 81, ERROR_BAD_LENGTH},
      {"long whole-block write", kWriteWholeBlock, 83, 83, ERROR_BAD_LENGTH},
      {"block read without room", kReadBlock, 82, 0, ERROR_BAD_LENGTH},
      {"journal read of part of an entry", kSimReadJournal, 0, 91, ERROR_BAD_LENGTH},
      {"unknown code", 0xF2020, 82, 82, ERROR_INVALID_FUNCTION},
  };
  ParamBlock sent = SimClient::DefaultBlock();
  sent.DetectedPort = 0;
  sent.MouseHSpeed = 3;
  std::vector<uint8_t> buffer(96, 0x77);
  std::memcpy(buffer.data(), &sent, sizeof sent);
  const std::vector<uint8_t> before = buffer;
  for (const Case& c : cases) {
    DWORD returned = 12345;
    EXPECT_FALSE(sim_.Call(c.code, buffer.data(), c.in, buffer.data(), c.out, &returned)) << c.what;
    EXPECT_EQ(sim_.LastError(), c.error) << c.what;
    EXPECT_EQ(returned, 0u) << c.what;
    EXPECT_EQ(buffer, before) << c.what;
  }
  SimSample pressed_twice{10, 20, 2, {}};
  EXPECT_FALSE(sim_.Exchange(kSimPushSample, &pressed_twice, sizeof pressed_twice));
  EXPECT_EQ(sim_.LastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  EXPECT_TRUE(sim_.ReadJournal().empty()) << "failed calls are not journalled";
  const auto block = sim_.ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_EQ(BytesOf(*block), BytesOf(SimClient::DefaultBlock()));
  const auto raw = sim_.ReadRawPoint();
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->Status & kTouchedBit, 0);
}

// The kernel side of a refusal: the call fails with ERROR_IO_DEVICE, as against a controller that
// does not answer, for as many calls as asked; the driver's block stays and nothing is journalled.
TEST_F(SimClientTest, ARefusedCallFailsAsAControllerThatDoesNotAnswer) {
  ASSERT_TRUE(sim_.Refuse(kWriteMouseSpeed, 2));
  ParamBlock changed = SimClient::DefaultBlock();
  changed.MouseHSpeed = 3;
  for (int attempt = 0; attempt < 2; ++attempt) {
    ParamBlock buffer = changed;
    DWORD returned = 12345;
    EXPECT_FALSE(sim_.Exchange(kWriteMouseSpeed, &buffer, sizeof buffer, &returned)) << attempt;
    EXPECT_EQ(sim_.LastError(), static_cast<DWORD>(ERROR_IO_DEVICE)) << attempt;
    EXPECT_EQ(returned, 0u);
  }
  EXPECT_TRUE(sim_.ReadJournal().empty()) << "refused calls are not journalled";
  EXPECT_EQ(sim_.ReadBlock()->MouseHSpeed, SimClient::DefaultBlock().MouseHSpeed);
  EXPECT_TRUE(sim_.Exchange(kWriteMouseSpeed, &changed, sizeof changed)) << "two refusals only";

  EXPECT_FALSE(sim_.Refuse(kSimReset));
  EXPECT_EQ(sim_.LastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << "the simulation codes always work";
  ASSERT_TRUE(sim_.Refuse(kReadBlock));
  EXPECT_FALSE(sim_.ReadBlock());
  ASSERT_TRUE(sim_.Reset());
  EXPECT_TRUE(sim_.ReadBlock()) << "a reset ends the refusals";
}

TEST_F(SimClientTest, ReadsFillTheBufferAndWritesReturnNothing) {
  ParamBlock block{};
  DWORD returned = 0;
  ASSERT_TRUE(sim_.Exchange(kReadBlock, &block, sizeof block, &returned));
  EXPECT_EQ(returned, sizeof block);
  EXPECT_EQ(BytesOf(block), BytesOf(SimClient::DefaultBlock()));

  block.MouseHSpeed = 4;
  const ParamBlock sent = block;
  ASSERT_TRUE(sim_.Exchange(kWriteMouseSpeed, &block, sizeof block, &returned));
  EXPECT_EQ(returned, 0u);
  EXPECT_EQ(BytesOf(block), BytesOf(sent)) << "the caller's copy stays as it sent it";
  EXPECT_EQ(sim_.ReadBlock()->MouseHSpeed, 4);
}

TEST_F(SimClientTest, ReadJournalReadsUntilEmptyOldestFirst) {
  constexpr int32_t kCount = 150;  // more than one read of the client takes
  for (int32_t i = 0; i < kCount; ++i) {
    ModeArg event{i};
    ASSERT_TRUE(sim_.Exchange(kCalibrationEvent, &event, sizeof event));
  }
  const auto journal = sim_.ReadJournal();
  EXPECT_EQ(sim_.LastError(), 0u);
  ASSERT_EQ(journal.size(), static_cast<size_t>(kCount));
  for (int32_t i = 0; i < kCount; ++i) {
    ModeArg event;
    std::memcpy(&event, journal[i].Data, sizeof event);
    ASSERT_EQ(journal[i].Code, kCalibrationEvent);
    ASSERT_EQ(event.Value, i);
  }
  EXPECT_TRUE(sim_.ReadJournal().empty());
}

TEST_F(SimClientTest, EveryHandleSeesTheOneDriverState) {
  SimClient other;
  ASSERT_TRUE(other.Open());
  ASSERT_TRUE(other.SetCompanionSlot(0x20044, 3));
  ASSERT_TRUE(other.PushSample(321, 654, true));
  const auto slot = sim_.CompanionSlot();
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot->Handle, 0x20044);
  EXPECT_EQ(slot->State, 3);
  const auto raw = sim_.ReadRawPoint();
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->X, 321);
  EXPECT_EQ(raw->Y, 654);
  EXPECT_EQ(raw->Status & kTouchedBit, kTouchedBit);
}

}  // namespace
}  // namespace koral::sim
