// The driver's service as the test prefix runs it (scripts/test-prefix installs it).
#include <gtest/gtest.h>

#include "common/win/service_control.h"

namespace koral::service {
namespace {

TEST(ServiceControl, WaitForDeviceFindsTheRunningDriver) {
  EXPECT_TRUE(WaitForDevice(5000));
  const auto info = Query();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->State, static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(info->StartType, static_cast<DWORD>(SERVICE_AUTO_START));
}

}  // namespace
}  // namespace koral::service
