#include "common/core/setup_layout.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

TEST(PlanProgressLayout, HeightFromTheIconOrTheTallerText) {
  struct Case {
    int32_t Image, Label;
    ProgressLayout Expected;
  };
  for (const auto& c : {
           // One line: the window is two icons high, both centred.
           Case{480, 195, {960, 240, 382}},
           // Exactly two icons of text still fits.
           Case{480, 960, {960, 240, 0}},
           // Taller text: half an icon of margin in all.
           Case{480, 975, {1215, 368, 120}},
           Case{480, 1755, {1995, 758, 120}},
       }) {
    EXPECT_EQ(PlanProgressLayout(c.Image, c.Label), c.Expected) << c.Image << "/" << c.Label;
  }
}

TEST(PlanRemovalLayout, ButtonsFrameAndSeparator) {
  // The designed window: 6360 inside, 6450 outside; buttons 1455 x 495 at 3120; frame 5595 wide.
  const RemovalDesign design{6450, 6360, 2400, 5595, 1455, 1455, 3120, 495};
  const RemovalLayout layout = PlanRemovalLayout(design);
  EXPECT_EQ(layout.WindowWidth, 6450);
  EXPECT_EQ(layout.FrameLeft, 382);
  // (6360 - 2182.5 - 1455) = 2722.5 -> 2722 -> 1361; No 1.5 buttons further: 3543.5 -> 3544.
  EXPECT_EQ(layout.YesLeft, 1361);
  EXPECT_EQ(layout.NoLeft, 3544);
  // 3120 - 247.5 = 2872.5 -> 2872.
  EXPECT_EQ(layout.Shadow, (HorizontalLine{332, 6027, 2872}));
  EXPECT_EQ(layout.Highlight, (HorizontalLine{327, 6032, 2892}));
}

TEST(PlanRemovalLayout, WidensForALongCaptionAndRecentres) {
  struct Case {
    int32_t CaptionWidth, ExpectedWidth, ExpectedFrameLeft, ExpectedYesLeft, ExpectedNoLeft;
  };
  for (const auto& c : {
           Case{3540, 6450, 382, 1361, 3544},  // 2 x 1455 + 3540 = 6450: not larger, unchanged
           Case{3541, 6451, 383, 1362, 3544},  // one twip more widens by one; 2723.5 -> 2724
           Case{5090, 8000, 1157, 2136, 4318},
       }) {
    const RemovalLayout layout = PlanRemovalLayout({6450, 6360, c.CaptionWidth, 5595, 1455, 1455, 3120, 495});
    EXPECT_EQ(layout.WindowWidth, c.ExpectedWidth) << c.CaptionWidth;
    EXPECT_EQ(layout.FrameLeft, c.ExpectedFrameLeft) << c.CaptionWidth;
    EXPECT_EQ(layout.YesLeft, c.ExpectedYesLeft) << c.CaptionWidth;
    EXPECT_EQ(layout.NoLeft, c.ExpectedNoLeft) << c.CaptionWidth;
  }
}

}  // namespace
}  // namespace koral
