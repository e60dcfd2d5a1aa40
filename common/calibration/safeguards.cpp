#include "common/calibration/safeguards.h"

namespace koral::calibration {
namespace {

std::optional<int16_t> Within(std::optional<int32_t> value, int32_t least, int32_t greatest) {
  if (!value || *value < least || *value > greatest) return std::nullopt;
  return static_cast<int16_t>(*value);
}

}  // namespace

Safeguards SafeguardsOf(std::optional<int32_t> touchTolerance, std::optional<int32_t> keepSeconds) {
  return {Within(touchTolerance, kLeastTouchTolerance, kGreatestTouchTolerance),
          Within(keepSeconds, kLeastKeepSeconds, kGreatestKeepSeconds)};
}

}  // namespace koral::calibration
