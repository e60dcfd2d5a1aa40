// Tests that stop the substitute driver's service: it is started again when the test ends, however
// it ends, so that a failure midway does not leave the driver stopped for every test after it.
#pragma once

#include <gtest/gtest.h>

#include "common/win/service_control.h"
#include "tools/sim_client.h"

namespace koral::test {

// The service started (one running counts) and its device back.
inline void RestartDriverService() {
  EXPECT_EQ(service::Start(), 0u) << "the driver's service did not start again";
  EXPECT_TRUE(service::WaitForDevice(10000)) << "the driver's device did not come back";
}

// Stops the service for a scope: the test's own link to the device closed first, so that the
// service can stop; at the scope's end (a failed assertion leaves the test body through it too)
// the service is started again and the link reopened.
class DriverServiceStopped {
 public:
  explicit DriverServiceStopped(sim::SimClient& client) : client_(client) {
    client_.Close();
    stopped_ = service::Stop() == 0u;
  }
  ~DriverServiceStopped() {
    RestartDriverService();
    EXPECT_TRUE(client_.Open(10000)) << "the test's link to the driver did not reopen";
  }
  DriverServiceStopped(const DriverServiceStopped&) = delete;
  DriverServiceStopped& operator=(const DriverServiceStopped&) = delete;

  // Whether the service did stop.
  bool Stopped() const { return stopped_; }

 private:
  sim::SimClient& client_;
  bool stopped_ = false;
};

}  // namespace koral::test
