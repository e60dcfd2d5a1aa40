// Who may use the substitute driver's device, against the driver running in the test prefix. The
// suite's programs open it for reading only: every code of theirs works on such a handle, and no
// simulation code does. The descriptor the driver gives its device is read here with the system's
// own parser (Wine accepts it but checks no open against it; see docs/driver.md).
#include <windows.h>

#include <gtest/gtest.h>
#include <sddl.h>

#include <cstring>
#include <vector>

#include "common/win/handles.h"
#include "common/win/service_control.h"
#include "driver/logic/device_access.h"
#include "tools/sim_client.h"

namespace koral::sim {
namespace {

TEST(DeviceSecurity, ReadsAsItsSddl) {
  alignas(8) uint8_t descriptor[logic::kDeviceSecuritySize] = {};
  ASSERT_EQ(logic::BuildDeviceSecurity(descriptor, sizeof descriptor), logic::kDeviceSecuritySize);
  ASSERT_TRUE(IsValidSecurityDescriptor(descriptor));
  char* text = nullptr;
  ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                   DACL_SECURITY_INFORMATION, &text, nullptr));
  EXPECT_STREQ(text, logic::kDeviceSecuritySddl);
  LocalFree(text);
}

class DeviceAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
  }
  void TearDown() override { sim_.Reset(); }
  SimClient sim_;
};

TEST_F(DeviceAccess, AHandleForReadingSendsTheSuitesCodesButNoSimulationCode) {
  DWORD error = 0;
  const UniqueHandle reader = service::OpenDevice(0, &error);
  ASSERT_TRUE(reader) << "error " << error;
  ParamBlock changed = SimClient::DefaultBlock();
  changed.DetectedPort = 0;
  std::vector<uint8_t> buffer(sizeof(JournalEntry), 0);
  struct Case {
    const char* Name;
    uint32_t Code;
    DWORD Length;
  };
  for (const Case& c : {Case{"load block", kSimLoadBlock, sizeof(ParamBlock)},
                        Case{"push sample", kSimPushSample, sizeof(SimSample)},
                        Case{"read journal", kSimReadJournal, sizeof(JournalEntry)},
                        Case{"right click done", kSimRightClickDone, 4},
                        Case{"set companion slot", kSimSetCompanionSlot, sizeof(WindowSlot)},
                        Case{"reset", kSimReset, 4}}) {
    SCOPED_TRACE(c.Name);
    std::memcpy(buffer.data(), &changed, sizeof changed);
    DWORD returned = 0;
    OVERLAPPED overlapped{};
    EXPECT_FALSE(DeviceIoControl(reader.get(), c.Code, buffer.data(), c.Length, buffer.data(), c.Length, &returned,
                                 &overlapped));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  const auto block = sim_.ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_NE(block->DetectedPort, 0) << "the block was not loaded through the reading handle";

  // The suite's own: a read and a write of the block, and the tool's slot.
  ParamBlock read{};
  DWORD returned = 0;
  OVERLAPPED overlapped{};
  EXPECT_TRUE(DeviceIoControl(reader.get(), kReadBlock, &read, sizeof read, &read, sizeof read, &returned, &overlapped));
  read.MouseHSpeed = 7;
  EXPECT_TRUE(
      DeviceIoControl(reader.get(), kWriteMouseSpeed, &read, sizeof read, &read, sizeof read, &returned, &overlapped));
  WindowSlot slot{kNoWindow, kToolIdle, {}};
  EXPECT_TRUE(
      DeviceIoControl(reader.get(), kSetRightButtonSlot, &slot, sizeof slot, &slot, sizeof slot, &returned, &overlapped));
  EXPECT_TRUE(DeviceIoControl(reader.get(), kGetCompanionSlot, &slot, sizeof slot, &slot, sizeof slot, &returned,
                              &overlapped));
  EXPECT_EQ(sim_.ReadBlock()->MouseHSpeed, 7);
}

}  // namespace
}  // namespace koral::sim
