// Placement arithmetic shared by every window of the suite. All sizes are in twips.
#pragma once

#include <cstdint>
#include <utility>

namespace koral {

struct Position {
  int32_t Left = 0;
  int32_t Top = 0;
  friend bool operator==(const Position&, const Position&) = default;
};

// numerator / denominator brought to the nearest whole number, a half going to the even
// neighbour. The denominator must be positive.
int64_t RoundHalfEven(int64_t numerator, int64_t denominator);

// Where a window goes: centred horizontally and somewhat above the vertical centre
// (the centre of the top 85 % of the screen).
Position CentredWindow(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth,
                       int32_t windowHeight);

// Where a picture goes to sit centred inside a box's inner area.
Position CentredInside(int32_t innerWidth, int32_t innerHeight, int32_t width, int32_t height);

template <typename T>
void SwapValues(T& a, T& b) {
  std::swap(a, b);
}

}  // namespace koral
