// Synthetic panels of every direction, touched at the cross marks of either mode on screens of
// several sizes: the computed direction must be the panel's, and the edge values must map every
// mark back near where it was drawn.
#include "common/calibration/calibration_computation.h"
#include "common/calibration/pointer_mapping.h"
#include "common/calibration/synthetic_panel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace koral::calibration {
namespace {

struct Pixel {
  double x, y;
};

// Where the lines of the cross marks meet, for targets 1..8. Every test screen has even sides,
// so the centre lines sit at exactly half the side less one.
std::array<Pixel, 9> MarkCentres(int w, int h) {
  const double l = 15, r = w - 18, t = 15, b = h - 18, cx = w / 2 - 1, cy = h / 2 - 1;
  return {{{0, 0}, {l, t}, {r, t}, {r, b}, {l, b}, {cx, t}, {r, cy}, {cx, b}, {l, cy}}};
}

TEST(CalibrationProperty, SyntheticPanelsMapTheirMarksBack) {
  constexpr std::array<std::array<int, 2>, 5> kScreens = {
      {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}}};
  // Panels whose active area spans most of the raw range, and one using only its middle.
  // Edge mode tests the wiring with the four edge readings alone: on a panel with exchanged
  // wires those are centre readings, and when they straddle half range on both axes the
  // unexchanged test passes by chance. The spans keep the centres more than the noise away
  // from 512 so that the property holds.
  constexpr std::array<std::array<double, 4>, 2> kSpans = {
      {{40, 1000, 25, 965}, {180, 860, 120, 880}}};
  // A turned picture puts the mark drawn at position j where position (j + turn) % 4 is.
  constexpr std::array<int, 4> kTurn = {0, 1, 3, 2};
  std::mt19937 random(20240611);
  auto jitter = [&](int noise) { return static_cast<int>(random() % (2 * noise + 1)) - noise; };

  for (const auto [w, h] : kScreens) {
    const auto marks = MarkCentres(w, h);
    for (const auto& span : kSpans) {
      for (uint8_t direction = 0; direction < 8; ++direction) {
        // Linear along both screen axes, then mirrored and wired as its direction code says.
        const SyntheticPanel panel{direction, span[0], span[1], span[2], span[3], w, h};
        for (int32_t mode : {kCornerMode, kEdgeMode}) {
          const int first = mode == kCornerMode ? 1 : 5;
          for (int16_t orientation = 0; orientation < 4; ++orientation) {
            for (int noise : {0, 3}) {
              SCOPED_TRACE(testing::Message() << w << "x" << h << " span " << span[0]
                                              << " direction " << int(direction) << " mode "
                                              << mode << " orientation " << orientation
                                              << " noise " << noise);
              CalibrationInput in;
              in.CalibrationMode = mode;
              in.OrientationCode = orientation;
              in.ResolutionX = static_cast<int16_t>(w);
              in.ResolutionY = static_cast<int16_t>(h);
              for (int j = 0; j < 4; ++j) {
                const Pixel mark = marks[first + (j + kTurn[orientation]) % 4];
                const RawReading raw = panel.Reading(mark.x, mark.y);
                in.PointX[first + j] = static_cast<int16_t>(std::lround(raw.X) + jitter(noise));
                in.PointY[first + j] = static_cast<int16_t>(std::lround(raw.Y) + jitter(noise));
              }

              const CalibrationResult r = ComputeCalibration(in);
              ASSERT_TRUE(r.Succeeded()) << r.Reason;
              const NewCalibration& c = r.Calibration;
              EXPECT_EQ(c.PanelDirection, direction);

              // Tolerance: two pixels for the marks' placement (15 and side - 18 from the
              // edges), plus twice the noise and a unit of rounding in raw units, since a mapped
              // point rests on two values that each carry noise and integer rounding.
              const double rawPerPixelX = (span[1] - span[0]) / (w - 1);
              const double rawPerPixelY = (span[3] - span[2]) / (h - 1);
              const double toleranceX = 2 + (2 * noise + 1) / rawPerPixelX;
              const double toleranceY = 2 + (2 * noise + 1) / rawPerPixelY;
              for (int target = 1; target <= 8; ++target) {
                const ScreenPosition seen =
                    MapToScreen(c, panel.Reading(marks[target].x, marks[target].y), w, h);
                EXPECT_NEAR(seen.X, marks[target].x, toleranceX) << "target " << target;
                EXPECT_NEAR(seen.Y, marks[target].y, toleranceY) << "target " << target;
              }
            }
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace koral::calibration
