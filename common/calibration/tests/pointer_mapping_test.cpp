// The mapping against the calibrations it serves: a panel calibrated at the cross marks where
// the calibration window draws them must put every touch of a grid within two pixels of where
// the finger was, and values no calibration produced must still land on the screen.
#include "common/calibration/pointer_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace koral::calibration {
namespace {

NewCalibration CalibrateAtTheMarks(const SyntheticPanel& panel, int32_t mode) {
  const CalibrationResult r = ComputeCalibration(MarksTouched(panel, mode));
  EXPECT_TRUE(r.Succeeded()) << r.Reason;
  return r.Calibration;
}

TEST(PointerMapping, AGridLandsWithinTwoPixelsAfterACalibration) {
  constexpr int kScreens[][2] = {{1024, 768}, {1920, 1080}, {800, 600}};
  for (const auto& [w, h] : kScreens) {
    for (uint8_t direction = 0; direction < 8; ++direction) {
      for (int32_t mode : {kCornerMode, kEdgeMode}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h << " direction " << int(direction)
                                        << " mode " << mode);
        const SyntheticPanel panel{direction, 40, 1000, 25, 965, w, h, 0};
        const NewCalibration c = CalibrateAtTheMarks(panel, mode);
        ASSERT_EQ(c.PanelDirection, direction);
        for (int i = 0; i < 5; ++i) {
          for (int j = 0; j < 5; ++j) {
            const int x = i * (w - 1) / 4, y = j * (h - 1) / 4;
            const PanelPoint raw = panel.Touch(x, y);
            const ScreenPixel seen = PixelOf(MapToScreen(c, {double(raw.X), double(raw.Y)}, w, h));
            EXPECT_LE(std::abs(seen.X - x), 2) << "at " << x << "," << y;
            EXPECT_LE(std::abs(seen.Y - y), 2) << "at " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(PointerMapping, ValuesNoCalibrationGivesStayOnTheScreen) {
  struct Case {
    const char* name;
    NewCalibration c;
  };
  constexpr int16_t kMost = std::numeric_limits<int16_t>::max();
  constexpr int16_t kLeast = std::numeric_limits<int16_t>::min();
  const Case cases[] = {
      {"all zero", {0, 0, 0, 0, 0, 0, 0}},
      {"edges reversed", {900, 500, 100, 900, 500, 100, 0}},
      {"centre outside its edges", {100, 2000, 900, 100, -5, 900, 7}},
      {"extremes", {kLeast, 0, kMost, kMost, 0, kLeast, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const RawReading raw : {RawReading{0, 0}, RawReading{511, 511}, RawReading{1023, 1023},
                                 RawReading{-300, 2000}}) {
      const ScreenPosition p = MapToScreen(c.c, raw, 1024, 768);
      EXPECT_TRUE(p.X >= 0 && p.X <= 1023) << p.X;
      EXPECT_TRUE(p.Y >= 0 && p.Y <= 767) << p.Y;
    }
  }
}

// The centre value bends each axis: a reading halfway between an edge and the centre lands
// halfway between the screen's edge and its middle, on either side.
TEST(PointerMapping, EachHalfOfAnAxisRunsFromItsEdgeToTheCentre) {
  const NewCalibration c{100, 300, 900, 0, 600, 1000, 0};
  struct Case {
    RawReading raw;
    double x, y;
  };
  const Case cases[] = {
      {{100, 0}, 0, 0},       {{300, 600}, 511.5, 383.5}, {{900, 1000}, 1023, 767},
      {{200, 300}, 255.75, 191.75}, {{600, 800}, 767.25, 575.25}, {{0, 1023}, 0, 767},
  };
  for (const Case& k : cases) {
    const ScreenPosition p = MapToScreen(c, k.raw, 1024, 768);
    EXPECT_DOUBLE_EQ(p.X, k.x) << k.raw.X;
    EXPECT_DOUBLE_EQ(p.Y, k.y) << k.raw.Y;
  }
}

}  // namespace
}  // namespace koral::calibration
