// The calibration targets: their names, where their cross marks go on the drawing surface and
// what each mark is made of. Portable, so the window, the tests and the panel emulator agree on
// where a target is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace koral::calibration {

// Targets 1..4 are the corners, 5..8 the edge midpoints, each clockwise from the top left or
// the top. Index 0 names nothing.
inline constexpr std::array<std::string_view, 9> kTargetNames = {
    "", "TOP-LEFT", "TOP-RIGHT", "DOWN-RIGHT", "DOWN-LEFT", "TOP", "RIGHT", "DOWN", "LEFT"};
inline constexpr int16_t kFirstCornerTarget = 1;
inline constexpr int16_t kFirstEdgeTarget = 5;
inline constexpr int16_t kLastTarget = 8;

// Where the marks go, in pixels of the drawing surface's inner area.
struct TargetGeometry {
  int16_t EdgeLeft = 0;
  int16_t EdgeTop = 0;
  int16_t EdgeRight = 0;
  int16_t EdgeBottom = 0;
  int16_t MarginX = 0;
  int16_t MarginY = 0;
  int16_t MidX = 0;
  int16_t MidY = 0;

  friend bool operator==(const TargetGeometry&, const TargetGeometry&) = default;
};

// The geometry of a surface whose inner area is width x height pixels; the middle of an odd
// side rounds to the even neighbour.
TargetGeometry GeometryOf(int width, int height);

struct PixelPoint {
  int16_t X;
  int16_t Y;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct Segment {
  PixelPoint From;
  PixelPoint To;
  friend bool operator==(const Segment&, const Segment&) = default;
};

// A square outline (its opposite corners) with a horizontal and a vertical line through it,
// drawn in that order.
struct CrossMark {
  Segment Outline;
  Segment Horizontal;
  Segment Vertical;

  // Where the two lines cross: the point the user is asked to touch.
  PixelPoint Centre() const { return {Vertical.From.X, Horizontal.From.Y}; }
};

// The mark of a target 1..8; nothing for any other index.
std::optional<CrossMark> CrossMarkOf(int index, const TargetGeometry& g);

}  // namespace koral::calibration
