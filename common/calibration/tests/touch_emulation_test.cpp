// A touch down at one point, a slide to another and the lift, in each touch mode, with the
// feedback sound and the armed right button: the pointer steps a user would see.
#include "common/calibration/touch_emulation.h"

#include <gtest/gtest.h>

#include <vector>

namespace koral::calibration {
namespace {

using A = PointerAction;
constexpr ScreenPixel P{10, 20}, Q{30, 40};

std::vector<PointerStep> Touch(TouchEmulation& e, const TouchSettings& s, bool slide) {
  std::vector<PointerStep> all = e.Down(P, s);
  for (ScreenPixel at : {P, slide ? Q : P}) {
    const auto steps = e.Move(at);
    all.insert(all.end(), steps.begin(), steps.end());
  }
  const auto lift = e.Lift();
  all.insert(all.end(), lift.begin(), lift.end());
  return all;
}

TEST(TouchEmulation, EachModeTurnsATouchIntoItsButtonSteps) {
  struct Case {
    const char* name;
    TouchSettings settings;
    bool slide;
    std::vector<PointerStep> steps;
  };
  const Case cases[] = {
      {"stream holds the button for the touch", {1, 1, false}, true,
       {{A::kMove, P}, {A::kLeftDown, P}, {A::kMove, Q}, {A::kLeftUp, Q}}},
      {"lift off clicks where the finger leaves", {2, 1, false}, true,
       {{A::kMove, P}, {A::kMove, Q}, {A::kLeftDown, Q}, {A::kLeftUp, Q}}},
      {"touch down clicks once as the finger lands", {3, 1, false}, true,
       {{A::kMove, P}, {A::kLeftDown, P}, {A::kLeftUp, P}, {A::kMove, Q}}},
      {"drag and drop clicks for a tap", {4, 1, false}, false,
       {{A::kMove, P}, {A::kLeftDown, P}, {A::kLeftUp, P}}},
      {"drag and drop drags from where the finger landed", {4, 1, false}, true,
       {{A::kMove, P}, {A::kLeftDown, P}, {A::kMove, Q}, {A::kLeftUp, Q}}},
      {"an unknown mode only moves", {0, 1, false}, true, {{A::kMove, P}, {A::kMove, Q}}},
      {"armed, the touch is one right click whatever the mode", {2, 1, true}, true,
       {{A::kMove, P}, {A::kRightDown, P}, {A::kRightUp, P}, {A::kRightDone, P}, {A::kMove, Q}}},
      {"armed in drag and drop, a slide does not drag", {4, 1, true}, true,
       {{A::kMove, P}, {A::kRightDown, P}, {A::kRightUp, P}, {A::kRightDone, P}, {A::kMove, Q}}},
      {"beep on touch down", {3, 2, false}, false,
       {{A::kMove, P}, {A::kBeep, P}, {A::kLeftDown, P}, {A::kLeftUp, P}}},
      {"beep on lift", {1, 3, false}, false,
       {{A::kMove, P}, {A::kLeftDown, P}, {A::kLeftUp, P}, {A::kBeep, P}}},
      {"beep on both, also for a right click", {1, 4, true}, false,
       {{A::kMove, P}, {A::kBeep, P}, {A::kRightDown, P}, {A::kRightUp, P}, {A::kRightDone, P},
        {A::kBeep, P}}},
      {"an unknown feedback value is silent", {1, 9, false}, false,
       {{A::kMove, P}, {A::kLeftDown, P}, {A::kLeftUp, P}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TouchEmulation e;
    EXPECT_EQ(Touch(e, c.settings, c.slide), c.steps);
    EXPECT_FALSE(e.Touching());
  }
}

// The settings are taken as the finger comes down: the next touch sees a change, this one not.
TEST(TouchEmulation, SettingsHoldForTheWholeTouch) {
  TouchEmulation e;
  e.Down(P, {2, 1, false});
  EXPECT_EQ(e.Move(Q), (std::vector<PointerStep>{{A::kMove, Q}}));
  EXPECT_EQ(e.Lift(), (std::vector<PointerStep>{{A::kLeftDown, Q}, {A::kLeftUp, Q}}));
  EXPECT_EQ(e.Down(P, {3, 1, false}),
            (std::vector<PointerStep>{{A::kMove, P}, {A::kLeftDown, P}, {A::kLeftUp, P}}));
}

// Samples can be missed: a new touch without a lift first releases what the old one held, and a
// lift or a move without a touch does nothing.
TEST(TouchEmulation, MissedSamplesLeaveNoButtonHeld) {
  TouchEmulation e;
  EXPECT_TRUE(e.Lift().empty());
  EXPECT_TRUE(e.Move(Q).empty());
  e.Down(P, {1, 1, false});
  EXPECT_EQ(e.Down(Q, {1, 1, false}),
            (std::vector<PointerStep>{{A::kLeftUp, P}, {A::kMove, Q}, {A::kLeftDown, Q}}));
  EXPECT_EQ(e.Lift(), (std::vector<PointerStep>{{A::kLeftUp, Q}}));
}

}  // namespace
}  // namespace koral::calibration
