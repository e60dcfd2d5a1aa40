// The substitute driver without a stored block of its own (a new installation) takes the seeds
// the setup finisher left in the model key; once it has a block, the seeds no longer count.
#include <gtest/gtest.h>

#include <cstring>

#include "common/win/profile.h"
#include "common/win/registry.h"
#include "tests/support/driver_service.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tools/sim_client.h"

namespace koral {
namespace {

constexpr char kDriverParameters[] = "System\\CurrentControlSet\\Services\\KORALPS2\\Parameters";

bool SameBlock(const ParamBlock& a, const ParamBlock& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class DriverSeeds : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(test::RemoveModelKey());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
  }
  void TearDown() override {
    sim_.Reset();
    test::RemoveModelKey();
    test::WriteDevelopmentProfile(test::ProgramFolder());
  }

  static void Seed(const char* name, DWORD type, std::vector<uint8_t> bytes) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
  }

  // The block the driver starts with after a restart; without `keepStored` as a new
  // installation's driver, with no block of its own.
  std::optional<ParamBlock> BlockAfterRestart(bool keepStored) {
    {
      test::DriverServiceStopped stopped(sim_);
      EXPECT_TRUE(stopped.Stopped());
      UniqueHKey key;
      if (!keepStored && registry::OpenExistingKey(HKEY_LOCAL_MACHINE, kDriverParameters, key))
        RegDeleteValueA(key.get(), "ParamBlock");
    }
    return sim_.ReadBlock();
  }

  sim::SimClient sim_;
};

TEST_F(DriverSeeds, ANewDriverStartsFromTheSeedsAndThenFromItsOwnBlock) {
  Seed("CalibrationMode", REG_DWORD, {0, 0, 0, 0});
  Seed("VirtualButton", REG_BINARY, {2});
  Seed("RightButtonFunction", REG_BINARY, {1});
  Seed("RightButtonAutomatic", REG_BINARY, {1, 2, 3, 0});
  Seed("FeedbackSound", REG_BINARY, {3});
  Seed("FeedbackTone", REG_BINARY, {0xB8, 0x0B});
  Seed("FeedbackDuration", REG_BINARY, {15, 0});
  Seed("MouseSpeed", REG_BINARY, {5, 6, 3, 1});
  Seed("DoubleClickSpeed", REG_DWORD, {0x58, 0x02, 0, 0});
  Seed("PanelDirection", REG_BINARY, {4});

  ParamBlock expected = sim::SimClient::DefaultBlock();
  expected.VirtualButton = 2;
  expected.RightButtonFunction = 1;
  expected.RightButtonAutoMode = 1;
  expected.RightButtonAutoSTime = 2;
  expected.RightButtonAutoETime = 3;
  expected.RightButtonAutoBeep = 0;
  expected.FeedbackSound = 3;
  expected.FeedbackTone = 3000;
  expected.FeedbackDuration = 15;
  expected.MouseHSpeed = 5;
  expected.MouseVSpeed = 6;
  expected.MouseAcceleration = 3;
  expected.MouseBypass = 1;
  expected.PanelDirection = 4;
  auto block = BlockAfterRestart(false);
  ASSERT_TRUE(block);
  EXPECT_TRUE(SameBlock(*block, expected)) << "the seeds are in the new driver's block";

  // A block of its own (any write stores it) outlives other seeds.
  ParamBlock own = sim::SimClient::DefaultBlock();
  own.FeedbackSound = 2;
  ASSERT_TRUE(sim_.LoadBlock(own));
  Seed("FeedbackSound", REG_BINARY, {4});
  block = BlockAfterRestart(true);
  ASSERT_TRUE(block);
  EXPECT_TRUE(SameBlock(*block, own)) << "the driver's own block wins over the seeds";
}

TEST_F(DriverSeeds, SeedsOfAnotherShapeOrOutOfRangeAreLeftOut) {
  Seed("VirtualButton", REG_DWORD, {2, 0, 0, 0});
  Seed("FeedbackSound", REG_BINARY, {9});
  Seed("MouseSpeed", REG_BINARY, {5, 6, 3});
  Seed("RightButtonAutomatic", REG_BINARY, {1, 2, 3, 0, 0});
  Seed("FeedbackTone", REG_SZ, {'3', '0', 0});
  Seed("PanelDirection", REG_BINARY, {6});
  ParamBlock expected = sim::SimClient::DefaultBlock();
  expected.PanelDirection = 6;
  const auto block = BlockAfterRestart(false);
  ASSERT_TRUE(block);
  EXPECT_TRUE(SameBlock(*block, expected));
}

}  // namespace
}  // namespace koral
