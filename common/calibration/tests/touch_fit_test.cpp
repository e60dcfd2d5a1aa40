// The four touches of a run against the pattern their marks make: panels of every direction and
// picture turn fit when touched on the marks, and one touch placed off its mark is found.
#include "common/calibration/touch_fit.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/calibration/synthetic_panel.h"
#include "common/calibration/targets.h"

namespace koral::calibration {
namespace {

using Targets = std::vector<int16_t>;

// The marks of a mode touched on a panel, one of them `dx`, `dy` pixels off.
CalibrationInput Touched(const SyntheticPanel& panel, int32_t mode, int16_t off = 0, double dx = 0, double dy = 0) {
  CalibrationInput in = MarksTouched(panel, mode);
  if (off) {
    const PixelPoint c = CrossMarkOf(off, GeometryOf(panel.Width, panel.Height))->Centre();
    const PanelPoint p = panel.Touch(c.X + dx, c.Y + dy);
    in.PointX[static_cast<size_t>(off)] = p.X;
    in.PointY[static_cast<size_t>(off)] = p.Y;
  }
  return in;
}

Targets Misfits(const CalibrationInput& in, int tolerance) {
  return MisfitTargets(in.PointX, in.PointY, in.CalibrationMode, tolerance);
}

TEST(TouchFit, EveryPanelTouchedOnItsMarksFits) {
  for (uint8_t direction = 0; direction < 8; ++direction) {
    for (int16_t turn = 0; turn < 4; ++turn) {
      for (int32_t mode : {kCornerMode, kEdgeMode}) {
        for (auto [w, h] : {std::pair{1024, 768}, std::pair{640, 480}, std::pair{1920, 1080}}) {
          SyntheticPanel panel{direction, 180, 860, 120, 880, w, h, turn};
          SCOPED_TRACE(testing::Message() << "direction " << int(direction) << " turn " << turn << " mode " << mode
                                          << " screen " << w);
          EXPECT_EQ(Misfits(Touched(panel, mode), 2), Targets{});
        }
      }
    }
  }
}

TEST(TouchFit, ATouchOffItsMarkIsFound) {
  struct Case {
    const char* name;
    uint8_t direction;
    int16_t turn;
    int32_t mode;
    int16_t off;
    double dx, dy;
    int tolerance;
    Targets misfits;
  };
  const Case cases[] = {
      {"a corner off both ways is the only one", 0, 0, kCornerMode, 3, -40, -30, 20, {3}},
      {"so on an exchanged, mirrored panel", 5, 0, kCornerMode, 1, 40, 30, 20, {1}},
      {"so on a turned picture", 6, 1, kCornerMode, 2, -40, 30, 20, {2}},
      {"a corner off along one side leaves both ends in doubt", 0, 0, kCornerMode, 4, 40, 0, 20, {1, 4}},
      {"within the tolerance a touch fits", 0, 0, kCornerMode, 2, 15, 15, 20, {}},
      {"a corner touched on its neighbour's mark", 0, 0, kCornerMode, 1, 991, 0, 20, {1, 4}},
      {"a corner beyond its neighbour breaks the order", 3, 0, kCornerMode, 1, 700, 3, 20, {1, 4}},
      {"an edge mark off its line", 0, 0, kEdgeMode, 5, 60, 0, 20, {5, 7}},
      {"an edge mark off along its line", 5, 0, kEdgeMode, 6, -200, 0, 20, {5, 6, 7, 8}},
      {"an edge mark on the far side of the centre", 0, 0, kEdgeMode, 8, 700, 0, 20, {5, 6, 7, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SyntheticPanel panel{c.direction, 40, 1000, 25, 965, 1024, 768, c.turn};
    EXPECT_EQ(Misfits(Touched(panel, c.mode, c.off, c.dx, c.dy), c.tolerance), c.misfits);
  }
}

TEST(TouchFit, TheToleranceIsInRawUnitsAndInclusive) {
  CalibrationInput in = MarksTouched(SyntheticPanel{}, kCornerMode);
  in.PointY[2] = static_cast<int16_t>(in.PointY[1] + 10);  // the top side 10 units out of line
  EXPECT_EQ(Misfits(in, 10), Targets{});
  EXPECT_EQ(Misfits(in, 9), (Targets{1, 2}));
}

TEST(TouchFit, FourTouchesOnOneSpotNeverFit) {
  CalibrationInput in;
  in.PointX.fill(500);
  in.PointY.fill(500);
  EXPECT_EQ(Misfits(in, 255), (Targets{1, 2, 3, 4}));
  in.CalibrationMode = kEdgeMode;
  EXPECT_EQ(Misfits(in, 1), (Targets{5, 6, 7, 8}));
}

}  // namespace
}  // namespace koral::calibration
