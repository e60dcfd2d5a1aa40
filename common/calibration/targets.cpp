#include "common/calibration/targets.h"

#include <cmath>

#include "common/calibration/calibration_computation.h"

namespace koral::calibration {
namespace {

// Nearest integer, halves to the even neighbour, whatever the FPU's rounding mode.
int16_t NearestEven(double v) {
  double whole = std::floor(v);
  const double fraction = v - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<int16_t>(whole);
}

constexpr PixelPoint P(int x, int y) { return {static_cast<int16_t>(x), static_cast<int16_t>(y)}; }

}  // namespace

TargetGeometry GeometryOf(int width, int height) {
  TargetGeometry g;
  g.EdgeLeft = 0;
  g.EdgeTop = 0;
  g.EdgeRight = NearestEven(width - 1.0);
  g.EdgeBottom = NearestEven(height - 1.0);
  g.MarginX = kMarginX;
  g.MarginY = kMarginY;
  g.MidX = NearestEven(width / 2.0 - 1.0);
  g.MidY = NearestEven(height / 2.0 - 1.0);
  return g;
}

std::optional<CrossMark> CrossMarkOf(int index, const TargetGeometry& g) {
  const int l = g.EdgeLeft, t = g.EdgeTop, r = g.EdgeRight, b = g.EdgeBottom;
  const int mx = g.MarginX, my = g.MarginY, cx = g.MidX, cy = g.MidY;
  // Outline, horizontal line, vertical line.
  switch (index) {
    case 1:  // TOP-LEFT
      return CrossMark{{P(l, t), P(l + 2 * mx - 1, t + 2 * my - 1)},
                       {P(l, t + my - 1), P(l + 2 * mx - 1, t + my - 1)},
                       {P(l + mx - 1, t), P(l + mx - 1, t + 2 * my - 1)}};
    case 2:  // TOP-RIGHT
      return CrossMark{{P(r - 2 * mx - 1, t), P(r, t + 2 * my - 1)},
                       {P(r - 2 * mx - 1, t + my - 1), P(r, t + my - 1)},
                       {P(r - mx - 1, t), P(r - mx - 1, t + 2 * my - 1)}};
    case 3:  // DOWN-RIGHT
      return CrossMark{{P(r - 2 * mx - 1, b - 2 * my - 1), P(r, b)},
                       {P(r - 2 * mx - 1, b - my - 1), P(r, b - my - 1)},
                       {P(r - mx - 1, b - 2 * my - 1), P(r - mx - 1, b)}};
    case 4:  // DOWN-LEFT
      return CrossMark{{P(l, b - 2 * my - 1), P(l + 2 * mx - 1, b)},
                       {P(l, b - my - 1), P(l + 2 * mx - 1, b - my - 1)},
                       {P(l + mx - 1, b - 2 * my - 1), P(l + mx - 1, b)}};
    case 5:  // TOP
      return CrossMark{{P(cx - mx - 1, t), P(cx + mx - 1, t + 2 * my - 1)},
                       {P(cx - mx - 1, t + my - 1), P(cx + mx - 1, t + my - 1)},
                       {P(cx, t), P(cx, t + 2 * my - 1)}};
    case 6:  // RIGHT
      return CrossMark{{P(r - 2 * mx - 1, cy - my - 1), P(r, cy + my - 1)},
                       {P(r - 2 * mx - 1, cy), P(r, cy)},
                       {P(r - mx - 1, cy - my - 1), P(r - mx - 1, cy + my - 1)}};
    case 7:  // DOWN
      return CrossMark{{P(cx - mx - 1, b - 2 * my - 1), P(cx + mx - 1, b)},
                       {P(cx - mx - 1, b - my - 1), P(cx + mx - 1, b - my - 1)},
                       {P(cx, b - 2 * my - 1), P(cx, b)}};
    case 8:  // LEFT
      return CrossMark{{P(l, cy - my - 1), P(l + 2 * mx - 1, cy + my - 1)},
                       {P(l, cy), P(l + 2 * mx - 1, cy)},
                       {P(l + mx - 1, cy - my - 1), P(l + mx - 1, cy + my - 1)}};
    default:
      return std::nullopt;
  }
}

}  // namespace koral::calibration
