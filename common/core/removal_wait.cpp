#include "common/core/removal_wait.h"

namespace koral {

RemoverWaitVerdict JudgeRemoverWait(uint32_t result, int wait) {
  switch (result) {
    case 0x00000000:
      return {true, true, {}};
    case 0xFFFFFFFF:
      return {true, false, "WAIT_FAILED"};
    case 0x00000080:
      return {true, false, "WAIT_ABANDONED"};
    default:
      if (wait >= kRemoverWaits) return {true, false, "WAIT_TIMEOUT"};
      return {};
  }
}

}  // namespace koral
