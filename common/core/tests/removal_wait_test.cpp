#include "common/core/removal_wait.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

TEST(JudgeRemoverWait, EndFailureAbandonOrTenTimeOuts) {
  struct Case {
    uint32_t Result;
    int Wait;
    RemoverWaitVerdict Expected;
  };
  for (const auto& c : {
           Case{0, 1, {true, true, ""}},
           Case{0, 10, {true, true, ""}},
           Case{0xFFFFFFFF, 3, {true, false, "WAIT_FAILED"}},
           Case{0x80, 1, {true, false, "WAIT_ABANDONED"}},
           Case{0x102, 1, {false, false, ""}},
           Case{0x102, 9, {false, false, ""}},
           Case{0x102, 10, {true, false, "WAIT_TIMEOUT"}},
           // Any other answer is taken as a time-out.
           Case{0x81, 5, {false, false, ""}},
           Case{0x81, 10, {true, false, "WAIT_TIMEOUT"}},
       }) {
    EXPECT_EQ(JudgeRemoverWait(c.Result, c.Wait), c.Expected) << std::hex << c.Result << " at " << std::dec << c.Wait;
  }
}

}  // namespace
}  // namespace koral
