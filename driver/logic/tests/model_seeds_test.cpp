#include "driver/logic/model_seeds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/core/settings_file.h"
#include "driver/logic/driver_logic.h"

namespace koral::logic {
namespace {

using Readings = SeedReading[kSeedValueCount];

size_t SeedIndex(const std::string& name) {
  for (size_t s = 0; s < kSeedValueCount; ++s)
    if (name == kSeedValues[s].ValueName) return s;
  ADD_FAILURE() << "no seed " << name;
  return 0;
}

// What the setup finisher leaves in the model key for these settings: REG_DWORD values are of no
// concern to the block and are left out.
void StoreAsFinisher(const SettingsValues& values, Readings& readings) {
  for (const SeedStore& store : SeedStoresOf(values)) {
    if (store.ByteCount == 0) continue;
    SeedReading& reading = readings[SeedIndex(store.ValueName)];
    const auto bytes = SeedBytes(static_cast<uint32_t>(store.Value), store.ByteCount);
    reading = {true, kRegBinary, static_cast<uint32_t>(bytes.size()), {}};
    std::memcpy(reading.Data, bytes.data(), bytes.size());
  }
}

bool SameBlock(const ParamBlock& a, const ParamBlock& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(TakeSeeds, GivesTheBlockAnImportOfTheSameSettingsWouldGive) {
  const SettingsFileCheck fleet = CheckSettingsFile(
      "fleet.ini",
      "[Settings]\nCalibrationMode=0\nVirtualButton=2\nRightButtonFunction=1\nRightButtonAutoMode=1\n"
      "RightButtonAutoSTime=9\nRightButtonAutoETime=0\nRightButtonAutoBeep=0\nFeedbackSound=3\nFeedbackTone=4999\n"
      "FeedbackDuration=49\nMouseBypass=1\nMouseHSpeed=20\nMouseVSpeed=1\nMouseAcceleration=4\n"
      "DoubleClickSpeed=900\nDoubleClickWidth=1\nDoubleClickHeight=2\nPanelDirection=5\n");
  ASSERT_TRUE(fleet.Accepted()) << fleet.Problems.front();
  Readings readings{};
  StoreAsFinisher(fleet.Values, readings);

  ParamBlock seeded = DefaultBlock();
  EXPECT_EQ(TakeSeeds(seeded, readings), 8u);
  ParamBlock imported = DefaultBlock();
  PutIntoBlock(fleet.Values, imported);
  EXPECT_TRUE(SameBlock(seeded, imported));
}

TEST(TakeSeeds, LeavesTheFieldsOfEverySeedThatIsMissingOfAnotherShapeOrOutOfRange) {
  struct Case {
    const char* Seed;
    SeedReading Reading;
  };
  for (const auto& c : {
           Case{"VirtualButton", {false, kRegBinary, 1, {2}}},
           Case{"VirtualButton", {true, 4 /* REG_DWORD */, 1, {2}}},
           Case{"VirtualButton", {true, kRegBinary, 2, {2, 0}}},
           Case{"VirtualButton", {true, kRegBinary, 0, {}}},
           Case{"VirtualButton", {true, kRegBinary, 1, {0}}},
           Case{"VirtualButton", {true, kRegBinary, 1, {5}}},
           Case{"FeedbackTone", {true, kRegBinary, 2, {199, 0}}},
           Case{"FeedbackTone", {true, kRegBinary, 2, {0x89, 0x13}}},  // 5001
           Case{"FeedbackTone", {true, kRegBinary, 1, {0xE8}}},
           Case{"MouseSpeed", {true, kRegBinary, 4, {21, 10, 1, 0}}},
           Case{"MouseSpeed", {true, kRegBinary, 4, {10, 10, 1, 2}}},
           Case{"MouseSpeed", {true, kRegBinary, 5, {10, 10, 1, 0}}},
           Case{"RightButtonAutomatic", {true, kRegBinary, 4, {1, 10, 1, 1}}},
           Case{"PanelDirection", {true, kRegBinary, 1, {8}}},
           Case{"CalibrationMode", {true, kRegBinary, 1, {0}}},
           Case{"DoubleClickSpeed", {true, kRegBinary, 4, {1, 2, 3, 4}}},
       }) {
    Readings readings{};
    readings[SeedIndex(c.Seed)] = c.Reading;
    ParamBlock block = DefaultBlock();
    EXPECT_EQ(TakeSeeds(block, readings), 0u) << c.Seed;
    EXPECT_TRUE(SameBlock(block, DefaultBlock())) << c.Seed;
  }
}

TEST(TakeSeeds, TakesTheGoodSeedsBesideABadOne) {
  Readings readings{};
  readings[SeedIndex("VirtualButton")] = {true, kRegBinary, 1, {9}};
  readings[SeedIndex("FeedbackTone")] = {true, kRegBinary, 2, {0xE8, 0x03}};
  readings[SeedIndex("MouseSpeed")] = {true, kRegBinary, 4, {0x0A, 0x0C, 0x02, 0x00}};
  ParamBlock block = DefaultBlock();
  block.FeedbackTone = 300;
  EXPECT_EQ(TakeSeeds(block, readings), 2u);
  EXPECT_EQ(block.VirtualButton, DefaultBlock().VirtualButton);
  EXPECT_EQ(block.FeedbackTone, 1000);
  EXPECT_EQ(block.MouseHSpeed, 10);
  EXPECT_EQ(block.MouseVSpeed, 12);
  EXPECT_EQ(block.MouseAcceleration, 2);
  EXPECT_EQ(block.MouseBypass, 0);
}

}  // namespace
}  // namespace koral::logic
