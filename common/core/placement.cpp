#include "common/core/placement.h"

namespace koral {

int64_t RoundHalfEven(int64_t numerator, int64_t denominator) {
  int64_t quotient = numerator / denominator;
  int64_t remainder = numerator % denominator;
  if (remainder < 0) {  // floor division, so that the remainder counts upward from the quotient
    quotient -= 1;
    remainder += denominator;
  }
  const int64_t twice = 2 * remainder;
  if (twice > denominator || (twice == denominator && quotient % 2 != 0)) quotient += 1;
  return quotient;
}

Position CentredWindow(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                       int32_t windowHeight) {
  // 0.85 is 17/20 exactly, so halves are found without floating-point error.
  const int64_t usedHeight = RoundHalfEven(int64_t{screenHeight} * 17, 20);
  return {static_cast<int32_t>(screenWidth / 2 - windowWidth / 2),
          static_cast<int32_t>(usedHeight / 2 - windowHeight / 2)};
}

Position CentredInside(int32_t innerWidth, int32_t innerHeight, int32_t width, int32_t height) {
  return {static_cast<int32_t>(RoundHalfEven(int64_t{innerWidth} - width, 2)),
          static_cast<int32_t>(RoundHalfEven(int64_t{innerHeight} - height, 2))};
}

}  // namespace koral
