#include "common/calibration/capture_rule.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace koral::calibration {
namespace {

using enum CaptureStep;

struct Read {
  PanelSample sample;
  CaptureStep step;
  int16_t stableCount;  // after the read
};

Read T(int16_t x, int16_t y, int16_t counter, CaptureStep step, int16_t stable) {
  return {{x, y, true, counter}, step, stable};
}
Read U(int16_t counter, CaptureStep step) { return {{0, 0, false, counter}, step, 2}; }

struct RuleCase {
  const char* name;
  std::vector<Read> reads;
};

TEST(CaptureRule, SampleCountersDecideWhenAStillTouchIsTaken) {
  const RuleCase cases[] = {
      {"every read a new sample: taken on the third touched read",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), T(300, 200, 3, kReadAgain, 1),
        T(300, 200, 4, kTaken, 0)}},
      {"the touch-down sample read again counts once, repeats of it never",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), T(300, 200, 2, kReadAgain, 1),
        T(300, 200, 2, kReadAgain, 1), T(300, 200, 2, kReadAgain, 1), T(300, 200, 2, kReadAgain, 1),
        T(300, 200, 3, kTaken, 0)}},
      {"a touched read repeating the untouched counter does not count",
       {U(7, kUntouched), T(300, 200, 7, kTouchDown, 2), T(300, 200, 7, kReadAgain, 2),
        T(300, 200, 8, kReadAgain, 1), T(300, 200, 9, kTaken, 0)}},
      {"before any untouched read the remembered counter is 0",
       {T(300, 200, 0, kTouchDown, 2), T(300, 200, 0, kReadAgain, 2), T(300, 200, 5, kReadAgain, 1),
        T(300, 200, 6, kTaken, 0)}},
      {"a move of one raw unit in X restarts the count",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), T(300, 200, 3, kReadAgain, 1),
        T(301, 200, 4, kReadAgain, 2), T(301, 200, 5, kReadAgain, 1), T(301, 200, 6, kTaken, 0)}},
      {"a move of one raw unit in Y restarts the count",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), T(300, 200, 3, kReadAgain, 1),
        T(300, 199, 4, kReadAgain, 2), T(300, 199, 5, kReadAgain, 1), T(300, 199, 6, kTaken, 0)}},
      {"the moving read only remembers its position: read again, its counter counts",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), T(300, 200, 3, kReadAgain, 1),
        T(310, 200, 4, kReadAgain, 2), T(310, 200, 4, kReadAgain, 1), T(310, 200, 4, kReadAgain, 1),
        T(310, 200, 5, kTaken, 0)}},
      {"a finger sliding on never settles",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), T(301, 200, 3, kReadAgain, 2),
        T(302, 200, 4, kReadAgain, 2), T(303, 200, 5, kReadAgain, 2), T(304, 200, 6, kReadAgain, 2)}},
      {"a touch lifted before it is taken leaves nothing behind",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), T(300, 200, 3, kReadAgain, 1), U(4, kLiftedEarly),
        U(4, kUntouched), T(300, 200, 5, kTouchDown, 2), T(300, 200, 6, kReadAgain, 1),
        T(300, 200, 7, kTaken, 0)}},
      {"the next touch after a lift may land anywhere",
       {U(1, kUntouched), T(300, 200, 2, kTouchDown, 2), U(3, kLiftedEarly), T(600, 500, 4, kTouchDown, 2),
        T(600, 500, 5, kReadAgain, 1), T(600, 500, 6, kTaken, 0)}},
      {"counters wrap at 16 bits and still differ",
       {U(32766, kUntouched), T(300, 200, 32767, kTouchDown, 2), T(300, 200, -32768, kReadAgain, 1),
        T(300, 200, -32767, kTaken, 0)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CaptureRule rule;
    for (size_t i = 0; i < c.reads.size(); ++i) {
      const Read& r = c.reads[i];
      EXPECT_EQ(rule.Next(r.sample), r.step) << "read " << i;
      EXPECT_EQ(rule.StableCount(), r.stableCount) << "read " << i;
    }
  }
}

TEST(CaptureRule, TheTakenPositionIsTheOneHeldStill) {
  CaptureRule rule;
  rule.Next({0, 0, false, 1});
  rule.Next({120, 900, true, 2});
  rule.Next({121, 901, true, 3});
  rule.Next({121, 901, true, 4});
  ASSERT_EQ(rule.Next({121, 901, true, 5}), kTaken);
  EXPECT_EQ(rule.Position().X, 121);
  EXPECT_EQ(rule.Position().Y, 901);
}

PanelSample Up(int16_t counter) { return {0, 0, false, counter}; }
PanelSample Down(int16_t x, int16_t counter) { return {x, 500, true, counter}; }

std::vector<CaptureStep> Steps(std::initializer_list<std::pair<int, CaptureStep>> runs) {
  std::vector<CaptureStep> steps;
  for (const auto& [count, step] : runs) steps.insert(steps.end(), static_cast<size_t>(count), step);
  return steps;
}

// A touch being counted whose sample stops changing (the driver gone, the controller silent)
// must not keep the window from its messages; a sample renewed in time is taken as before.
TEST(CaptureReader, ASampleThatStopsChangingStillLetsMessagesThrough) {
  const int limit = kStaleReadsBeforeMessages;
  const auto held = [](int repeats, std::vector<PanelSample> then) {
    std::vector<PanelSample> samples{Up(1), Down(300, 2)};
    samples.insert(samples.end(), static_cast<size_t>(repeats), Down(300, 2));
    samples.insert(samples.end(), then.begin(), then.end());
    return samples;
  };
  const struct {
    const char* name;
    std::vector<PanelSample> samples;
    std::vector<CaptureStep> steps;
  } cases[] = {
      {"repeated for ever: messages after the limit, then counting on",
       held(limit + 2, {}),
       Steps({{1, kUntouched}, {1, kTouchDown}, {limit - 1, kReadAgain}, {1, kUntouched}, {2, kReadAgain}})},
      {"renewed one read before the limit: taken without a look at messages",
       held(limit - 1, {Down(300, 3)}),
       Steps({{1, kUntouched}, {1, kTouchDown}, {limit - 1, kReadAgain}, {1, kTaken}})},
      {"repeated past the limit, then renewed: still taken, after one look",
       held(limit + 3, {Down(300, 3)}),
       Steps({{1, kUntouched}, {1, kTouchDown}, {limit - 1, kReadAgain}, {1, kUntouched}, {3, kReadAgain}, {1, kTaken}})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CaptureReader reader;
    std::vector<CaptureStep> steps;
    for (const PanelSample& sample : c.samples) steps.push_back(reader.Next(sample));
    EXPECT_EQ(steps, c.steps);
    if (steps.back() == kTaken) EXPECT_EQ(reader.Position().X, 300);
  }
}

}  // namespace
}  // namespace koral::calibration
