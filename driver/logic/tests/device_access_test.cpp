#include "driver/logic/device_access.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/core/driver_protocol.h"

namespace koral::logic {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

constexpr uint32_t kSuiteCodes[] = {kReadBlock,         kReadRawPoint,     kCalibrationEvent,   kWriteSerialPorts,
                                    kWriteVirtualButton, kWriteFeedback,    kWriteSensitivity,   kWriteMouseSpeed,
                                    kWriteCalibration,  kWriteWholeBlock,  kWriteSleepTime,     kGetRightButtonSlot,
                                    kSetRightButtonSlot, kGetCompanionSlot, kSoundTest};
constexpr uint32_t kSimulationCodes[] = {kSimLoadBlock,      kSimPushSample,       kSimReadJournal,
                                         kSimRightClickDone, kSimSetCompanionSlot, kSimReset};

// The descriptor as the system reads it: SYSTEM and Administrators all access, Users read, nothing
// inherited, nobody else. (Under Wine, DeviceSecurity.ReadsAsItsSddl reads it with the system's
// own parser.)
TEST(DeviceSecurity, GrantsAllToSystemAndAdministratorsAndReadToUsers) {
  std::vector<uint8_t> sd(kDeviceSecuritySize + 8, 0xCC);
  ASSERT_EQ(BuildDeviceSecurity(sd.data(), static_cast<uint32_t>(sd.size())), kDeviceSecuritySize);
  EXPECT_EQ(sd[0], 1) << "revision";
  EXPECT_EQ(U16(sd, 2), 0x9004) << "self-relative, access list present and protected";
  EXPECT_EQ(U32(sd, 4), 0u) << "no owner";
  EXPECT_EQ(U32(sd, 8), 0u) << "no group";
  EXPECT_EQ(U32(sd, 12), 0u) << "no system list";
  ASSERT_EQ(U32(sd, 16), 20u);
  EXPECT_EQ(sd[20], 2) << "list revision";
  EXPECT_EQ(U16(sd, 22), kDeviceSecuritySize - 20) << "list size";
  ASSERT_EQ(U16(sd, 24), 3) << "entries";

  struct Expected {
    uint32_t Mask;
    std::vector<uint32_t> SubAuthorities;
  };
  const Expected expected[] = {{kFileAllAccess, {18}}, {kFileAllAccess, {32, 544}}, {kFileGenericRead, {32, 545}}};
  size_t at = 28;
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.SubAuthorities.back());
    EXPECT_EQ(sd[at], 0) << "allowed";
    EXPECT_EQ(sd[at + 1], 0) << "no inheritance";
    const uint16_t size = U16(sd, at + 2);
    EXPECT_EQ(size, 8 + 8 + 4 * e.SubAuthorities.size());
    EXPECT_EQ(U32(sd, at + 4), e.Mask);
    EXPECT_EQ(sd[at + 8], 1) << "SID revision";
    ASSERT_EQ(sd[at + 9], e.SubAuthorities.size());
    EXPECT_EQ(std::vector<uint8_t>(sd.begin() + at + 10, sd.begin() + at + 16), (std::vector<uint8_t>{0, 0, 0, 0, 0, 5}))
        << "NT authority";
    for (size_t i = 0; i < e.SubAuthorities.size(); ++i) EXPECT_EQ(U32(sd, at + 16 + 4 * i), e.SubAuthorities[i]);
    at += size;
  }
  EXPECT_EQ(at, kDeviceSecuritySize);
  EXPECT_EQ(sd[kDeviceSecuritySize], 0xCC) << "nothing written past the descriptor";
  EXPECT_EQ(kFileGenericRead & 0x2, 0u) << "Users cannot write data";
}

TEST(DeviceSecurity, ABufferTooSmallGetsNothing) {
  std::vector<uint8_t> sd(kDeviceSecuritySize - 1, 0xCC);
  EXPECT_EQ(BuildDeviceSecurity(sd.data(), static_cast<uint32_t>(sd.size())), 0u);
  EXPECT_EQ(sd, std::vector<uint8_t>(kDeviceSecuritySize - 1, 0xCC));
  EXPECT_EQ(BuildDeviceSecurity(nullptr, 1000), 0u);
}

// The suite's codes are fixed and ask for no write access: a handle opened for reading, as every
// program opens the device, may send them all. The simulation codes ask for write access.
TEST(DeviceAccess, OnlyTheSimulationCodesNeedWriteAccess) {
  for (uint32_t code : kSuiteCodes) {
    EXPECT_EQ(RequiredAccess(code) & kFileWriteAccess, 0u) << std::hex << code;
    EXPECT_FALSE(IsSimulationCode(code)) << std::hex << code;
  }
  for (uint32_t code : kSimulationCodes) {
    EXPECT_EQ(RequiredAccess(code), kFileReadAccess | kFileWriteAccess) << std::hex << code;
    EXPECT_TRUE(IsSimulationCode(code)) << std::hex << code;
    EXPECT_EQ(code & 3, 0u) << "buffered";
  }
}

TEST(DeviceAccess, SimulationCodesAreRefusedToOthersThanAdministrators) {
  for (uint32_t code : kSuiteCodes) {
    for (Opener opener : {Opener::kUnknown, Opener::kAdministrator, Opener::kOther})
      EXPECT_TRUE(Permits(code, opener)) << std::hex << code;
  }
  for (uint32_t code : kSimulationCodes) {
    EXPECT_TRUE(Permits(code, Opener::kAdministrator)) << std::hex << code;
    EXPECT_TRUE(Permits(code, Opener::kUnknown)) << std::hex << code;
    EXPECT_FALSE(Permits(code, Opener::kOther)) << std::hex << code;
  }
}

// Two requests change the block one after the other; their copies reach the store in either order.
TEST(BlockStoreOrder, TheNewestCopyIsAlwaysTheLastStored) {
  struct Case {
    const char* Name;
    std::vector<int> StoreOrder;  // which change's copy reaches the store lock first (0-based)
    std::vector<int> Stored;
  };
  for (const Case& c : {Case{"in order", {0, 1, 2}, {0, 1, 2}}, Case{"reversed", {2, 1, 0}, {2}},
                        Case{"the middle one last", {0, 2, 1}, {0, 2}}}) {
    BlockStoreOrder order;
    std::vector<uint32_t> numbers;
    for (int i = 0; i < 3; ++i) numbers.push_back(order.Changed());
    std::vector<int> stored;
    for (int change : c.StoreOrder) {
      if (!order.Wanted(numbers[change])) continue;
      stored.push_back(change);
      order.Stored(numbers[change]);
    }
    EXPECT_EQ(stored, c.Stored) << c.Name;
    EXPECT_EQ(stored.back(), 2) << c.Name;
  }
}

}  // namespace
}  // namespace koral::logic
