// What every control panel test starts from: the substitute driver in its start state and the
// development profile in the model key; the driver is reset again afterwards.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tools/sim_client.h"

namespace koral::panel::tests {

class WithDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
  }
  void TearDown() override { sim_.Reset(); }

  sim::SimClient sim_;
};

}  // namespace koral::panel::tests
