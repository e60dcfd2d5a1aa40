#include "common/calibration/targets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/calibration/synthetic_panel.h"

namespace koral::calibration {
namespace {

TEST(TargetGeometry, FollowsTheSurfaceAndRoundsOddMiddlesToEven) {
  struct Case {
    int width, height;
    TargetGeometry expected;
  };
  const Case cases[] = {
      {1024, 768, {0, 0, 1023, 767, 16, 16, 511, 383}},
      {800, 600, {0, 0, 799, 599, 16, 16, 399, 299}},
      {1023, 767, {0, 0, 1022, 766, 16, 16, 510, 382}},  // 510.5 and 382.5 go down
      {1025, 769, {0, 0, 1024, 768, 16, 16, 512, 384}},  // 511.5 and 383.5 go up
  };
  for (const auto& c : cases)
    EXPECT_EQ(GeometryOf(c.width, c.height), c.expected) << c.width << " x " << c.height;
}

TEST(CrossMark, LinesCrossWhereTheUserIsAskedToTouch) {
  const TargetGeometry g = GeometryOf(1024, 768);
  const PixelPoint expected[9] = {{0, 0},     {15, 15},    {1006, 15}, {1006, 750}, {15, 750},
                                  {511, 15},  {1006, 383}, {511, 750}, {15, 383}};
  for (int index = 1; index <= kLastTarget; ++index) {
    const auto mark = CrossMarkOf(index, g);
    ASSERT_TRUE(mark) << index;
    EXPECT_EQ(mark->Centre(), expected[index]) << kTargetNames[index];
  }
  for (int index : {-1, 0, 9, 25}) EXPECT_FALSE(CrossMarkOf(index, g)) << index;
}

// Each line runs across its whole outline and the crossing lies inside it, on any surface.
TEST(CrossMark, EachCrossSpansItsOutline) {
  for (auto [w, h] : {std::pair{1024, 768}, std::pair{640, 480}, std::pair{1023, 767}, std::pair{1920, 1080}}) {
    const TargetGeometry g = GeometryOf(w, h);
    for (int index = 1; index <= kLastTarget; ++index) {
      SCOPED_TRACE(testing::Message() << w << " x " << h << " " << kTargetNames[index]);
      const CrossMark m = *CrossMarkOf(index, g);
      const int left = std::min(m.Outline.From.X, m.Outline.To.X);
      const int right = std::max(m.Outline.From.X, m.Outline.To.X);
      const int top = std::min(m.Outline.From.Y, m.Outline.To.Y);
      const int bottom = std::max(m.Outline.From.Y, m.Outline.To.Y);
      EXPECT_GE(left, 0);
      EXPECT_GE(top, 0);
      EXPECT_LE(right, w - 1);
      EXPECT_LE(bottom, h - 1);
      EXPECT_EQ(m.Horizontal.From.Y, m.Horizontal.To.Y);
      EXPECT_EQ(m.Horizontal.From.X, left);
      EXPECT_EQ(m.Horizontal.To.X, right);
      EXPECT_EQ(m.Vertical.From.X, m.Vertical.To.X);
      EXPECT_EQ(m.Vertical.From.Y, top);
      EXPECT_EQ(m.Vertical.To.Y, bottom);
      const PixelPoint c = m.Centre();
      EXPECT_GT(c.X, left);
      EXPECT_LT(c.X, right);
      EXPECT_GT(c.Y, top);
      EXPECT_LT(c.Y, bottom);
    }
  }
}

// The panel emulator turns the picture with the same convention the computation undoes: a
// calibration touched through a turned panel finds the panel's direction when it is told the
// turn.
TEST(SyntheticPanel, TurnedPicturesAreUndoneByTheOrientationCode) {
  for (auto [w, h] : {std::pair{1024, 768}, std::pair{800, 600}}) {
    const TargetGeometry g = GeometryOf(w, h);
    for (uint8_t direction = 0; direction < 8; ++direction) {
      for (int16_t orientation = 0; orientation < 4; ++orientation) {
        for (int32_t mode : {kCornerMode, kEdgeMode}) {
          SCOPED_TRACE(testing::Message() << w << " x " << h << " direction " << int(direction)
                                          << " orientation " << orientation << " mode " << mode);
          const SyntheticPanel panel{direction, 40, 1000, 25, 965, w, h, orientation};
          CalibrationInput in;
          in.CalibrationMode = mode;
          in.OrientationCode = orientation;
          in.ResolutionX = static_cast<int16_t>(w);
          in.ResolutionY = static_cast<int16_t>(h);
          const int first = mode == kCornerMode ? kFirstCornerTarget : kFirstEdgeTarget;
          for (int target = first; target < first + 4; ++target) {
            const PixelPoint at = CrossMarkOf(target, g)->Centre();
            const PanelPoint raw = panel.Touch(at.X, at.Y);
            in.PointX[target] = raw.X;
            in.PointY[target] = raw.Y;
          }
          const CalibrationResult r = ComputeCalibration(in);
          ASSERT_TRUE(r.Succeeded()) << r.Reason;
          EXPECT_EQ(r.Calibration.PanelDirection, direction);
        }
      }
    }
  }
}

TEST(SyntheticPanel, ReportsWholeUnitsWithinTheRawRange) {
  const SyntheticPanel wide{0, -100, 1200, 25, 965, 1024, 768, 0};
  EXPECT_EQ(wide.Touch(0, 0).X, 0);
  EXPECT_EQ(wide.Touch(1023, 0).X, 1023);
  const PanelPoint middle = wide.Touch(511.5, 383.5);
  EXPECT_EQ(middle.X, 550);
  EXPECT_EQ(middle.Y, 495);
}

}  // namespace
}  // namespace koral::calibration
