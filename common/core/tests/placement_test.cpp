#include "common/core/placement.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    int64_t Numerator, Denominator, Expected;
  };
  for (const auto& c : {Case{17, 2, 8}, Case{51, 2, 26}, Case{5, 2, 2}, Case{7, 2, 4}, Case{-5, 2, -2},
                        Case{-7, 2, -4}, Case{173, 20, 9}, Case{171, 20, 9}, Case{169, 20, 8},
                        Case{0, 2, 0}, Case{-3, 4, -1}}) {
    EXPECT_EQ(RoundHalfEven(c.Numerator, c.Denominator), c.Expected)
        << c.Numerator << "/" << c.Denominator;
  }
}

TEST(CentredWindow, SitsCentredAndAboveTheMiddle) {
  struct Case {
    int32_t ScreenWidth, ScreenHeight, Width, Height;
    Position Expected;
  };
  for (const auto& c : {
           // 1024 x 768 pixels at 15 twips each; 11520 x 0.85 = 9792.
           Case{15360, 11520, 6735, 5325, {7680 - 3367, 4896 - 2662}},
           // 0.85 x 10 = 8.5 rounds to 8; 0.85 x 30 = 25.5 rounds to 26.
           Case{100, 10, 0, 0, {50, 4}},
           Case{100, 30, 0, 0, {50, 13}},
           // Odd sizes divide down before subtracting.
           Case{101, 20, 3, 3, {50 - 1, 8 - 1}},
           // A window larger than the screen goes above and left of it.
           Case{1000, 1000, 3000, 2000, {500 - 1500, 425 - 1000}},
       }) {
    EXPECT_EQ(CentredWindow(c.ScreenWidth, c.ScreenHeight, c.Width, c.Height), c.Expected)
        << c.ScreenWidth << "x" << c.ScreenHeight << " " << c.Width << "x" << c.Height;
  }
}

TEST(CentredInside, CentresWithHalvesToEven) {
  EXPECT_EQ(CentredInside(720, 720, 480, 480), (Position{120, 120}));
  EXPECT_EQ(CentredInside(735, 705, 480, 480), (Position{128, 112}));  // 127.5 -> 128, 112.5 -> 112
  EXPECT_EQ(CentredInside(400, 300, 480, 480), (Position{-40, -90}));
}

}  // namespace
}  // namespace koral
