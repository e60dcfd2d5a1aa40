// The seed writer against Wine's registry, in a scratch key of the current user.
#include <gtest/gtest.h>

#include "common/core/titles.h"
#include "common/win/registry.h"
#include "programs/setup/setup_finisher.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/scratch_key.h"

namespace koral::setup {
namespace {

constexpr char kScratch[] = "Software\\KoralTests\\StoreSetting";

class StoreSettingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(key_); }
  test::ScratchKey key_{kScratch};
};

TEST_F(StoreSettingTest, WritesTheTypeAndBytesOfEachCount) {
  struct Case {
    const char* Name;
    int32_t Value;
    int Count;
    DWORD Type;
    std::vector<uint8_t> Bytes;
  };
  for (const auto& c : {Case{"DoubleClickSpeed", 900, 0, REG_DWORD, {0x84, 0x03, 0x00, 0x00}},
                        Case{"VirtualButton", 3, 1, REG_BINARY, {0x03}},
                        Case{"FeedbackTone", 1000, 2, REG_BINARY, {0xE8, 0x03}},
                        Case{"MouseSpeed", 0x0A0C0200, 4, REG_BINARY, {0x0A, 0x0C, 0x02, 0x00}}}) {
    test::FakeMessageBoxes boxes;
    EXPECT_TRUE(StoreSetting(key_.get(), c.Name, c.Value, c.Count)) << c.Name;
    EXPECT_TRUE(boxes.shown.empty()) << c.Name;
    DWORD type = 0;
    uint8_t data[8] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key_.get(), c.Name, nullptr, &type, data, &size), ERROR_SUCCESS) << c.Name;
    EXPECT_EQ(type, c.Type) << c.Name;
    EXPECT_EQ(std::vector<uint8_t>(data, data + size), c.Bytes) << c.Name;
  }
}

TEST_F(StoreSettingTest, AFailedWriteNamesTheValueAndReturnsFalse) {
  const RegKey readOnly = RegKey::Open(HKEY_CURRENT_USER, key_.Path(), KEY_READ);
  ASSERT_TRUE(readOnly) << readOnly.Error();
  for (const int count : {0, 2}) {
    test::FakeMessageBoxes boxes;
    EXPECT_FALSE(StoreSetting(readOnly.get(), "FeedbackTone", 1000, count));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Text, "Fail to save settings! (FeedbackTone)");
    EXPECT_EQ(boxes.shown[0].Caption, kSetupFinisherTitle);
    EXPECT_EQ(boxes.shown[0].Flags, static_cast<UINT>(MB_OK));
  }
}

}  // namespace
}  // namespace koral::setup
