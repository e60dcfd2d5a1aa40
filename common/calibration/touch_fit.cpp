#include "common/calibration/touch_fit.h"

#include <cstdlib>

#include "common/calibration/targets.h"

namespace koral::calibration {
namespace {

// One test over some of the four touches, by their place 0..3 in the mode's targets.
struct Test {
  unsigned Involved;  // bit i: the mode's i-th target
  bool Passed;
};

constexpr unsigned kAll = 0xF;
constexpr unsigned Bits(int a, int b) { return (1u << a) | (1u << b); }

struct Axes {
  int along[4];   // the raw axis the screen's horizontal runs along
  int across[4];  // the other one
};

// Both ways round; the tests then take the one under which the straightness tests fit better.
Axes Layout(const int x[4], const int y[4], bool exchanged) {
  Axes a{};
  for (int i = 0; i < 4; ++i) {
    a.along[i] = exchanged ? y[i] : x[i];
    a.across[i] = exchanged ? x[i] : y[i];
  }
  return a;
}

bool SameWay(int first, int second, int tolerance) {
  return std::abs(first) > tolerance && std::abs(second) > tolerance && (first > 0) == (second > 0);
}

bool OnEitherSide(int first, int second, int tolerance) {
  return std::abs(first) > tolerance && std::abs(second) > tolerance && (first > 0) != (second > 0);
}

// Places 0..3: TOP-LEFT, TOP-RIGHT, DOWN-RIGHT, DOWN-LEFT.
int CornerStraightness(const Axes& a) {
  return std::abs(a.across[0] - a.across[1]) + std::abs(a.across[3] - a.across[2]) +
         std::abs(a.along[0] - a.along[3]) + std::abs(a.along[1] - a.along[2]);
}

std::vector<Test> CornerTests(const Axes& a, int tol) {
  return {
      {Bits(0, 1), std::abs(a.across[0] - a.across[1]) <= tol},  // top
      {Bits(3, 2), std::abs(a.across[3] - a.across[2]) <= tol},  // bottom
      {Bits(0, 3), std::abs(a.along[0] - a.along[3]) <= tol},    // left
      {Bits(1, 2), std::abs(a.along[1] - a.along[2]) <= tol},    // right
      {kAll, SameWay(a.along[1] - a.along[0], a.along[2] - a.along[3], tol)},
      {kAll, SameWay(a.across[3] - a.across[0], a.across[2] - a.across[1], tol)},
  };
}

// Places 0..3: TOP, RIGHT, DOWN, LEFT.
int EdgeStraightness(const Axes& a) {
  return std::abs(a.along[0] - a.along[2]) + std::abs(a.across[1] - a.across[3]);
}

std::vector<Test> EdgeTests(const Axes& a, int tol) {
  // Sums of two readings stand for twice their middle.
  const int upright = a.along[0] + a.along[2];  // TOP to DOWN
  const int level = a.across[1] + a.across[3];  // LEFT to RIGHT
  return {
      {Bits(0, 2), std::abs(a.along[0] - a.along[2]) <= tol},
      {Bits(1, 3), std::abs(a.across[1] - a.across[3]) <= tol},
      {kAll, std::abs((a.across[0] + a.across[2]) - level) <= 2 * tol},
      {kAll, std::abs((a.along[1] + a.along[3]) - upright) <= 2 * tol},
      {kAll, OnEitherSide(2 * a.across[0] - level, 2 * a.across[2] - level, 2 * tol)},
      {kAll, OnEitherSide(2 * a.along[1] - upright, 2 * a.along[3] - upright, 2 * tol)},
  };
}

}  // namespace

std::vector<int16_t> MisfitTargets(const PointArray& px, const PointArray& py, int32_t mode, int tolerance) {
  const int first = mode == kCornerMode ? kFirstCornerTarget : kFirstEdgeTarget;
  int x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    x[i] = px[static_cast<size_t>(first + i)];
    y[i] = py[static_cast<size_t>(first + i)];
  }
  const Axes plain = Layout(x, y, false), exchanged = Layout(x, y, true);
  std::vector<Test> tests;
  if (mode == kCornerMode) {
    tests = CornerTests(CornerStraightness(exchanged) < CornerStraightness(plain) ? exchanged : plain, tolerance);
  } else {
    tests = EdgeTests(EdgeStraightness(exchanged) < EdgeStraightness(plain) ? exchanged : plain, tolerance);
  }

  unsigned failed = 0;
  for (const Test& t : tests) failed |= t.Passed ? 0u : 1u;
  std::vector<int16_t> misfits;
  if (!failed) return misfits;
  for (int i = 0; i < 4; ++i) {
    bool explains = true;
    for (const Test& t : tests) explains = explains && (t.Passed || (t.Involved & (1u << i)) != 0);
    if (explains) misfits.push_back(static_cast<int16_t>(first + i));
  }
  if (misfits.empty()) {
    for (int i = 0; i < 4; ++i) misfits.push_back(static_cast<int16_t>(first + i));
  }
  return misfits;
}

}  // namespace koral::calibration
