#include "common/calibration/capture_rule.h"

#include <gtest/gtest.h>

#include <string>
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

// Plays the panel from a list of samples and records what the loop asks of the window: "read",
// "messages", "on" and "off" for the indicator. A break is confirmed during one of the message
// looks when breakAt says so (1 = the first).
class ScriptedHost final : public CaptureHost {
 public:
  ScriptedHost(std::vector<PanelSample> samples, int breakAt) : samples_(std::move(samples)), breakAt_(breakAt) {}

  PanelSample ReadSample() override {
    log.push_back("read");
    if (next_ < samples_.size()) return samples_[next_++];
    // Out of samples: stop the loop rather than spin.
    log.push_back("exhausted");
    broken_ = true;
    return {};
  }
  void ProcessMessages() override {
    log.push_back("messages");
    if (++looks_ == breakAt_) broken_ = true;
  }
  bool BreakRequested() const override { return broken_; }
  void SetTouchIndicator(bool on) override { log.push_back(on ? "on" : "off"); }

  std::vector<std::string> log;

 private:
  std::vector<PanelSample> samples_;
  size_t next_ = 0;
  int breakAt_;
  int looks_ = 0;
  bool broken_ = false;
};

PanelSample Up(int16_t counter) { return {0, 0, false, counter}; }
PanelSample Down(int16_t x, int16_t counter) { return {x, 500, true, counter}; }

struct LoopCase {
  const char* name;
  std::vector<PanelSample> samples;
  int breakAt;  // 0: never
  std::optional<int16_t> takenX;
  std::vector<std::string> log;
};

// One capture from the case's samples: what it took and the order of what it did.
void ExpectCapture(const LoopCase& c) {
  SCOPED_TRACE(c.name);
  ScriptedHost host(c.samples, c.breakAt);
  const std::optional<PanelPoint> taken = AwaitStillTouch(host);
  ASSERT_EQ(taken.has_value(), c.takenX.has_value());
  if (taken) EXPECT_EQ(taken->X, *c.takenX);
  EXPECT_EQ(host.log, c.log);
}

TEST(AwaitStillTouch, LooksAtMessagesOnlyWhereNoTouchIsBeingCounted) {
  const LoopCase cases[] = {
      {"a resting finger is counted with reads back to back",
       {Up(1), Down(300, 2), Down(300, 2), Down(300, 3)},
       0, 300,
       {"off", "read", "messages", "read", "on", "messages", "read", "read"}},
      {"a break confirmed while the panel is untouched ends at once",
       {Up(1), Down(300, 2)},
       1, std::nullopt,
       {"off", "read", "messages"}},
      {"a break confirmed as the touch comes down lets nothing through",
       {Up(1), Down(300, 2), Down(300, 3), Down(300, 4)},
       2, std::nullopt,
       {"off", "read", "messages", "read", "on", "messages"}},
      {"a lift before the take turns the indicator off after the messages",
       {Up(1), Down(300, 2), Up(3), Down(400, 4), Down(400, 5), Down(400, 6)},
       0, 400,
       {"off", "read", "messages", "read", "on", "messages", "read", "messages", "off", "read", "on", "messages",
        "read", "read"}},
      {"a break confirmed at the lift ends the capture",
       {Up(1), Down(300, 2), Up(3)},
       3, std::nullopt,
       {"off", "read", "messages", "read", "on", "messages", "read", "messages"}},
  };
  for (const auto& c : cases) ExpectCapture(c);
}

// A touch being counted whose sample stops changing (the driver gone, the controller silent)
// must not keep the window from its messages; a sample renewed in time is taken as before.
TEST(AwaitStillTouch, ASampleThatStopsChangingStillLetsMessagesThrough) {
  const auto held = [](int reads, std::vector<PanelSample> then) {
    std::vector<PanelSample> samples{Up(1), Down(300, 2)};
    samples.insert(samples.end(), static_cast<size_t>(reads), Down(300, 2));
    samples.insert(samples.end(), then.begin(), then.end());
    return samples;
  };
  const auto log = [](int reads, std::vector<std::string> then) {
    std::vector<std::string> expected{"off", "read", "messages", "read", "on", "messages"};
    expected.insert(expected.end(), static_cast<size_t>(reads), "read");
    expected.insert(expected.end(), then.begin(), then.end());
    return expected;
  };
  const int limit = kStaleReadsBeforeMessages;
  const LoopCase cases[] = {
      {"repeated for ever: messages after the limit, and a break there ends the capture",
       held(limit + 10, {}), 3, std::nullopt, log(limit, {"messages"})},
      {"renewed one read before the limit: taken without a look at messages",
       held(limit - 1, {Down(300, 3)}), 0, 300, log(limit, {})},
      {"repeated past the limit, then renewed: still taken, after one look",
       held(limit + 3, {Down(300, 3)}), 0, 300, log(limit, {"messages", "read", "read", "read", "read"})},
  };
  for (const auto& c : cases) ExpectCapture(c);
}

TEST(AwaitRelease, WaitsForTheLiftOrABreak) {
  const LoopCase cases[] = {
      {"released at once", {Up(5)}, 0, 1, {"read", "off"}},
      {"held, then released", {Down(300, 4), Down(300, 5), Up(6)}, 0, 1,
       {"read", "messages", "read", "messages", "read", "off"}},
      {"a break confirmed while still touched", {Down(300, 4), Down(300, 5)}, 1, std::nullopt,
       {"read", "messages"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host(c.samples, c.breakAt);
    EXPECT_EQ(AwaitRelease(host), c.takenX.has_value());
    EXPECT_EQ(host.log, c.log);
  }
}

}  // namespace
}  // namespace koral::calibration
